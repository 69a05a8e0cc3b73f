// Emulated printers inside the test process, on a virtual clock: the emulator's protocol core
// behind fake device files and a fake USB bus. A whole upgrade, with its minutes of sleeps,
// runs in milliseconds and always the same way.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "event_log.h"
#include "platform/device_file.h"
#include "platform/usb_printer_interfaces.h"
#include "printer_core.h"
#include "virtual_clock.h"

namespace tessel::testing {

class VirtualPrinter final : public platform::Clock,
                             public platform::DeviceFiles,
                             public platform::UsbPrinterInterfaces {
  public:
    // One printer, or several on one bus (printer i plugged in at bus location 1-(i+1)).
    VirtualPrinter(VirtualClock& clock, sim::PrinterConfig config);
    VirtualPrinter(VirtualClock& clock, std::vector<sim::PrinterConfig> configs);
    ~VirtualPrinter() override;

    // Clock: the test's virtual clock, with the printers' own events (dropping off the bus,
    // coming back, the end of a burn) run at their times while the tool sleeps or waits.
    std::int64_t NowSeconds() override { return clock_.NowSeconds(); }
    std::int64_t NowMs() override { return clock_.NowMs(); }
    void SleepMs(std::uint32_t ms) override;

    // DeviceFiles: a printer's current device path opens while it is on the bus.
    std::unique_ptr<platform::DeviceFile> Open(const std::u16string& path) override;

    // UsbPrinterInterfaces: the printers on the bus, in lp-number order. Each appearance takes
    // the lowest lp number free, as the kernel gives them out. The port is the device URI.
    std::unique_ptr<platform::UsbPrinterInterfaceSet> OpenPresent() override;
    std::vector<platform::UsbBusDevice> DevicesOnBus() override { return {}; }

    // A write takes this long per byte (a slow USB link), in microseconds.
    void SetWriteMicrosPerKiB(std::int64_t us) { write_us_per_kib_ = us; }

    // What a test can do to the bus while a run goes on, from the hooks below.
    // Printer `i` is unplugged and plugged in again at once (PrinterCore::Replug).
    void Replug(std::size_t i);
    // Printer `i` stays on the bus but no discovery pass lists it any more.
    void Unlist(std::size_t i);
    // From its `appearance`-th appearance on (1: the first), printer `i`'s device file no
    // longer opens, though the printer is listed.
    void RefuseOpens(std::size_t i, int appearance);
    // Called with a printer's index when it drops off the bus, and after each open of its
    // device file that succeeded.
    std::function<void(std::size_t)> on_disconnect;
    std::function<void(std::size_t)> on_open;

    std::vector<sim::Json> Events() const { return log_.Events(); }
    std::vector<sim::Json> EventsNamed(std::string_view name) const;
    // Clock times (NowMs) at which the bus was searched.
    const std::vector<std::int64_t>& searches() const { return searches_; }
    const std::u16string& device_path(std::size_t i = 0) const;
    // Every byte printer `i` has taken from the tool, over all its appearances.
    std::uint64_t bytes_received(std::size_t i = 0) const;
    // The device URI under which printer `i` is listed (its spooler port).
    std::u16string port(std::size_t i = 0) const;
    sim::PrinterCore& core(std::size_t i = 0);

  private:
    struct Unit;
    class Handle;
    class Set;

    // Runs what is due on the printers' side up to now.
    void Poll();
    // Moves the clock on to `target_ms`, stopping at each thing due on the printers' side.
    void AdvanceTo(std::int64_t target_ms);
    int LowestFreeLp() const;
    std::int32_t Write(Unit& unit, std::uint64_t generation, const std::uint8_t* data,
                       std::uint32_t count);
    std::int32_t Read(Unit& unit, std::uint64_t generation, std::uint8_t* buffer,
                      std::uint32_t count);

    VirtualClock& clock_;
    sim::EventLog log_;
    std::vector<std::unique_ptr<Unit>> units_;
    std::vector<std::int64_t> searches_;
    std::int64_t write_us_per_kib_ = 0;
    std::int64_t write_debt_us_ = 0;
};

}  // namespace tessel::testing
