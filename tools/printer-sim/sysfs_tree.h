// The entries the kernel makes for a USB printer bound to the usblp driver, made under the
// emulator's own sysfs and /dev roots:
//   <sys>/class/usbmisc/lpN -> ../../devices/pci0000:00/0000:00:14.0/usb1/1-P/1-P:1.0/usbmisc/lpN
//   <sys>/bus/usb/devices/1-P -> ../../../devices/pci0000:00/0000:00:14.0/usb1/1-P
//   <sys>/devices/.../usb1/1-P/          idVendor idProduct [serial] busnum devnum manufacturer
//   product <sys>/devices/.../1-P/1-P:1.0/       bInterfaceClass bInterfaceSubClass
//   bInterfaceProtocol [ieee1284_id] <sys>/devices/.../1-P:1.0/usbmisc/lpN/   uevent dev device ->
//   ../../../1-P:1.0 <dev>/usb/lpN -> the pseudo-terminal's slave
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "printer_config.h"

namespace tessel::sim {

struct UsbPlacement {
    std::string port;  // "1-1": the USB device's name, fixed per printer
    int devnum = 0;    // new at every appearance
    int lp = 0;        // the lowest free one at every appearance
};

class SysfsTree {
  public:
    SysfsTree(std::filesystem::path sys_root, std::filesystem::path dev_root);

    // Makes the folders every printer's entries live in.
    void CreateBase() const;

    // Makes one printer's entries, the class link last so that a reader that finds the class
    // entry finds everything behind it. Throws std::filesystem::filesystem_error.
    void Add(const PrinterConfig& printer, std::uint16_t product_id, const UsbPlacement& place,
             const std::string& slave_path) const;

    // Removes one printer's entries, the class link first. Never throws.
    void Remove(const UsbPlacement& place) const;

    std::filesystem::path ClassEntry(int lp) const;
    std::filesystem::path DeviceNode(int lp) const;
    std::filesystem::path UsbDevice(const std::string& port) const;

  private:
    std::filesystem::path sys_;
    std::filesystem::path dev_;
};

}  // namespace tessel::sim
