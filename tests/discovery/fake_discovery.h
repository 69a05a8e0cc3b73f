// Fakes of the discovery services and a fixture that installs them. Each fake records what
// the logic asked of it, so tests can see which elements were looked at and what was written.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "discovery/device_globals.h"
#include "platform/device_config_flags.h"
#include "platform/print_spooler.h"
#include "platform/services.h"
#include "platform/text.h"
#include "platform/usb_printer_interfaces.h"
#include "virtual_clock.h"

namespace tessel::testing {

// One present element and how each step on it turns out.
struct FakeElement {
    std::u16string instance_id;
    bool instance_id_fails = false;
    bool has_interface = true;
    bool size_query_fails = false;
    bool detail_read_fails = false;
    std::u16string device_path;
    bool dot4 = false;
    bool parameters_open = true;
    platform::PortValue port;
};

inline platform::PortValue PortNumber(std::uint32_t n) {
    platform::PortValue p;
    p.kind = platform::PortValue::Kind::kNumber;
    p.number = n;
    return p;
}

inline platform::PortValue PortName(std::u16string name) {
    platform::PortValue p;
    p.kind = platform::PortValue::Kind::kName;
    p.name = std::move(name);
    return p;
}

// A supported or foreign printer with the device path Windows would give it.
inline FakeElement Printer(std::u16string instance_id, std::u16string serial, std::uint32_t port) {
    FakeElement e;
    e.instance_id = std::move(instance_id);
    e.device_path =
        u"\\\\?\\usb#vid_7a3c&pid_0c12#" + serial + u"#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
    e.port = PortNumber(port);
    return e;
}

class FakeUsbPrinterInterfaces final : public platform::UsbPrinterInterfaces {
  public:
    std::vector<FakeElement> elements;
    bool open_fails = false;
    std::vector<platform::UsbBusDevice> bus;

    // What the logic did.
    int live_sets = 0;
    std::vector<std::uint32_t> selected;
    std::vector<std::u16string> opened_keys;
    std::vector<std::uint32_t> detail_sizes_read;

    std::unique_ptr<platform::UsbPrinterInterfaceSet> OpenPresent() override {
        if (open_fails) {
            return nullptr;
        }
        return std::make_unique<Set>(*this);
    }
    std::vector<platform::UsbBusDevice> DevicesOnBus() override { return bus; }

  private:
    class Set final : public platform::UsbPrinterInterfaceSet {
      public:
        explicit Set(FakeUsbPrinterInterfaces& owner) : owner_(owner) { ++owner_.live_sets; }
        ~Set() override { --owner_.live_sets; }

        bool SelectElement(std::uint32_t index) override {
            owner_.selected.push_back(index);
            current_ = index < owner_.elements.size() ? &owner_.elements[index] : nullptr;
            return current_ != nullptr;
        }
        std::optional<std::u16string> InstanceId() override {
            if (current_->instance_id_fails) {
                return std::nullopt;
            }
            return current_->instance_id;
        }
        bool SelectFirstInterface() override { return current_->has_interface; }
        std::optional<std::uint32_t> InterfaceDetailSize() override {
            if (current_->size_query_fails) {
                return std::nullopt;
            }
            return static_cast<std::uint32_t>(8 + 2 * (current_->device_path.size() + 1));
        }
        std::optional<platform::InterfaceDetail> ReadInterfaceDetail(std::uint32_t size) override {
            owner_.detail_sizes_read.push_back(size);
            if (current_->detail_read_fails) {
                return std::nullopt;
            }
            return platform::InterfaceDetail{current_->device_path, current_->dot4};
        }
        std::u16string DeviceParametersName(const std::u16string& device_path) override {
            return u"parameters of " + device_path;
        }
        std::unique_ptr<platform::DeviceParameters> OpenDeviceParameters(
            const std::u16string& key_name) override {
            owner_.opened_keys.push_back(key_name);
            if (!current_->parameters_open) {
                return nullptr;
            }
            return std::make_unique<Parameters>(current_->port);
        }

      private:
        FakeUsbPrinterInterfaces& owner_;
        FakeElement* current_ = nullptr;
    };

    class Parameters final : public platform::DeviceParameters {
      public:
        explicit Parameters(platform::PortValue port) : port_(std::move(port)) {}
        platform::PortValue ReadPort() override { return port_; }

      private:
        platform::PortValue port_;
    };
};

class FakePrintSpooler final : public platform::PrintSpooler {
  public:
    std::optional<std::vector<platform::PrintQueue>> queues = std::vector<platform::PrintQueue>{};
    int calls = 0;
    std::optional<std::vector<platform::PrintQueue>> Queues() override {
        ++calls;
        return queues;
    }
};

// One device instance and how its flags behave.
struct FakeInstance {
    std::vector<std::uint8_t> flags{0, 0, 0, 0};
    bool size_unknown = false;
    bool read_fails = false;
    bool write_fails = false;
    int writes = 0;
};

class FakeDeviceConfigFlags final : public platform::DeviceConfigFlags {
  public:
    std::map<std::u16string, std::vector<FakeInstance>> instances;  // by enumerator
    bool open_fails = false;
    std::vector<std::u16string> opened;
    int live_sets = 0;

    std::unique_ptr<platform::DeviceInstanceSet> OpenAll(
        const std::u16string& enumerator) override {
        opened.push_back(enumerator);
        if (open_fails) {
            return nullptr;
        }
        return std::make_unique<Set>(*this, instances[enumerator]);
    }

  private:
    class Set final : public platform::DeviceInstanceSet {
      public:
        Set(FakeDeviceConfigFlags& owner, std::vector<FakeInstance>& list)
            : owner_(owner), list_(list) {
            ++owner_.live_sets;
        }
        ~Set() override { --owner_.live_sets; }
        bool SelectElement(std::uint32_t index) override {
            current_ = index < list_.size() ? &list_[index] : nullptr;
            return current_ != nullptr;
        }
        std::uint32_t ConfigFlagsSize() override {
            return current_->size_unknown ? 0 : static_cast<std::uint32_t>(current_->flags.size());
        }
        bool ReadConfigFlags(std::span<std::uint8_t> buffer) override {
            if (current_->read_fails || buffer.size() != current_->flags.size()) {
                return false;
            }
            std::copy(current_->flags.begin(), current_->flags.end(), buffer.begin());
            return true;
        }
        bool WriteConfigFlags(std::span<const std::uint8_t> value) override {
            if (current_->write_fails) {
                return false;
            }
            current_->flags.assign(value.begin(), value.end());
            ++current_->writes;
            return true;
        }

      private:
        FakeDeviceConfigFlags& owner_;
        std::vector<FakeInstance>& list_;
        FakeInstance* current_ = nullptr;
    };
};

// Installs the fakes, a virtual clock and a recording debugger output, and gives the
// process-wide strings known values that a test can see kept or overwritten.
class DiscoveryTest : public ::testing::Test {
  protected:
    static constexpr char16_t kEarlierPath[] = u"earlier path";
    static constexpr char16_t kEarlierHardId[] = u"earlier id";

    DiscoveryTest()
        : services_(platform::Services{&clock, &debug, nullptr, &usb, &spooler, &flags}) {
        discovery::g_strDevicePath = kEarlierPath;
        discovery::g_strHardID = kEarlierHardId;
    }

    VirtualClock clock;
    RecordingDebugOutput debug;
    FakeUsbPrinterInterfaces usb;
    FakePrintSpooler spooler;
    FakeDeviceConfigFlags flags;

  private:
    platform::ScopedServices services_;
};

inline std::string U8(std::u16string_view s) {
    return platform::Utf16ToUtf8(s);
}

}  // namespace tessel::testing
