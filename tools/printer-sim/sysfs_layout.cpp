#include "sysfs_layout.h"

#include <cstdio>
#include <fstream>
#include <system_error>

namespace tessel::sim {
namespace {

namespace fs = std::filesystem;

constexpr const char* kControllerPath = "devices/pci0000:00/0000:00:14.0/usb1";
constexpr int kUsbLpMajor = 180;

void WriteEntry(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text << '\n';
    if (!out) {
        throw fs::filesystem_error("cannot write", path, std::make_error_code(std::errc::io_error));
    }
}

std::string Hex(unsigned value, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*x", digits, value);
    return buf;
}

void Put16(std::vector<std::uint8_t>& d, std::uint16_t v) {
    d.push_back(static_cast<std::uint8_t>(v & 0xFF));
    d.push_back(static_cast<std::uint8_t>(v >> 8));
}

}  // namespace

std::vector<std::uint8_t> PrinterDescriptors(std::uint16_t vendor_id, std::uint16_t product_id,
                                             bool has_serial, std::uint8_t protocol) {
    constexpr std::uint16_t kMaxPacket = 512;  // high-speed bulk
    std::vector<std::uint8_t> d = {18, 0x01};
    Put16(d, 0x0200);                           // bcdUSB
    d.insert(d.end(), {0x00, 0x00, 0x00, 64});  // class per interface; control packets of 64
    Put16(d, vendor_id);
    Put16(d, product_id);
    Put16(d, 0x0100);  // bcdDevice
    d.insert(d.end(), {1, 2, static_cast<std::uint8_t>(has_serial ? 3 : 0), 1});
    // Configuration 1: 9 bytes, the interface's 9, two endpoints of 7.
    d.insert(d.end(), {9, 0x02});
    Put16(d, 9 + 9 + 7 + 7);
    d.insert(d.end(), {1, 1, 0, 0xC0, 1});
    d.insert(d.end(), {9, 0x04, 0, 0, 2, 0x07, 0x01, protocol, 0});
    d.insert(d.end(), {7, 0x05, kPrinterOutEndpoint, 0x02});
    Put16(d, kMaxPacket);
    d.push_back(0);
    d.insert(d.end(), {7, 0x05, kPrinterInEndpoint, 0x02});
    Put16(d, kMaxPacket);
    d.push_back(0);
    return d;
}

SysfsLayout::SysfsLayout(fs::path sys_root, fs::path dev_root)
    : sys_(std::move(sys_root)), dev_(std::move(dev_root)) {}

void SysfsLayout::CreateBase() const {
    fs::create_directories(sys_ / "class" / "usbmisc");
    fs::create_directories(sys_ / "bus" / "usb" / "devices");
    fs::create_directories(sys_ / kControllerPath);
    fs::create_directories(dev_ / "usb");
}

fs::path SysfsLayout::ClassEntry(int lp) const {
    return sys_ / "class" / "usbmisc" / ("lp" + std::to_string(lp));
}

fs::path SysfsLayout::DeviceNode(int lp) const {
    return dev_ / "usb" / ("lp" + std::to_string(lp));
}

fs::path SysfsLayout::UsbDevice(const std::string& port) const {
    return sys_ / kControllerPath / port;
}

void SysfsLayout::Add(const UsbPrinterEntries& printer) const {
    const std::string lp = "lp" + std::to_string(printer.lp);
    const std::string interface = printer.port + ":1.0";
    const fs::path device = UsbDevice(printer.port);
    const fs::path intf = device / interface;
    fs::create_directories(intf);

    WriteEntry(device / "idVendor", Hex(printer.vendor_id, 4));
    WriteEntry(device / "idProduct", Hex(printer.product_id, 4));
    if (printer.serial) {
        WriteEntry(device / "serial", *printer.serial);
    }
    WriteEntry(device / "busnum", "1");
    WriteEntry(device / "devnum", std::to_string(printer.devnum));
    WriteEntry(device / "manufacturer", printer.manufacturer);
    WriteEntry(device / "product", printer.product);
    WriteEntry(device / "uevent", "DEVTYPE=usb_device");
    WriteEntry(device / "bConfigurationValue", "1");
    {
        const std::vector<std::uint8_t> descriptors = printer.descriptors.value_or(
            PrinterDescriptors(printer.vendor_id, printer.product_id, printer.serial.has_value(),
                               printer.interface_protocol));
        std::ofstream out(device / "descriptors", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(descriptors.data()),
                  static_cast<std::streamsize>(descriptors.size()));
    }

    WriteEntry(intf / "bInterfaceClass", Hex(printer.interface_class, 2));
    WriteEntry(intf / "bInterfaceSubClass", "01");
    WriteEntry(intf / "bInterfaceProtocol", Hex(printer.interface_protocol, 2));
    if (printer.ieee1284_id) {
        WriteEntry(intf / "ieee1284_id", *printer.ieee1284_id);
    }
    if (!printer.driver.empty()) {
        fs::create_directories(sys_ / "bus" / "usb" / "drivers" / printer.driver);
        fs::create_directory_symlink("../../../../../../bus/usb/drivers/" + printer.driver,
                                     intf / "driver");
    }
    fs::create_directories(sys_ / "bus" / "usb" / "devices");
    fs::create_directory_symlink(std::string("../../../") + kControllerPath + "/" + printer.port,
                                 sys_ / "bus" / "usb" / "devices" / printer.port);
    if (!printer.lp_node) {
        return;
    }

    const fs::path lpdir = intf / "usbmisc" / lp;
    fs::create_directories(lpdir);
    WriteEntry(lpdir / "uevent", "MAJOR=" + std::to_string(kUsbLpMajor) + "\nMINOR=" +
                                     std::to_string(printer.lp) + "\nDEVNAME=usb/" + lp);
    WriteEntry(lpdir / "dev", std::to_string(kUsbLpMajor) + ":" + std::to_string(printer.lp));
    fs::create_directory_symlink("../../../" + interface, lpdir / "device");

    fs::create_directories(dev_ / "usb");
    if (printer.node_target.empty()) {
        std::ofstream(DeviceNode(printer.lp), std::ios::binary | std::ios::trunc);
    } else {
        fs::create_symlink(printer.node_target, DeviceNode(printer.lp));
    }
    fs::create_directories(sys_ / "class" / "usbmisc");
    fs::create_directory_symlink(std::string("../../") + kControllerPath + "/" + printer.port +
                                     "/" + interface + "/usbmisc/" + lp,
                                 ClassEntry(printer.lp));
}

void SysfsLayout::Add(const PrinterConfig& printer, std::uint16_t product_id,
                    const UsbPlacement& place, const std::string& slave_path) const {
    UsbPrinterEntries entries;
    entries.port = place.port;
    entries.devnum = place.devnum;
    entries.lp = place.lp;
    entries.vendor_id = printer.vendor_id;
    entries.product_id = product_id;
    entries.serial = printer.serial;
    entries.manufacturer = printer.manufacturer;
    entries.product = printer.product;
    if (printer.has_ieee1284_id) {
        entries.ieee1284_id = printer.Ieee1284Id();
    }
    entries.interface_protocol = printer.interface_protocol == 3 ? 0x03 : 0x02;
    entries.node_target = slave_path;
    Add(entries);
}

void SysfsLayout::Remove(const UsbPlacement& place) const {
    std::error_code ec;
    fs::remove(ClassEntry(place.lp), ec);
    fs::remove(DeviceNode(place.lp), ec);
    fs::remove(sys_ / "bus" / "usb" / "devices" / place.port, ec);
    fs::remove_all(UsbDevice(place.port), ec);
}

}  // namespace tessel::sim
