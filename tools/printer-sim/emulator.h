// The printer emulator on Linux: each configured printer appears under a temporary sysfs
// root and /dev root of its own as a USB printer bound to usblp, its device node a
// pseudo-terminal that the printer's core serves. One thread serves all printers.
//
// In-process use (a test):
//   auto emulator = sim::Emulator::Start(options, &error);
//   setenv("TESSEL_SYSFS_ROOT", emulator->sysfs_root().c_str(), 1); ...
//   emulator->WaitFor([](const sim::Json& e) { return e["event"] == "payload"; }, 5s);
//   emulator->Stop();   // or destruction: removes everything it made
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "event_log.h"
#include "platform/clock.h"
#include "printer_config.h"
#include "usb_bus.h"

namespace tessel::sim {

class SysfsLayout;

struct EmulatorOptions {
    std::vector<PrinterConfig> printers = {PrinterConfig{}};
    // usblp (own sysfs and /dev roots, pseudo-terminals) or usb (a umockdev testbed: the
    // process must run under umockdev's preload library, and so must the tool).
    SimTransport transport = SimTransport::kUsblp;
    // Real seconds per printer second: 0.01 plays a 50-second restart in half a second.
    double time_scale = 1.0;
    // Folder for the temporary roots (empty: $TMPDIR or /tmp).
    std::string root_parent;
    // Receives the JSON-lines log as it is written (optional).
    std::ostream* log_stream = nullptr;
    // Called with the two roots once they exist, before any printer appears (optional).
    std::function<void(const std::string& sysfs_root, const std::string& dev_root)> on_roots;
};

class Emulator {
  public:
    // Makes the roots, brings every printer onto the bus and starts serving. Returns null and
    // sets `error` when that fails (nothing is left behind).
    static std::unique_ptr<Emulator> Start(const EmulatorOptions& options, std::string* error);
    ~Emulator();
    Emulator(const Emulator&) = delete;
    Emulator& operator=(const Emulator&) = delete;

    // Stops serving, takes every printer off the bus and removes the roots. Idempotent.
    void Stop();

    // What the tool reads as TESSEL_SYSFS_ROOT and TESSEL_DEV_ROOT (usblp transport).
    const std::string& sysfs_root() const { return sysfs_root_; }
    const std::string& dev_root() const { return dev_root_; }
    // The testbed's root, the tool's UMOCKDEV_DIR (usb transport; empty otherwise).
    const std::string& umockdev_dir() const { return umockdev_dir_; }

    // What went over the emulated USB bus (usb transport; zeros otherwise).
    UsbBus::Counters usb_counters() const;

    const EventLog& log() const { return *log_; }
    std::vector<Json> Events() const { return log_->Events(); }
    // Unplugs printer `index` and plugs it in again at once, as a user does with its cable: it
    // leaves the bus and comes back under the lowest free lp number and a new device number,
    // keeping its mode (see PrinterCore::Replug for when it does nothing). Safe from any thread;
    // done by the serving thread, so wait for the printer's "appear" event to see it done.
    void Replug(std::size_t index);

    // Waits (at most `timeout` of real time) for an event at index `from` or later.
    std::optional<Json> WaitFor(const std::function<bool(const Json&)>& match,
                                std::chrono::milliseconds timeout, std::size_t from = 0,
                                std::size_t* index = nullptr) const {
        return log_->WaitFor(match, timeout, from, index);
    }

    struct Printer;  // one printer: its core and its pseudo-terminal port
    class UsbHost;   // what the USB bus asks of the printers

  private:
    Emulator() = default;
    void Serve();
    void ServeUsb();
    // The lowest lp number no printer on the bus holds, as the kernel gives them out.
    int LowestFreeLp() const;

    std::filesystem::path dir_;
    std::string sysfs_root_;
    std::string dev_root_;
    double time_scale_ = 1.0;
    std::unique_ptr<platform::ScaledClock> clock_;
    std::unique_ptr<EventLog> log_;
    std::unique_ptr<SysfsLayout> tree_;
    std::string umockdev_dir_;
    // The usb transport: the bus, and the lock over the printers' cores that the bus's thread
    // shares with the serving thread.
    std::mutex core_mutex_;
    std::unique_ptr<UsbHost> usb_host_;
    std::unique_ptr<UsbBus> usb_;
    std::vector<std::unique_ptr<Printer>> printers_;
    int next_devnum_ = 2;
    std::mutex replug_mutex_;
    std::vector<std::size_t> replug_requests_;
    int wake_read_ = -1;
    int wake_write_ = -1;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
    bool stopped_ = false;
};

}  // namespace tessel::sim
