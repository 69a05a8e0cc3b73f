// An emulated printer inside the test process, on a virtual clock: the emulator's protocol
// core behind fake device files and a fake USB bus. A whole upgrade, with its minutes of
// sleeps, runs in milliseconds and always the same way.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "event_log.h"
#include "platform/device_file.h"
#include "platform/usb_printer_interfaces.h"
#include "printer_core.h"
#include "virtual_clock.h"

namespace tessel::testing {

class VirtualPrinter final : public sim::PrinterPort,
                             public platform::Clock,
                             public platform::DeviceFiles,
                             public platform::UsbPrinterInterfaces {
  public:
    VirtualPrinter(VirtualClock& clock, sim::PrinterConfig config);

    // PrinterPort
    sim::Json Connect(std::uint16_t product_id) override;
    void Disconnect() override;
    void Send(std::span<const std::uint8_t> bytes) override;

    // Clock: the test's virtual clock, with the printer's own events (dropping off the bus,
    // coming back, the end of a burn) run at their times while the tool sleeps or waits.
    std::int64_t NowSeconds() override { return clock_.NowSeconds(); }
    std::int64_t NowMs() override { return clock_.NowMs(); }
    void SleepMs(std::uint32_t ms) override;

    // DeviceFiles: the current device path opens while the printer is on the bus.
    std::unique_ptr<platform::DeviceFile> Open(const std::u16string& path) override;

    // UsbPrinterInterfaces: the printer is the one element while it is on the bus.
    std::unique_ptr<platform::UsbPrinterInterfaceSet> OpenPresent() override;
    std::vector<platform::UsbBusDevice> DevicesOnBus() override { return {}; }

    // A write takes this long per byte (a slow USB link), in microseconds.
    void SetWriteMicrosPerKiB(std::int64_t us) { write_us_per_kib_ = us; }

    std::vector<sim::Json> Events() const { return log_.Events(); }
    std::vector<sim::Json> EventsNamed(std::string_view name) const;
    // Clock times (NowMs) at which the bus was searched.
    const std::vector<std::int64_t>& searches() const { return searches_; }
    const std::u16string& device_path() const { return path_; }
    sim::PrinterCore& core() { return *core_; }

  private:
    class Handle;
    class Set;

    // Runs what is due on the printer's side up to now.
    void Poll();
    // Moves the clock on to `target_ms`, stopping at each thing due on the printer's side.
    void AdvanceTo(std::int64_t target_ms);
    std::int32_t Write(std::uint64_t generation, const std::uint8_t* data, std::uint32_t count);
    std::int32_t Read(std::uint64_t generation, std::uint8_t* buffer, std::uint32_t count);

    VirtualClock& clock_;
    sim::EventLog log_;
    std::unique_ptr<sim::PrinterCore> core_;
    bool connected_ = false;
    std::uint64_t generation_ = 0;  // a new one on every appearance; older handles fail
    int lp_ = -1;
    std::uint16_t product_id_ = 0;
    std::u16string path_;
    std::deque<std::uint8_t> inbox_;
    std::vector<std::int64_t> searches_;
    std::int64_t write_us_per_kib_ = 0;
    std::int64_t write_debt_us_ = 0;
};

}  // namespace tessel::testing
