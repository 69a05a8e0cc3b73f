#include "discovery/unusable_printers.h"

#include "discovery/supported_devices.h"
#include "platform/services.h"
#include "platform/text.h"
#include "platform/usb_printer_interfaces.h"

namespace tessel::discovery {
namespace {

constexpr std::uint8_t kPrinterClass = 0x07;

// The driver name of a program's raw USB access: no kernel driver holds the interface.
constexpr std::u16string_view kRawAccessDriver = u"usbfs";

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
        if (!printer_interface) {
            printer.reason = UnusableReason::kNoPrinterInterface;
        } else if (printer_interface->driver == u"usblp") {
            printer.reason = UnusableReason::kNoDeviceNode;
        } else if (!printer_interface->driver.empty() &&
                   printer_interface->driver != kRawAccessDriver) {
            printer.reason = UnusableReason::kOtherDriver;
        } else {
            // No kernel driver holds it: discovery lists it on its USB device node when the
            // descriptors show the printer interface.
            printer.descriptor_problem =
                platform::FindUsbPrinterInterface(device.descriptors, device.active_configuration)
                    .problem;
            if (printer.descriptor_problem == platform::DescriptorProblem::kNone) {
                continue;
            }
            printer.reason = UnusableReason::kOddDescriptors;
        }
        if (printer_interface) {
            printer.driver = printer_interface->driver;
        }
        result.push_back(std::move(printer));
    }
    return result;
}

}  // namespace tessel::discovery
