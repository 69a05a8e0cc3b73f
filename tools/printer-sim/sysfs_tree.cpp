#include "sysfs_tree.h"

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

std::string Hex4(unsigned value) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04x", value & 0xFFFFu);
    return buf;
}

}  // namespace

SysfsTree::SysfsTree(fs::path sys_root, fs::path dev_root)
    : sys_(std::move(sys_root)), dev_(std::move(dev_root)) {}

void SysfsTree::CreateBase() const {
    fs::create_directories(sys_ / "class" / "usbmisc");
    fs::create_directories(sys_ / "bus" / "usb" / "devices");
    fs::create_directories(sys_ / kControllerPath);
    fs::create_directories(dev_ / "usb");
}

fs::path SysfsTree::ClassEntry(int lp) const {
    return sys_ / "class" / "usbmisc" / ("lp" + std::to_string(lp));
}

fs::path SysfsTree::DeviceNode(int lp) const {
    return dev_ / "usb" / ("lp" + std::to_string(lp));
}

fs::path SysfsTree::UsbDevice(const std::string& port) const {
    return sys_ / kControllerPath / port;
}

void SysfsTree::Add(const PrinterConfig& printer, std::uint16_t product_id,
                    const UsbPlacement& place, const std::string& slave_path) const {
    const std::string lp = "lp" + std::to_string(place.lp);
    const std::string interface = place.port + ":1.0";
    const fs::path device = UsbDevice(place.port);
    const fs::path intf = device / interface;
    const fs::path lpdir = intf / "usbmisc" / lp;
    fs::create_directories(lpdir);

    WriteEntry(device / "idVendor", Hex4(printer.vendor_id));
    WriteEntry(device / "idProduct", Hex4(product_id));
    if (printer.serial) {
        WriteEntry(device / "serial", *printer.serial);
    }
    WriteEntry(device / "busnum", "1");
    WriteEntry(device / "devnum", std::to_string(place.devnum));
    WriteEntry(device / "manufacturer", printer.manufacturer);
    WriteEntry(device / "product", printer.product);

    WriteEntry(intf / "bInterfaceClass", "07");
    WriteEntry(intf / "bInterfaceSubClass", "01");
    WriteEntry(intf / "bInterfaceProtocol", printer.interface_protocol == 3 ? "03" : "02");
    if (printer.has_ieee1284_id) {
        WriteEntry(intf / "ieee1284_id", printer.Ieee1284Id());
    }

    WriteEntry(lpdir / "uevent", "MAJOR=" + std::to_string(kUsbLpMajor) +
                                     "\nMINOR=" + std::to_string(place.lp) + "\nDEVNAME=usb/" + lp);
    WriteEntry(lpdir / "dev", std::to_string(kUsbLpMajor) + ":" + std::to_string(place.lp));
    fs::create_directory_symlink("../../../" + interface, lpdir / "device");

    fs::create_symlink(slave_path, DeviceNode(place.lp));
    fs::create_directory_symlink(std::string("../../../") + kControllerPath + "/" + place.port,
                                 sys_ / "bus" / "usb" / "devices" / place.port);
    fs::create_directory_symlink(std::string("../../") + kControllerPath + "/" + place.port + "/" +
                                     interface + "/usbmisc/" + lp,
                                 ClassEntry(place.lp));
}

void SysfsTree::Remove(const UsbPlacement& place) const {
    std::error_code ec;
    fs::remove(ClassEntry(place.lp), ec);
    fs::remove(DeviceNode(place.lp), ec);
    fs::remove(sys_ / "bus" / "usb" / "devices" / place.port, ec);
    fs::remove_all(UsbDevice(place.port), ec);
}

}  // namespace tessel::sim
