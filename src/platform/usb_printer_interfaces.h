// The machine's present USB printer interfaces, walked one element at a time the way the
// system's device installation services present them. An implementation only reports what the
// system says; what each answer means for discovery is decided by the portable logic.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tessel::platform {

// The printer's port as the system stores it for one interface.
struct PortValue {
    enum class Kind {
        kMissing,  // nothing stored, or it could not be read
        kNumber,   // a USB port number (Windows: the "Port Number" value)
        kName,     // the spooler's own name for the port (Linux: the CUPS device URI)
    };
    Kind kind = Kind::kMissing;
    std::uint32_t number = 0;
    std::u16string name;
};

// The stored parameters of one interface (a registry key on Windows). Closed on destruction.
class DeviceParameters {
  public:
    virtual ~DeviceParameters() = default;
    virtual PortValue ReadPort() = 0;
};

// How the printer's device file reaches it.
enum class DeviceTransport {
    kPrinterDriver,  // the kernel's printer driver's node (Windows: USBPRINT; Linux: usblp)
    kUsbDevice,      // the USB device node, through libusb (Linux: /dev/bus/usb/BBB/DDD)
};

// What the interface detail record gives.
struct InterfaceDetail {
    // The path that opens the printer's device file.
    std::u16string device_path;
    // The system says the interface speaks IEEE 1284.4 (DOT4) although its path need not
    // show it (Linux: interface protocol 03).
    bool dot4 = false;
    DeviceTransport transport = DeviceTransport::kPrinterDriver;
    // For kUsbDevice: the descriptors the device reports and its active configuration, from
    // which the printer interface is read (see usb_descriptors.h).
    std::vector<std::uint8_t> usb_descriptors{};
    std::optional<std::uint8_t> active_configuration{};
};

// One pass over the present USB printer interfaces. The set is released on destruction.
// Element and interface are "current" state: each call works on the last one selected.
class UsbPrinterInterfaceSet {
  public:
    virtual ~UsbPrinterInterfaceSet() = default;
    // Makes the element at `index` current; false when the index is past the end.
    virtual bool SelectElement(std::uint32_t index) = 0;
    // The current element's device instance ID, or nothing when it cannot be read.
    virtual std::optional<std::u16string> InstanceId() = 0;
    // Makes the current element's first USB printer interface current; false when it has none.
    virtual bool SelectFirstInterface() = 0;
    // The size in bytes of the current interface's detail record, or nothing when the system
    // cannot say.
    virtual std::optional<std::uint32_t> InterfaceDetailSize() = 0;
    // Reads the detail record into storage of `size` bytes. Nothing when the read fails,
    // including when storage of that size cannot hold the record or cannot be allocated.
    virtual std::optional<InterfaceDetail> ReadInterfaceDetail(std::uint32_t size) = 0;
    // Where the system keeps the stored parameters of the current interface, whose device path
    // is `device_path`: on Windows the registry path (relative to HKEY_LOCAL_MACHINE), on Linux
    // the interface's folder. Named in the debugger output and handed to OpenDeviceParameters.
    virtual std::u16string DeviceParametersName(const std::u16string& device_path) = 0;
    // Opens the stored parameters of the current interface; `key_name` is what
    // DeviceParametersName gave. They are opened for reading only: nothing is created or written,
    // and where none are stored the parameters hold no port. Null when they cannot be opened.
    virtual std::unique_ptr<DeviceParameters> OpenDeviceParameters(
        const std::u16string& key_name) = 0;
};

// One interface of a USB device on the bus, whatever driver has it.
struct UsbBusInterface {
    std::u16string name;  // Linux: "1-1:1.0"
    std::uint8_t interface_class = 0;
    std::uint8_t interface_subclass = 0;
    std::uint8_t interface_protocol = 0;
    std::u16string driver;          // the bound driver's name, empty when none is bound
    bool has_printer_node = false;  // a printer device node (lp) sits on this interface
};

// One USB device on the bus.
struct UsbBusDevice {
    std::u16string instance_id;  // as InstanceId() writes it
    std::u16string location;     // where it is plugged in (Linux: "1-1")
    std::vector<UsbBusInterface> interfaces;
    // The descriptors it reports and its active configuration (Linux: sysfs "descriptors"
    // and "bConfigurationValue"); empty where the system does not show them.
    std::vector<std::uint8_t> descriptors{};
    std::optional<std::uint8_t> active_configuration{};
};

class UsbPrinterInterfaces {
  public:
    virtual ~UsbPrinterInterfaces() = default;
    // Starts a pass over the present USB printer interfaces; null when the system's set
    // cannot be created.
    virtual std::unique_ptr<UsbPrinterInterfaceSet> OpenPresent() = 0;
    // Every USB device on the bus with its interfaces, printer node or not. Used to explain
    // a printer that is plugged in but not usable; empty where the system has no such view.
    virtual std::vector<UsbBusDevice> DevicesOnBus() = 0;
};

// Windows: SetupAPI and the registry. Linux: sysfs under TESSEL_SYSFS_ROOT (default /sys),
// device nodes under TESSEL_DEV_ROOT (default /dev), port names from the CUPS rules.
UsbPrinterInterfaces& SystemUsbPrinterInterfaces();

}  // namespace tessel::platform
