#include "virtual_printer.h"

#include <algorithm>

#include "platform/text.h"
#include "platform/usb_names.h"

namespace tessel::testing {

// One printer: its core and what the bus shows of it.
struct VirtualPrinter::Unit final : sim::PrinterPort {
    Unit(VirtualPrinter& bus, std::size_t i, sim::PrinterConfig config) : owner(bus), index(i) {
        core = std::make_unique<sim::PrinterCore>(static_cast<int>(i), std::move(config),
                                                  owner.clock_, owner.log_, *this);
    }

    sim::Json Connect(std::uint16_t product) override {
        lp = owner.LowestFreeLp();
        connected = true;
        ++generation;
        ++appearances;
        product_id = product;
        path = platform::FormatU16("/virtual/usb/lp%d", lp);
        inbox.clear();
        return sim::Json{{"lp", lp}};
    }

    void Disconnect() override {
        connected = false;
        ++generation;
        inbox.clear();
        if (owner.on_disconnect) {
            owner.on_disconnect(index);
        }
    }

    void Send(std::span<const std::uint8_t> bytes) override {
        inbox.insert(inbox.end(), bytes.begin(), bytes.end());
    }

    bool Opens() const { return connected && (refuse_from == 0 || appearances < refuse_from); }

    std::u16string InstanceId() const {
        const sim::PrinterConfig& config = core->config();
        const std::u16string tail = config.serial
                                        ? platform::Utf8ToUtf16(*config.serial)
                                        : platform::LocationInstanceTail(platform::FormatU16(
                                              "1-%d", static_cast<int>(index) + 1));
        return platform::FormatUsbInstanceId(config.vendor_id, product_id, tail);
    }

    // The URI the CUPS usb backend gives it (a plain model name: only blanks need escaping).
    std::u16string Uri() const {
        const sim::PrinterConfig& config = core->config();
        std::string uri = "usb://" + config.manufacturer + "/";
        for (char c : config.product) {
            uri += c == ' ' ? std::string("%20") : std::string(1, c);
        }
        if (config.serial) {
            uri += "?serial=" + *config.serial;
        }
        return platform::Utf8ToUtf16(uri);
    }

    VirtualPrinter& owner;
    std::size_t index;
    std::unique_ptr<sim::PrinterCore> core;
    bool connected = false;
    bool listed = true;
    std::uint64_t generation = 0;  // a new one on every appearance; older handles fail
    int appearances = 0;
    int refuse_from = 0;
    int lp = -1;
    std::uint64_t received = 0;
    std::uint16_t product_id = 0;
    std::u16string path;
    std::deque<std::uint8_t> inbox;
};

class VirtualPrinter::Handle final : public platform::DeviceFile {
  public:
    Handle(VirtualPrinter& bus, Unit& unit)
        : bus_(bus), unit_(unit), generation_(unit.generation) {}
    std::int32_t Write(const std::uint8_t* data, std::uint32_t count) override {
        return bus_.Write(unit_, generation_, data, count);
    }
    std::int32_t Read(std::uint8_t* buffer, std::uint32_t count) override {
        return bus_.Read(unit_, generation_, buffer, count);
    }
    // Tests' printers only: stand-in payloads may reach them.
    bool CouldBePrinter() const override { return false; }

  private:
    VirtualPrinter& bus_;
    Unit& unit_;
    std::uint64_t generation_;
};

class VirtualPrinter::Set final : public platform::UsbPrinterInterfaceSet {
  public:
    explicit Set(std::vector<Unit*> units) : units_(std::move(units)) {}
    bool SelectElement(std::uint32_t index) override {
        current_ = index < units_.size() ? units_[index] : nullptr;
        return current_ != nullptr;
    }
    std::optional<std::u16string> InstanceId() override { return current_->InstanceId(); }
    bool SelectFirstInterface() override { return true; }
    std::optional<std::uint32_t> InterfaceDetailSize() override {
        return static_cast<std::uint32_t>(8 + 2 * (current_->path.size() + 1));
    }
    std::optional<platform::InterfaceDetail> ReadInterfaceDetail(std::uint32_t) override {
        return platform::InterfaceDetail{current_->path, false};
    }
    std::u16string DeviceParametersName(const std::u16string& device_path) override {
        return device_path;
    }
    std::unique_ptr<platform::DeviceParameters> OpenDeviceParameters(
        const std::u16string&) override {
        return std::make_unique<Port>(current_->Uri());
    }

  private:
    class Port final : public platform::DeviceParameters {
      public:
        explicit Port(std::u16string uri) : uri_(std::move(uri)) {}
        platform::PortValue ReadPort() override {
            platform::PortValue port;
            port.kind = platform::PortValue::Kind::kName;
            port.name = uri_;
            return port;
        }

      private:
        std::u16string uri_;
    };
    std::vector<Unit*> units_;
    Unit* current_ = nullptr;
};

VirtualPrinter::VirtualPrinter(VirtualClock& clock, sim::PrinterConfig config)
    : VirtualPrinter(clock, std::vector<sim::PrinterConfig>{std::move(config)}) {}

VirtualPrinter::VirtualPrinter(VirtualClock& clock, std::vector<sim::PrinterConfig> configs)
    : clock_(clock), log_(clock) {
    for (std::size_t i = 0; i < configs.size(); ++i) {
        units_.push_back(std::make_unique<Unit>(*this, i, std::move(configs[i])));
    }
    for (auto& unit : units_) {
        unit->core->Start();
    }
}

VirtualPrinter::~VirtualPrinter() {
    on_disconnect = nullptr;
    on_open = nullptr;
}

int VirtualPrinter::LowestFreeLp() const {
    for (int lp = 0;; ++lp) {
        if (std::none_of(units_.begin(), units_.end(),
                         [lp](const auto& u) { return u->connected && u->lp == lp; })) {
            return lp;
        }
    }
}

void VirtualPrinter::Replug(std::size_t i) {
    units_.at(i)->core->Replug();
}

void VirtualPrinter::Unlist(std::size_t i) {
    units_.at(i)->listed = false;
}

void VirtualPrinter::RefuseOpens(std::size_t i, int appearance) {
    units_.at(i)->refuse_from = appearance;
}

const std::u16string& VirtualPrinter::device_path(std::size_t i) const {
    return units_.at(i)->path;
}

std::uint64_t VirtualPrinter::bytes_received(std::size_t i) const {
    return units_.at(i)->received;
}

std::u16string VirtualPrinter::port(std::size_t i) const {
    return units_.at(i)->Uri();
}

sim::PrinterCore& VirtualPrinter::core(std::size_t i) {
    return *units_.at(i)->core;
}

void VirtualPrinter::Poll() {
    for (auto& unit : units_) {
        unit->core->Poll();
    }
}

void VirtualPrinter::AdvanceTo(std::int64_t target_ms) {
    auto next_due = [this] {
        std::optional<std::int64_t> next;
        for (const auto& unit : units_) {
            const auto due = unit->core->NextDueMs();
            if (due && (!next || *due < *next)) {
                next = due;
            }
        }
        return next;
    };
    Poll();
    for (auto due = next_due(); due && *due <= target_ms; due = next_due()) {
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
    for (auto& unit : units_) {
        if (unit->connected && unit->path == path) {
            if (!unit->Opens()) {
                return nullptr;
            }
            auto handle = std::make_unique<Handle>(*this, *unit);
            if (on_open) {
                on_open(unit->index);
            }
            return handle;
        }
    }
    return nullptr;
}

std::unique_ptr<platform::UsbPrinterInterfaceSet> VirtualPrinter::OpenPresent() {
    Poll();
    searches_.push_back(clock_.NowMs());
    std::vector<Unit*> present;
    for (auto& unit : units_) {
        if (unit->connected && unit->listed) {
            present.push_back(unit.get());
        }
    }
    std::sort(present.begin(), present.end(), [](Unit* a, Unit* b) { return a->lp < b->lp; });
    return std::make_unique<Set>(std::move(present));
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

std::int32_t VirtualPrinter::Write(Unit& unit, std::uint64_t generation, const std::uint8_t* data,
                                   std::uint32_t count) {
    Poll();
    if (generation != unit.generation || !unit.connected) {
        return -1;
    }
    write_debt_us_ += write_us_per_kib_ * count / 1024;
    AdvanceTo(clock_.NowMs() + write_debt_us_ / 1000);
    write_debt_us_ %= 1000;
    const std::size_t taken = unit.core->Receive({data, count});
    unit.received += taken;
    Poll();
    if (taken == 0 && count > 0) {
        return -1;  // dropped off the bus before taking anything
    }
    return static_cast<std::int32_t>(taken);
}

std::int32_t VirtualPrinter::Read(Unit& unit, std::uint64_t generation, std::uint8_t* buffer,
                                  std::uint32_t count) {
    Poll();
    if (unit.inbox.empty()) {
        // Wait for the printer's next piece, or give up after a device read's wait.
        const std::int64_t now = clock_.NowMs();
        const auto due = unit.core->NextDueMs();
        const std::int64_t wait =
            due ? std::clamp<std::int64_t>(*due - now, 0, platform::kDeviceReadWaitMs)
                : platform::kDeviceReadWaitMs;
        AdvanceTo(now + wait);
    }
    if (generation != unit.generation || !unit.connected) {
        return -1;
    }
    const std::size_t n = std::min<std::size_t>(count, unit.inbox.size());
    std::copy_n(unit.inbox.begin(), n, buffer);
    unit.inbox.erase(unit.inbox.begin(), unit.inbox.begin() + static_cast<std::ptrdiff_t>(n));
    return static_cast<std::int32_t>(n);
}

}  // namespace tessel::testing
