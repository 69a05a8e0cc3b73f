#include "discovery/unusable_printers.h"

#include "discovery/supported_devices.h"
#include "platform/services.h"
#include "platform/text.h"
#include "platform/usb_printer_interfaces.h"

namespace tessel::discovery {
namespace {

constexpr std::uint8_t kPrinterClass = 0x07;

UnusableReason ReasonFor(const std::u16string& driver) {
    if (driver.empty()) {
        return UnusableReason::kNoDriver;
    }
    if (driver == u"usbfs") {
        return UnusableReason::kHeldByProgram;
    }
    if (driver == u"usblp") {
        return UnusableReason::kNoDeviceNode;
    }
    return UnusableReason::kOtherDriver;
}

}  // namespace

std::vector<UnusablePrinter> FindUnusablePrinters() {
    std::vector<UnusablePrinter> result;
    platform::UsbPrinterInterfaces* interfaces = platform::Current().usb;
    if (!interfaces) {
        return result;
    }
    for (const platform::UsbBusDevice& device : interfaces->DevicesOnBus()) {
        const SupportedDeviceEntry* row = FindSupportedDevice(device.instance_id);
        if (!row) {
            continue;
        }
        const platform::UsbBusInterface* printer_interface = nullptr;
        bool has_node = false;
        for (const platform::UsbBusInterface& iface : device.interfaces) {
            has_node = has_node || iface.has_printer_node;
            if (!printer_interface && iface.interface_class == kPrinterClass) {
                printer_interface = &iface;
            }
        }
        if (has_node) {
            continue;
        }
        UnusablePrinter printer;
        printer.instance_id = device.instance_id;
        printer.printer_name =
            std::u16string(platform::FixedView(row->achPrinterName, kPrinterNameCapacity));
        printer.location = device.location;
        if (printer_interface) {
            printer.driver = printer_interface->driver;
            printer.reason = ReasonFor(printer_interface->driver);
        } else {
            printer.reason = UnusableReason::kNoPrinterInterface;
        }
        result.push_back(std::move(printer));
    }
    return result;
}

}  // namespace tessel::discovery
