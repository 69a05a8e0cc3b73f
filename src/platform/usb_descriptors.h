// The printer interface of a USB device, read from the descriptors the device reports (the
// device descriptor followed by its configuration descriptors, as the kernel gives them in sysfs
// and on the USB device node). The tool only takes a device whose descriptors show exactly the
// printer it knows: anything else is named with its problem and never opened.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace tessel::platform {

// What makes a device's descriptors unusable for the tool.
enum class DescriptorProblem {
    kNone,
    kMalformed,            // cut short, a length that does not add up, or not USB descriptors
    kNoConfiguration,      // no configuration, or none with the active configuration's value
    kNoPrinterInterface,   // no interface of the printer class (07, subclass 01)
    kSeveralInterfaces,    // the configuration has more than one interface
    kAlternateSettings,    // the printer interface has alternate settings
    kNotBidirectional,     // the printer interface's protocol is not 02 (bidirectional)
    kNoBulkOut,            // no bulk OUT endpoint
    kNoBulkIn,             // no bulk IN endpoint
    kOtherEndpoints,       // endpoints besides one bulk OUT and one bulk IN
};

// The interface and endpoints the tool uses.
struct UsbPrinterInterface {
    std::uint8_t configuration = 0;  // bConfigurationValue
    std::uint8_t interface_number = 0;
    std::uint8_t out_endpoint = 0;  // address, bit 7 clear
    std::uint8_t in_endpoint = 0;   // address, bit 7 set
    std::uint16_t out_max_packet = 0;
    std::uint16_t in_max_packet = 0;
};

struct UsbPrinterInterfaceResult {
    std::optional<UsbPrinterInterface> printer;  // set exactly when problem is kNone
    DescriptorProblem problem = DescriptorProblem::kMalformed;
};

// Reads the printer interface from `descriptors`. `active_configuration` is the value of the
// configuration the device runs (sysfs bConfigurationValue); without it the first one counts.
UsbPrinterInterfaceResult FindUsbPrinterInterface(std::span<const std::uint8_t> descriptors,
                                                  std::optional<std::uint8_t> active_configuration);

}  // namespace tessel::platform
