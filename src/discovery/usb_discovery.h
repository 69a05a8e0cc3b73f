// Finding the supported printers among the machine's present USB printer interfaces, with
// the spooler port and the device path of each.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/supported_devices.h"

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

// The text of the USB printer interface class GUID in braces, as Windows formats it.
inline constexpr std::u16string_view kUsbPrintClassGuidText =
    u"{28D78FAD-5A12-11D1-AE5B-0000F803A8C2}";

// The registry path (under HKEY_LOCAL_MACHINE) of an interface's "Device Parameters": the
// device path cut to 259 characters with every backslash turned into "#", placed in
// SYSTEM\CurrentControlSet\Control\DeviceClasses\{class}\<path>\#\Device Parameters and the
// whole cut to 1023 characters.
std::u16string DeviceParametersKeyName(std::u16string_view devicePath);

// Appends one entry per supported printer found, in enumeration order, to `list` (which it
// does not clear). Sets g_strHardID on every match and g_strDevicePath for every matched
// printer whose parameters open and which is not a DOT4 interface. Returns kSearchDone when
// the pass ran to its end, whatever it found, or a negative result; entries appended before a
// failure stay in `list`.
std::int32_t SearchUSBPrint(std::vector<UsbPrinterEntry>& list);

}  // namespace tessel::discovery
