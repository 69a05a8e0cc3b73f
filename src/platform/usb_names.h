// How USB printers are named across the tool: device instance IDs, the enumerator prefixes
// that select them, and the device URI under which the CUPS usb backend knows a printer.
// Pure string work, the same on every system, so the backends stay thin.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessel::platform {

// "USB\VID_7A3C&PID_0C12\<tail>", hex digits in upper case as Windows writes them. `tail` is
// the device's serial number, or a stand-in for a device without one.
std::u16string FormatUsbInstanceId(std::uint16_t vendor_id, std::uint16_t product_id,
                                   std::u16string_view tail);

// The stand-in tail for a device without a serial number: "&" and the device's place on the
// bus ("&1-1.4"). Stable while the printer stays in the same port, unique on the machine,
// and a real serial number never starts with "&" (Windows' own stand-ins contain "&" too).
std::u16string LocationInstanceTail(std::u16string_view bus_location);

// A device interface path as Windows writes it into names of its own (the interface's
// registry key, the "#dot4#" test): at most 259 characters, each backslash turned into '#'.
std::u16string ConvertedDevicePath(std::u16string_view device_path);

// The device's serial number as its instance ID carries it: the part after the device ID
// ("SER1" in "USB\VID_7A3C&PID_0C12\SER1"). Empty when the device has none, that is when
// that part is missing, empty or a stand-in (which contains "&", see LocationInstanceTail).
std::u16string_view InstanceIdSerial(std::u16string_view instance_id);

// True when both texts are the same but for the letter case of ASCII letters, as instance IDs,
// Windows port names and device paths compare.
bool SameIgnoringAsciiCase(std::u16string_view a, std::u16string_view b);

// True when both instance IDs carry a serial number and it is the same one, ASCII letters
// compared without regard to case as instance IDs are. The product IDs may differ.
bool SameInstanceSerial(std::u16string_view instance_a, std::u16string_view instance_b);

// True when `instance_id` lies under `enumerator`: the enumerator equals the ID's leading
// components, compared without regard to ASCII letter case. "USB\VID_7a3c&PID_0c12" covers
// "USB\VID_7A3C&PID_0C12\SER1" but neither "USB\VID_7A3C&PID_0C123\X" nor
// "USB\VID_7A3C&PID_0C12&MI_00\X". An empty enumerator covers nothing.
bool EnumeratorCovers(std::u16string_view enumerator, std::u16string_view instance_id);

// The key/value pairs of an IEEE 1284 device ID ("MFG:Bexlot;MDL:R7200 Series;"), read the
// way CUPS reads them: the text ends at a zero byte, blanks around keys and values dropped,
// a pair without its closing ";" ignored, keys and values cut at 255 bytes, a repeated key (in
// any letter case) keeps its last value.
using Ieee1284Values = std::vector<std::pair<std::string, std::string>>;
Ieee1284Values ParseIeee1284DeviceId(std::string_view device_id);
// The value of `key` (any letter case), or null.
const std::string* FindIeee1284Value(const Ieee1284Values& values, std::string_view key);

// The pieces of the CUPS usb backend's device URI "usb://<make>/<model><options>", before
// percent-encoding (which libcups does when the URI is assembled).
struct UsbDeviceUriParts {
    std::string make;
    std::string model;
    std::string options;  // "", "?serial=SER1", "?serial=SER1&interface=1", "?interface=1"
};

// Builds the parts from the interface's IEEE 1284 device ID, the USB serial number string of
// the device (nothing when it has none) and the interface number. The make is MANUFACTURER or
// MFG (with CUPS's two renames); without one it is the first word of the model or description.
// The model is MODEL or MDL without a leading make. The serial number is SERIALNUMBER, SERN or
// SN of the device ID, otherwise the USB serial as its ASCII reading gives it.
UsbDeviceUriParts UsbDeviceUriPartsFrom(std::string_view device_id,
                                        const std::optional<std::string>& usb_serial,
                                        int interface_number);

}  // namespace tessel::platform
