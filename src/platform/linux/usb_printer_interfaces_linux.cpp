// USB printer interfaces on Linux: one element per supported-class printer on the USB bus. A
// printer whose interface the usblp driver holds is reached through usblp's node
// (class/usbmisc/lpN, the elements in lp-number order); one that no kernel driver holds
// (none bound, or a program's raw USB access through usbfs) through its USB device node
// (/dev/bus/usb/BBB/DDD), those elements following in bus order. The port name is the device
// URI under which the CUPS usb backend knows the printer, so the spooler check can find the
// printer's queue.
#include <cups/http.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "platform/linux/sysfs_usb.h"
#include "platform/text.h"
#include "platform/usb_names.h"
#include "platform/usb_printer_interfaces.h"

namespace tessel::platform {
namespace {
namespace fs = std::filesystem;

constexpr std::uint32_t kProtocolIeee1284_4 = 0x03;
constexpr std::uint32_t kPrinterClass = 0x07;
constexpr std::uint32_t kPrinterSubclass = 0x01;
// The driver name sysfs shows for an interface that a program claimed through the USB device
// node: no kernel driver holds it, and the program's hold shows when the tool claims it.
constexpr std::string_view kRawAccessDriver = "usbfs";

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
    // `usb_device`: reached through its USB device node, usblp not bound.
    LinuxDeviceParameters(fs::path interface_dir, bool usb_device)
        : interface_dir_(std::move(interface_dir)), usb_device_(usb_device) {}

    PortValue ReadPort() override {
        // usblp reads the printer's IEEE 1284 device ID into sysfs. Without usblp the CUPS usb
        // backend asks the printer, which would mean opening it here: the device's
        // manufacturer and product strings stand in, as the backend takes them for a device
        // ID without a make or model.
        std::optional<std::string> device_id =
            sysfs::ReadAttribute(interface_dir_ / "ieee1284_id");
        if (!device_id && usb_device_) {
            const auto make = sysfs::ReadAttribute(interface_dir_.parent_path() / "manufacturer");
            const auto model = sysfs::ReadAttribute(interface_dir_.parent_path() / "product");
            if (!make || !model || make->empty() || model->empty()) {
                return {};
            }
            device_id = "MFG:" + *make + ";MDL:" + *model + ";";
        }
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
    bool usb_device_;
};

// One element of a pass: a usblp node, or a USB device that no kernel driver holds.
struct Element {
    std::string lp;        // the usblp node's name ("lp0"); empty for a USB device
    fs::path device_dir;   // the USB device's folder, for a USB device
};

// A USB device's printer interface folders ("1-1:1.0" with class 07, subclass 01), in name order.
std::vector<fs::path> PrinterInterfaceDirs(const fs::path& device_dir) {
    const std::string name = device_dir.filename().string();
    std::vector<fs::path> dirs;
    std::error_code ec;
    for (fs::directory_iterator child(device_dir, ec); !ec && child != fs::directory_iterator();
         child.increment(ec)) {
        const fs::path& dir = child->path();
        if (dir.filename().string().starts_with(name + ":") &&
            sysfs::ReadHexAttribute(dir / "bInterfaceClass") == kPrinterClass &&
            sysfs::ReadHexAttribute(dir / "bInterfaceSubClass") == kPrinterSubclass) {
            dirs.push_back(dir);
        }
    }
    std::sort(dirs.begin(), dirs.end());
    return dirs;
}

// The driver bound to an interface, empty when none.
std::string DriverOf(const fs::path& interface_dir) {
    std::error_code ec;
    const fs::path driver = fs::read_symlink(interface_dir / "driver", ec);
    return ec ? std::string() : driver.filename().string();
}

bool HasLpNode(const fs::path& interface_dir) {
    std::error_code ec;
    for (fs::directory_iterator node(interface_dir / "usbmisc", ec);
         !ec && node != fs::directory_iterator(); node.increment(ec)) {
        if (LpNumber(node->path().filename().string())) {
            return true;
        }
    }
    return false;
}

// The USB devices on the bus by name ("1-1", "1-1.2"), without interfaces and hubs' ports.
std::map<std::string, fs::path> BusDeviceDirs() {
    const fs::path bus_dir = sysfs::SysfsRoot() / "bus" / "usb" / "devices";
    std::map<std::string, fs::path> dirs;
    std::error_code ec;
    for (fs::directory_iterator it(bus_dir, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.find(':') == std::string::npos) {
            dirs.emplace(name, it->path());
        }
    }
    return dirs;
}

// The raw descriptors sysfs shows for a USB device (the device descriptor and its
// configurations), bounded like any attribute; empty when they cannot be read.
std::vector<std::uint8_t> ReadDescriptors(const fs::path& device_dir) {
    const std::optional<std::string> raw = sysfs::ReadAttributeBytes(device_dir / "descriptors");
    return raw ? std::vector<std::uint8_t>(raw->begin(), raw->end()) : std::vector<std::uint8_t>{};
}

std::optional<std::uint8_t> ActiveConfiguration(const fs::path& device_dir) {
    const auto text = sysfs::ReadAttribute(device_dir / "bConfigurationValue");
    if (!text || text->empty() || text->size() > 3) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (char c : *text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value <= 255 ? std::optional<std::uint8_t>(static_cast<std::uint8_t>(value))
                        : std::nullopt;
}

class LinuxInterfaceSet final : public UsbPrinterInterfaceSet {
  public:
    LinuxInterfaceSet(fs::path class_dir, std::vector<Element> elements)
        : class_dir_(std::move(class_dir)), elements_(std::move(elements)) {}

    bool SelectElement(std::uint32_t index) override {
        interface_dir_.clear();
        device_dir_.clear();
        interface_selected_ = false;
        if (index >= elements_.size()) {
            return false;
        }
        node_ = elements_[index].lp;
        std::error_code ec;
        if (node_.empty()) {
            // A USB device: its first printer interface, if it still has one.
            device_dir_ = elements_[index].device_dir;
            const std::vector<fs::path> interfaces = PrinterInterfaceDirs(device_dir_);
            if (!interfaces.empty()) {
                interface_dir_ = interfaces.front();
            }
            return true;
        }
        // class/usbmisc/lpN links to <interface>/usbmisc/lpN, whose "device" links back to
        // the interface. Below devices/ every folder is real, so the links resolve by plain
        // path arithmetic.
        const std::optional<fs::path> node = FollowLink(class_dir_ / node_);
        const std::optional<fs::path> dir = node ? FollowLink(*node / "device") : std::nullopt;
        if (dir && fs::is_directory(*dir, ec)) {
            interface_dir_ = *dir;
            device_dir_ = dir->parent_path();
        }
        return true;
    }

    std::optional<std::u16string> InstanceId() override {
        if (interface_dir_.empty()) {
            return std::nullopt;
        }
        return sysfs::UsbInstanceId(device_dir_);
    }

    bool SelectFirstInterface() override {
        interface_selected_ = !interface_dir_.empty();
        return interface_selected_;
    }

    std::optional<std::uint32_t> InterfaceDetailSize() override {
        if (!interface_selected_) {
            return std::nullopt;
        }
        const std::optional<std::u16string> path = DevicePath();
        if (!path) {
            return std::nullopt;
        }
        return RecordSize(*path);
    }

    std::optional<InterfaceDetail> ReadInterfaceDetail(std::uint32_t size) override {
        if (!interface_selected_) {
            return std::nullopt;
        }
        const std::optional<std::u16string> path = DevicePath();
        if (!path || size < RecordSize(*path)) {
            return std::nullopt;
        }
        InterfaceDetail detail;
        detail.device_path = *path;
        detail.dot4 =
            sysfs::ReadHexAttribute(interface_dir_ / "bInterfaceProtocol") == kProtocolIeee1284_4;
        if (node_.empty()) {
            detail.transport = DeviceTransport::kUsbDevice;
            detail.dot4 = false;  // the descriptors decide which interface is used
            detail.usb_descriptors = ReadDescriptors(device_dir_);
            detail.active_configuration = ActiveConfiguration(device_dir_);
        }
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
        return std::make_unique<LinuxDeviceParameters>(interface_dir_, node_.empty());
    }

  private:
    // A usblp node: <dev root>/<DEVNAME> from the node's uevent; the kernel names usblp nodes
    // usb/lpN, which stands in when the uevent has no usable DEVNAME. A USB device:
    // <dev root>/bus/usb/BBB/DDD from its bus and device numbers. Nothing when those numbers
    // cannot be read.
    std::optional<std::u16string> DevicePath() const {
        if (node_.empty()) {
            const auto bus = ReadDecimal(device_dir_ / "busnum");
            const auto dev = ReadDecimal(device_dir_ / "devnum");
            if (!bus || !dev || *bus > 999 || *dev > 999) {
                return std::nullopt;
            }
            char name[32];
            std::snprintf(name, sizeof name, "bus/usb/%03u/%03u", *bus, *dev);
            return Utf8ToUtf16((sysfs::DevRoot() / name).string());
        }
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

    static std::optional<unsigned> ReadDecimal(const fs::path& file) {
        const auto text = sysfs::ReadAttribute(file);
        if (!text || text->empty() || text->size() > 6) {
            return std::nullopt;
        }
        unsigned value = 0;
        for (char c : *text) {
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            value = value * 10 + static_cast<unsigned>(c - '0');
        }
        return value;
    }

    // What a record holding the path as UTF-16 with its terminator needs.
    static std::uint32_t RecordSize(const std::u16string& path) {
        return static_cast<std::uint32_t>((path.size() + 1) * sizeof(char16_t));
    }

    fs::path class_dir_;
    std::vector<Element> elements_;
    std::string node_;
    fs::path device_dir_;
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
        // Without the folder no usbmisc driver has made a node: no usblp printer, not a
        // failure.
        if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory) {
            return nullptr;
        }
        for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
            std::string name = it->path().filename().string();
            if (const auto n = LpNumber(name)) {
                found.emplace_back(*n, std::move(name));
            }
        }
        if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory) {
            return nullptr;
        }
        std::sort(found.begin(), found.end());
        std::vector<Element> elements;
        elements.reserve(found.size());
        for (auto& [n, name] : found) {
            elements.push_back({std::move(name), {}});
        }
        // Then the printers that no kernel driver holds, reached through the USB device node.
        for (const auto& [name, dir] : BusDeviceDirs()) {
            const std::vector<fs::path> interfaces = PrinterInterfaceDirs(dir);
            if (interfaces.empty()) {
                continue;
            }
            bool held = false;
            for (const fs::path& iface : interfaces) {
                const std::string driver = DriverOf(iface);
                held = held || HasLpNode(iface) || (!driver.empty() && driver != kRawAccessDriver);
            }
            if (!held) {
                elements.push_back({{}, dir});
            }
        }
        return std::make_unique<LinuxInterfaceSet>(class_dir, std::move(elements));
    }

    // Devices are the entries of bus/usb/devices without a colon; their interfaces are the
    // device folder's children named "<device>:<configuration>.<interface>".
    std::vector<UsbBusDevice> DevicesOnBus() override {
        std::vector<UsbBusDevice> result;
        for (const auto& [name, dir] : BusDeviceDirs()) {
            std::optional<std::u16string> id = sysfs::UsbInstanceId(dir);
            if (!id) {
                continue;
            }
            UsbBusDevice device{std::move(*id), Utf8ToUtf16(name), {}, {}, {}};
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
            device.descriptors = ReadDescriptors(dir);
            device.active_configuration = ActiveConfiguration(dir);
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
        iface.driver = Utf8ToUtf16(DriverOf(dir));
        iface.has_printer_node = HasLpNode(dir);
        return iface;
    }
};

}  // namespace

UsbPrinterInterfaces& SystemUsbPrinterInterfaces() {
    static LinuxUsbPrinterInterfaces interfaces;
    return interfaces;
}

}  // namespace tessel::platform
