// The entries the kernel makes for a USB printer, made under a sysfs root and a /dev root of
// one's own: the printer emulator makes them for each printer it plays, and the discovery tests
// make them for the printers they describe. This is the one place that knows the layout:
//   <sys>/class/usbmisc/lpN -> ../../devices/pci0000:00/0000:00:14.0/usb1/1-P/1-P:1.0/usbmisc/lpN
//   <sys>/bus/usb/devices/1-P -> ../../../devices/pci0000:00/0000:00:14.0/usb1/1-P
//   <sys>/devices/.../usb1/1-P/         idVendor idProduct [serial] busnum devnum manufacturer
//                                       product uevent descriptors bConfigurationValue
//   <sys>/devices/.../1-P/1-P:1.0/      bInterfaceClass bInterfaceSubClass bInterfaceProtocol
//                                       [ieee1284_id] [driver -> <sys>/bus/usb/drivers/NAME]
//   <sys>/devices/.../1-P:1.0/usbmisc/lpN/   uevent dev device -> ../../../1-P:1.0
//   <dev>/usb/lpN -> the device node (the emulator's pseudo-terminal), or an empty file
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "printer_config.h"

namespace tessel::sim {

inline constexpr std::uint8_t kPrinterOutEndpoint = 0x01;
inline constexpr std::uint8_t kPrinterInEndpoint = 0x82;

// The descriptors of the emulated printer as sysfs and the USB device node give them: the device
// descriptor, then one configuration with one printer interface (class 07, subclass 01, the
// given protocol), a bulk OUT endpoint 0x01 and a bulk IN endpoint 0x82 of 512 bytes.
std::vector<std::uint8_t> PrinterDescriptors(std::uint16_t vendor_id, std::uint16_t product_id,
                                             bool has_serial, std::uint8_t protocol);

// One USB printer as the kernel shows it.
struct UsbPrinterEntries {
    std::string port = "1-1";  // the USB device's sysfs name: its place on the bus
    int devnum = 2;
    std::uint16_t vendor_id = 0x7A3C;
    std::uint16_t product_id = 0x0C12;
    std::optional<std::string> serial = std::string("SER1");
    std::string manufacturer = "Bexlot";
    std::string product = "R7200 Series";
    std::optional<std::string> ieee1284_id;
    std::uint8_t interface_class = 0x07;     // 07: printer
    std::uint8_t interface_protocol = 0x02;  // 02: bidirectional, 03: IEEE 1284.4
    std::string driver = "usblp";            // the driver bound to the interface; empty: none
    bool lp_node = true;                     // usblp made an lp node for it
    int lp = 0;
    std::string node_target;  // what <dev>/usb/lpN links to; empty: an empty plain file
    // What its "descriptors" attribute holds; unset: PrinterDescriptors for it.
    std::optional<std::vector<std::uint8_t>> descriptors;
};

struct UsbPlacement {
    std::string port;  // "1-1": the USB device's name, fixed per printer
    int devnum = 0;    // new at every appearance
    int lp = 0;        // the lowest free one at every appearance
};

class SysfsLayout {
  public:
    SysfsLayout(std::filesystem::path sys_root, std::filesystem::path dev_root);

    // Makes the folders every printer's entries live in.
    void CreateBase() const;

    // Makes one printer's entries, the class link last so that a reader that finds the class
    // entry finds everything behind it. Throws std::filesystem::filesystem_error.
    void Add(const UsbPrinterEntries& printer) const;
    // The emulator's printer at `place`, its node the pseudo-terminal at `slave_path`.
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
