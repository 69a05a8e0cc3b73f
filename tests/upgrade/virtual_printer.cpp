#include "virtual_printer.h"

#include <algorithm>

#include "platform/text.h"

namespace tessel::testing {

class VirtualPrinter::Handle final : public platform::DeviceFile {
  public:
    Handle(VirtualPrinter& printer, std::uint64_t generation)
        : printer_(printer), generation_(generation) {}
    std::int32_t Write(const std::uint8_t* data, std::uint32_t count) override {
        return printer_.Write(generation_, data, count);
    }
    std::int32_t Read(std::uint8_t* buffer, std::uint32_t count) override {
        return printer_.Read(generation_, buffer, count);
    }

  private:
    VirtualPrinter& printer_;
    std::uint64_t generation_;
};

class VirtualPrinter::Set final : public platform::UsbPrinterInterfaceSet {
  public:
    explicit Set(VirtualPrinter& printer) : printer_(printer) {}
    bool SelectElement(std::uint32_t index) override { return index == 0 && printer_.connected_; }
    std::optional<std::u16string> InstanceId() override {
        return platform::FormatU16("USB\\VID_%04X&PID_%04X\\SER1",
                                   printer_.core_->config().vendor_id, printer_.product_id_);
    }
    bool SelectFirstInterface() override { return true; }
    std::optional<std::uint32_t> InterfaceDetailSize() override {
        return static_cast<std::uint32_t>(8 + 2 * (printer_.path_.size() + 1));
    }
    std::optional<platform::InterfaceDetail> ReadInterfaceDetail(std::uint32_t) override {
        return platform::InterfaceDetail{printer_.path_, false};
    }
    std::unique_ptr<platform::DeviceParameters> OpenDeviceParameters(
        const std::u16string&) override {
        return std::make_unique<Port>();
    }

  private:
    class Port final : public platform::DeviceParameters {
      public:
        platform::PortValue ReadPort() override {
            platform::PortValue port;
            port.kind = platform::PortValue::Kind::kName;
            port.name = u"usb://Bexlot/R7200%20Series?serial=SER1";
            return port;
        }
    };
    VirtualPrinter& printer_;
};

VirtualPrinter::VirtualPrinter(VirtualClock& clock, sim::PrinterConfig config)
    : clock_(clock), log_(clock) {
    core_ = std::make_unique<sim::PrinterCore>(0, std::move(config), clock, log_, *this);
    core_->Start();
}

sim::Json VirtualPrinter::Connect(std::uint16_t product_id) {
    connected_ = true;
    ++generation_;
    ++lp_;
    product_id_ = product_id;
    path_ = platform::FormatU16("/virtual/usb/lp%d", lp_);
    inbox_.clear();
    return sim::Json{{"lp", lp_}};
}

void VirtualPrinter::Disconnect() {
    connected_ = false;
    ++generation_;
    inbox_.clear();
}

void VirtualPrinter::Send(std::span<const std::uint8_t> bytes) {
    inbox_.insert(inbox_.end(), bytes.begin(), bytes.end());
}

void VirtualPrinter::Poll() {
    core_->Poll();
}

void VirtualPrinter::AdvanceTo(std::int64_t target_ms) {
    Poll();
    for (auto due = core_->NextDueMs(); due && *due <= target_ms; due = core_->NextDueMs()) {
        clock_.AdvanceMs(std::max<std::int64_t>(*due - clock_.NowMs(), 0));
        Poll();
    }
    clock_.AdvanceMs(std::max<std::int64_t>(target_ms - clock_.NowMs(), 0));
    Poll();
}

void VirtualPrinter::SleepMs(std::uint32_t ms) {
    AdvanceTo(clock_.NowMs() + ms);
}

std::unique_ptr<platform::DeviceFile> VirtualPrinter::Open(const std::u16string& path) {
    Poll();
    if (!connected_ || path != path_) {
        return nullptr;
    }
    return std::make_unique<Handle>(*this, generation_);
}

std::unique_ptr<platform::UsbPrinterInterfaceSet> VirtualPrinter::OpenPresent() {
    Poll();
    searches_.push_back(clock_.NowMs());
    return std::make_unique<Set>(*this);
}

std::vector<sim::Json> VirtualPrinter::EventsNamed(std::string_view name) const {
    std::vector<sim::Json> out;
    for (const auto& e : log_.Events()) {
        if (e["event"] == name) {
            out.push_back(e);
        }
    }
    return out;
}

std::int32_t VirtualPrinter::Write(std::uint64_t generation, const std::uint8_t* data,
                                   std::uint32_t count) {
    Poll();
    if (generation != generation_ || !connected_) {
        return -1;
    }
    write_debt_us_ += write_us_per_kib_ * count / 1024;
    AdvanceTo(clock_.NowMs() + write_debt_us_ / 1000);
    write_debt_us_ %= 1000;
    const std::size_t taken = core_->Receive({data, count});
    Poll();
    if (taken == 0 && count > 0) {
        return -1;  // dropped off the bus before taking anything
    }
    return static_cast<std::int32_t>(taken);
}

std::int32_t VirtualPrinter::Read(std::uint64_t generation, std::uint8_t* buffer,
                                  std::uint32_t count) {
    Poll();
    if (inbox_.empty()) {
        // Wait for the printer's next piece, or give up after a device read's wait.
        const std::int64_t now = clock_.NowMs();
        const auto due = core_->NextDueMs();
        const std::int64_t wait =
            due ? std::clamp<std::int64_t>(*due - now, 0, platform::kDeviceReadWaitMs)
                : platform::kDeviceReadWaitMs;
        AdvanceTo(now + wait);
    }
    if (generation != generation_ || !connected_) {
        return -1;
    }
    const std::size_t n = std::min<std::size_t>(count, inbox_.size());
    std::copy_n(inbox_.begin(), n, buffer);
    inbox_.erase(inbox_.begin(), inbox_.begin() + static_cast<std::ptrdiff_t>(n));
    return static_cast<std::int32_t>(n);
}

}  // namespace tessel::testing
