// Supported printers that are plugged in but cannot be used: on the USB bus, yet without a
// printer device node, so discovery does not list them. A front end uses this to tell the
// user why the printer was not found instead of only suggesting the USB cable.
#pragma once

#include <string>
#include <vector>

namespace tessel::discovery {

enum class UnusableReason {
    kNoPrinterInterface,  // the device shows no interface of the printer class
    kNoDriver,            // no driver has its printer interface (usblp not loaded or blocked)
    kHeldByProgram,       // a program holds the interface through raw USB access
    kOtherDriver,         // another kernel driver has the interface
    kNoDeviceNode,        // the printer driver has the interface but made no device node
};

struct UnusablePrinter {
    std::u16string instance_id;
    std::u16string printer_name;  // the supported table's name for it
    std::u16string location;      // where it is plugged in (Linux: "1-1")
    std::u16string driver;        // the driver that has the printer interface, if any
    UnusableReason reason = UnusableReason::kNoDriver;
};

// Every supported printer on the bus that has no printer device node, in bus order. Touches
// none of discovery's process-wide values. Empty where the system offers no bus view
// (Windows).
std::vector<UnusablePrinter> FindUnusablePrinters();

}  // namespace tessel::discovery
