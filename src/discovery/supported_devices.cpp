#include "discovery/supported_devices.h"

#include "discovery/device_globals.h"
#include "platform/text.h"

namespace tessel::discovery {
namespace {

using platform::CopyToFixed;
using platform::FixedView;

char16_t AsciiLower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
}

// True when `id` begins with `prefix`, ASCII letters compared without regard to case. An ID
// shorter than the prefix never matches.
bool BeginsWith(std::u16string_view id, std::u16string_view prefix) {
    if (id.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (AsciiLower(id[i]) != AsciiLower(prefix[i])) {
            return false;
        }
    }
    return true;
}

const SupportedDeviceEntry* LastMatch(std::span<const SupportedDeviceEntry> table,
                                      std::u16string_view id) {
    const SupportedDeviceEntry* match = nullptr;
    for (const SupportedDeviceEntry& row : table) {
        if (BeginsWith(id, FixedView(row.achHardID, kHardIdCapacity))) {
            match = &row;
        }
    }
    return match;
}

}  // namespace

const std::array<SupportedDeviceEntry, 6> SupportedDeviceTable = {{
    {u"USB\\VID_7a3c&PID_0000", u"Bexlot DEFAULT Printer", u""},
    {u"USB\\VID_1286&PID_0000", u"Bexlot DEFAULT Printer", u""},
    {u"USB\\VID_7a3c&PID_0c11", u"Bexlot r7100 Series", u"USBPRINT\\BexlotR7100_series"},
    {u"USB\\VID_7a3c&PID_0c12", u"Bexlot r7200 Series", u"USBPRINT\\BexlotR7200_series"},
    {u"USB\\VID_7a3c&PID_0c13", u"Bexlot r7300 Series", u"USBPRINT\\BexlotR7300_series"},
    {u"USB\\VID_7a3c&PID_0c14", u"Bexlot r7400 Series", u"USBPRINT\\BexlotR7400_series"},
}};

bool MatchSupportedDevice(std::span<const SupportedDeviceEntry> table, UsbPrinterEntry& entry,
                          std::u16string_view instanceId) {
    const SupportedDeviceEntry* row = LastMatch(table, instanceId);
    if (!row) {
        return false;
    }
    CopyToFixed(entry.achPrinterName, kPrinterNameCapacity,
                FixedView(row->achPrinterName, kPrinterNameCapacity));
    g_strHardID = std::u16string(FixedView(row->achHardID, kHardIdCapacity));
    return true;
}

bool MatchSupportedDevice(UsbPrinterEntry& entry, std::u16string_view instanceId) {
    return MatchSupportedDevice(SupportedDeviceTable, entry, instanceId);
}

const SupportedDeviceEntry* FindSupportedDevice(std::u16string_view instanceId) {
    return LastMatch(SupportedDeviceTable, instanceId);
}

}  // namespace tessel::discovery
