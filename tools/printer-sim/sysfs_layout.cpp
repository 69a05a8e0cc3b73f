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

}  // namespace

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
