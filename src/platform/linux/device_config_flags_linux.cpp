// Device configuration flags on Linux. The kernel keeps no such flags: they read as 0, and
// writing the reinstall bit asks udev to run its rules for the device again ("change" into
// its uevent), the nearest Linux has to a fresh driver installation. Only present devices
// are known here.
#include <algorithm>
#include <fstream>

#include "platform/device_config_flags.h"
#include "platform/linux/sysfs_usb.h"
#include "platform/usb_names.h"

namespace tessel::platform {
namespace {
namespace fs = std::filesystem;

constexpr std::uint8_t kReinstallBit = 0x20;
constexpr std::uint32_t kFlagsSize = 4;

class LinuxInstanceSet final : public DeviceInstanceSet {
  public:
    explicit LinuxInstanceSet(std::vector<fs::path> devices) : devices_(std::move(devices)) {}

    bool SelectElement(std::uint32_t index) override {
        if (index >= devices_.size()) {
            return false;
        }
        current_ = devices_[index];
        return true;
    }

    std::uint32_t ConfigFlagsSize() override { return kFlagsSize; }

    bool ReadConfigFlags(std::span<std::uint8_t> buffer) override {
        std::fill(buffer.begin(), buffer.end(), std::uint8_t{0});
        return true;
    }

    bool WriteConfigFlags(std::span<const std::uint8_t> value) override {
        if (value.empty() || (value[0] & kReinstallBit) == 0) {
            return true;
        }
        std::ofstream uevent(current_ / "uevent", std::ios::binary);
        uevent << "change";
        uevent.flush();
        return static_cast<bool>(uevent);
    }

  private:
    std::vector<fs::path> devices_;
    fs::path current_;
};

class LinuxDeviceConfigFlags final : public DeviceConfigFlags {
  public:
    std::unique_ptr<DeviceInstanceSet> OpenAll(const std::u16string& enumerator) override {
        const fs::path bus_dir = sysfs::SysfsRoot() / "bus" / "usb" / "devices";
        std::error_code ec;
        std::vector<fs::path> matched;
        fs::directory_iterator it(bus_dir, ec);
        if (ec) {
            if (ec == std::errc::no_such_file_or_directory) {
                return std::make_unique<LinuxInstanceSet>(std::move(matched));
            }
            return nullptr;
        }
        for (; it != fs::directory_iterator(); it.increment(ec)) {
            if (ec) {
                return nullptr;
            }
            const fs::path entry = it->path();
            if (entry.filename().string().find(':') != std::string::npos) {
                continue;  // an interface, not a device
            }
            const auto id = sysfs::UsbInstanceId(entry);
            if (id && EnumeratorCovers(enumerator, *id)) {
                matched.push_back(entry);
            }
        }
        std::sort(matched.begin(), matched.end());
        return std::make_unique<LinuxInstanceSet>(std::move(matched));
    }
};

}  // namespace

DeviceConfigFlags& SystemDeviceConfigFlags() {
    static LinuxDeviceConfigFlags flags;
    return flags;
}

}  // namespace tessel::platform
