// Supported printers that are plugged in but cannot be used: on the USB bus, yet reachable
// neither through the printer driver's node nor through the USB device node, so discovery
// does not list them. A front end uses this to tell the
// user why the printer was not found instead of only suggesting the USB cable.
#pragma once

#include <string>
#include <vector>

#include "platform/usb_descriptors.h"

namespace tessel::discovery {

enum class UnusableReason {
    kNoPrinterInterface,  // the device shows no interface of the printer class
    kOtherDriver,         // another kernel driver has the interface
    kNoDeviceNode,        // the printer driver has the interface but made no device node
    kOddDescriptors,      // no kernel driver has it, and its descriptors are not the printer's
};

struct UnusablePrinter {
    std::u16string instance_id;
    std::u16string printer_name;  // the supported table's name for it
    std::u16string location;      // where it is plugged in (Linux: "1-1")
    std::u16string driver;        // the driver that has the printer interface, if any
    UnusableReason reason = UnusableReason::kNoPrinterInterface;
    // For kOddDescriptors: what is wrong with them.
    platform::DescriptorProblem descriptor_problem = platform::DescriptorProblem::kNone;
};

// Every supported printer on the bus that discovery does not list, in bus order: one without a
// printer device node whose interface another kernel driver holds, or whose descriptors the
// tool cannot use (a printer that no kernel driver holds is listed on its USB device node). Touches
// none of discovery's process-wide values. Empty where the system offers no bus view
// (Windows).
std::vector<UnusablePrinter> FindUnusablePrinters();

}  // namespace tessel::discovery
