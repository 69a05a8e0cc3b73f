// USB printer interfaces on Linux: one element per printer node the usblp driver made
// (class/usbmisc/lpN), in lp-number order. The port name is the device URI under which the
// CUPS usb backend knows the printer, so the spooler check can find the printer's queue.
#include <cups/http.h>

#include <algorithm>
#include <map>

#include "platform/linux/sysfs_usb.h"
#include "platform/text.h"
#include "platform/usb_names.h"
#include "platform/usb_printer_interfaces.h"

namespace tessel::platform {
namespace {
namespace fs = std::filesystem;

constexpr std::uint32_t kProtocolIeee1284_4 = 0x03;

// "lp12" -> 12; nothing for any other name in the class folder.
std::optional<unsigned long> LpNumber(const std::string& name) {
    if (name.size() < 3 || name.compare(0, 2, "lp") != 0 || name.size() > 12) {
        return std::nullopt;
    }
    unsigned long n = 0;
    for (std::size_t i = 2; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') {
            return std::nullopt;
        }
        n = n * 10 + static_cast<unsigned long>(name[i] - '0');
    }
    return n;
}

// Where the symlink `link` points, as a normal path without a trailing separator.
std::optional<fs::path> FollowLink(const fs::path& link) {
    std::error_code ec;
    const fs::path target = fs::read_symlink(link, ec);
    if (ec) {
        return std::nullopt;
    }
    fs::path resolved = (link.parent_path() / target).lexically_normal();
    if (resolved.filename().empty()) {
        resolved = resolved.parent_path();
    }
    return resolved;
}

// The interface number from a sysfs interface name "1-1:1.0" (configuration 1, interface 0).
int InterfaceNumber(const fs::path& interface_dir) {
    const std::string name = interface_dir.filename().string();
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot + 1 == name.size()) {
        return 0;
    }
    int n = 0;
    for (std::size_t i = dot + 1; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9' || n > 255) {
            return 0;
        }
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

// A device name as the kernel writes DEVNAME: a path below /dev ("usb/lp0"). Not one that is
// empty, absolute, steps up out of /dev or holds a zero byte (where the path would be cut).
bool IsDevName(std::string_view name) {
    if (name.empty() || name.front() == '/' || name.find('\0') != std::string_view::npos) {
        return false;
    }
    for (const fs::path& part : fs::path(name)) {
        if (part == "..") {
            return false;
        }
    }
    return true;
}

class LinuxDeviceParameters final : public DeviceParameters {
  public:
    explicit LinuxDeviceParameters(fs::path interface_dir)
        : interface_dir_(std::move(interface_dir)) {}

    PortValue ReadPort() override {
        const std::optional<std::string> device_id =
            sysfs::ReadAttribute(interface_dir_ / "ieee1284_id");
        if (!device_id) {
            return {};
        }
        const UsbDeviceUriParts parts = UsbDeviceUriPartsFrom(
            *device_id, sysfs::ReadAttribute(interface_dir_.parent_path() / "serial"),
            InterfaceNumber(interface_dir_));
        char uri[1024];
        if (httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "usb", nullptr,
                             parts.make.c_str(), 0, "/%s%s", parts.model.c_str(),
                             parts.options.c_str()) < HTTP_URI_STATUS_OK) {
            return {};
        }
        PortValue port;
        port.kind = PortValue::Kind::kName;
        port.name = Utf8ToUtf16(uri);
        return port;
    }

  private:
    fs::path interface_dir_;
};

class LinuxInterfaceSet final : public UsbPrinterInterfaceSet {
  public:
    LinuxInterfaceSet(fs::path class_dir, std::vector<std::string> nodes)
        : class_dir_(std::move(class_dir)), nodes_(std::move(nodes)) {}

    bool SelectElement(std::uint32_t index) override {
        interface_dir_.clear();
        interface_selected_ = false;
        if (index >= nodes_.size()) {
            return false;
        }
        node_ = nodes_[index];
        // class/usbmisc/lpN links to <interface>/usbmisc/lpN, whose "device" links back to
        // the interface. Below devices/ every folder is real, so the links resolve by plain
        // path arithmetic.
        const std::optional<fs::path> node = FollowLink(class_dir_ / node_);
        const std::optional<fs::path> dir = node ? FollowLink(*node / "device") : std::nullopt;
        std::error_code ec;
        if (dir && fs::is_directory(*dir, ec)) {
            interface_dir_ = *dir;
        }
        return true;
    }

    std::optional<std::u16string> InstanceId() override {
        if (interface_dir_.empty()) {
            return std::nullopt;
        }
        return sysfs::UsbInstanceId(interface_dir_.parent_path());
    }

    bool SelectFirstInterface() override {
        interface_selected_ = !interface_dir_.empty();
        return interface_selected_;
    }

    std::optional<std::uint32_t> InterfaceDetailSize() override {
        if (!interface_selected_) {
            return std::nullopt;
        }
        return RecordSize(DevicePath());
    }

    std::optional<InterfaceDetail> ReadInterfaceDetail(std::uint32_t size) override {
        if (!interface_selected_) {
            return std::nullopt;
        }
        InterfaceDetail detail;
        detail.device_path = DevicePath();
        if (size < RecordSize(detail.device_path)) {
            return std::nullopt;
        }
        detail.dot4 =
            sysfs::ReadHexAttribute(interface_dir_ / "bInterfaceProtocol") == kProtocolIeee1284_4;
        return detail;
    }

    std::u16string DeviceParametersName(const std::u16string&) override {
        return interface_dir_.u16string();
    }

    std::unique_ptr<DeviceParameters> OpenDeviceParameters(const std::u16string&) override {
        std::error_code ec;
        if (!interface_selected_ || !fs::is_directory(interface_dir_, ec)) {
            return nullptr;
        }
        return std::make_unique<LinuxDeviceParameters>(interface_dir_);
    }

  private:
    // <dev root>/<DEVNAME> from the node's uevent; the kernel names usblp nodes usb/lpN, which
    // stands in when the uevent has no usable DEVNAME.
    std::u16string DevicePath() const {
        std::string devname = "usb/" + node_;
        if (const auto uevent = sysfs::ReadAttribute(class_dir_ / node_ / "uevent")) {
            std::size_t start = 0;
            while (start < uevent->size()) {
                std::size_t end = uevent->find('\n', start);
                if (end == std::string::npos) {
                    end = uevent->size();
                }
                const std::string_view line(uevent->data() + start, end - start);
                if (line.starts_with("DEVNAME=") && IsDevName(line.substr(8))) {
                    devname = std::string(line.substr(8));
                }
                start = end + 1;
            }
        }
        return Utf8ToUtf16((sysfs::DevRoot() / devname).string());
    }

    // What a record holding the path as UTF-16 with its terminator needs.
    static std::uint32_t RecordSize(const std::u16string& path) {
        return static_cast<std::uint32_t>((path.size() + 1) * sizeof(char16_t));
    }

    fs::path class_dir_;
    std::vector<std::string> nodes_;
    std::string node_;
    fs::path interface_dir_;
    bool interface_selected_ = false;
};

class LinuxUsbPrinterInterfaces final : public UsbPrinterInterfaces {
  public:
    std::unique_ptr<UsbPrinterInterfaceSet> OpenPresent() override {
        const fs::path class_dir = sysfs::SysfsRoot() / "class" / "usbmisc";
        std::error_code ec;
        std::vector<std::pair<unsigned long, std::string>> found;
        fs::directory_iterator it(class_dir, ec);
        if (ec) {
            // Without the folder no usbmisc driver has made a node: no printer, not a failure.
            if (ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory) {
                return std::make_unique<LinuxInterfaceSet>(class_dir, std::vector<std::string>{});
            }
            return nullptr;
        }
        for (; it != fs::directory_iterator(); it.increment(ec)) {
            if (ec) {
                return nullptr;
            }
            std::string name = it->path().filename().string();
            if (const auto n = LpNumber(name)) {
                found.emplace_back(*n, std::move(name));
            }
        }
        std::sort(found.begin(), found.end());
        std::vector<std::string> nodes;
        nodes.reserve(found.size());
        for (auto& [n, name] : found) {
            nodes.push_back(std::move(name));
        }
        return std::make_unique<LinuxInterfaceSet>(class_dir, std::move(nodes));
    }

    // Devices are the entries of bus/usb/devices without a colon; their interfaces are the
    // device folder's children named "<device>:<configuration>.<interface>".
    std::vector<UsbBusDevice> DevicesOnBus() override {
        const fs::path bus_dir = sysfs::SysfsRoot() / "bus" / "usb" / "devices";
        std::error_code ec;
        std::map<std::string, fs::path> device_dirs;
        for (fs::directory_iterator it(bus_dir, ec); !ec && it != fs::directory_iterator();
             it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.find(':') == std::string::npos) {
                device_dirs.emplace(name, it->path());
            }
        }
        std::vector<UsbBusDevice> result;
        for (const auto& [name, dir] : device_dirs) {
            std::optional<std::u16string> id = sysfs::UsbInstanceId(dir);
            if (!id) {
                continue;
            }
            UsbBusDevice device{std::move(*id), Utf8ToUtf16(name), {}};
            std::error_code child_ec;
            for (fs::directory_iterator child(dir, child_ec);
                 !child_ec && child != fs::directory_iterator(); child.increment(child_ec)) {
                const std::string child_name = child->path().filename().string();
                if (child_name.starts_with(name + ":")) {
                    device.interfaces.push_back(ReadBusInterface(child->path()));
                }
            }
            std::sort(
                device.interfaces.begin(), device.interfaces.end(),
                [](const UsbBusInterface& a, const UsbBusInterface& b) { return a.name < b.name; });
            result.push_back(std::move(device));
        }
        return result;
    }

  private:
    static UsbBusInterface ReadBusInterface(const fs::path& dir) {
        UsbBusInterface iface;
        iface.name = Utf8ToUtf16(dir.filename().string());
        iface.interface_class =
            static_cast<std::uint8_t>(sysfs::ReadHexAttribute(dir / "bInterfaceClass").value_or(0));
        iface.interface_subclass = static_cast<std::uint8_t>(
            sysfs::ReadHexAttribute(dir / "bInterfaceSubClass").value_or(0));
        iface.interface_protocol = static_cast<std::uint8_t>(
            sysfs::ReadHexAttribute(dir / "bInterfaceProtocol").value_or(0));
        std::error_code ec;
        const fs::path driver = fs::read_symlink(dir / "driver", ec);
        if (!ec) {
            iface.driver = Utf8ToUtf16(driver.filename().string());
        }
        for (fs::directory_iterator node(dir / "usbmisc", ec);
             !ec && node != fs::directory_iterator(); node.increment(ec)) {
            if (LpNumber(node->path().filename().string())) {
                iface.has_printer_node = true;
            }
        }
        return iface;
    }
};

}  // namespace

UsbPrinterInterfaces& SystemUsbPrinterInterfaces() {
    static LinuxUsbPrinterInterfaces interfaces;
    return interfaces;
}

}  // namespace tessel::platform
