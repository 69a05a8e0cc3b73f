// Finding the supported printers among the machine's present USB printer interfaces, with
// the spooler port and the device path of each.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/supported_devices.h"
#include "platform/usb_printer_interfaces.h"

namespace tessel::discovery {

// Results of SearchUSBPrint.
inline constexpr std::int32_t kSearchDone = 1;
inline constexpr std::int32_t kSearchNoDeviceSet = -1;  // the set of interfaces could not be made
inline constexpr std::int32_t kSearchInstanceIdFailed =
    -2;  // an element's instance ID could not be read
inline constexpr std::int32_t kSearchNoPrinterInterface =
    -3;  // a matched element has no printer interface
inline constexpr std::int32_t kSearchDetailSizeFailed =
    -4;  // the interface detail size query failed
inline constexpr std::int32_t kSearchDetailReadFailed =
    -5;  // the interface detail could not be read

// At most this many elements are looked at per pass (indices 0 to 9).
inline constexpr std::uint32_t kMaxDeviceElements = 10;

// Appends one entry per supported printer found, in enumeration order, to `list` (which it
// does not clear). Sets g_strHardID on every match and g_strDevicePath for every matched
// printer whose parameters open and which is not a DOT4 interface. Returns kSearchDone when
// the pass ran to its end, whatever it found, or a negative result; entries appended before a
// failure stay in `list`.
std::int32_t SearchUSBPrint(std::vector<UsbPrinterEntry>& list);

// One supported printer as a pass found it, with what tells it apart from any other.
struct FoundUsbPrinter {
    // The entry SearchUSBPrint appends for it (its port cut to fit).
    UsbPrinterEntry entry;
    // The path of its own device file. Empty when SearchUSBPrint would not make this printer
    // the current device (its parameters do not open, or it is a DOT4 interface).
    std::u16string device_path;
    // Its device instance ID as matched (at most 511 characters).
    std::u16string instance_id;
    // Its spooler port, whole: a device URI can be longer than entry.achUSBPort holds.
    std::u16string port;
    // The hardware-ID prefix of the table row that named it.
    std::u16string hard_id;
    // How its device file reaches it.
    platform::DeviceTransport transport = platform::DeviceTransport::kPrinterDriver;
};

// The same pass as SearchUSBPrint, with the same steps, results and debugger lines, but each
// printer keeps its own device path and g_strDevicePath is left alone (g_strHardID is set on
// every match as in any pass). For views that list every printer, not only the last one.
std::int32_t SearchUSBPrinters(std::vector<FoundUsbPrinter>& list);

}  // namespace tessel::discovery
