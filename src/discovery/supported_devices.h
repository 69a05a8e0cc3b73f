// The printers the tool upgrades, and the record of one printer that discovery found.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace tessel::discovery {

inline constexpr std::size_t kHardIdCapacity = 260;
inline constexpr std::size_t kPrinterNameCapacity = 260;
inline constexpr std::size_t kUsbPrintIdCapacity = 260;
inline constexpr std::size_t kUsbPortCapacity = 256;

// One row of the built-in table. Each field holds a zero-terminated string, the rest zero.
struct SupportedDeviceEntry {
    // Hardware-ID prefix a device instance ID must begin with (ASCII case ignored).
    char16_t achHardID[kHardIdCapacity];
    // The name under which a matched printer is listed.
    char16_t achPrinterName[kPrinterNameCapacity];
    // Device ID of the printer's USBPRINT node; carried, read by nothing.
    char16_t achUsbPrintID[kUsbPrintIdCapacity];
};

// The six supported rows. Their order matters: when several rows match, the last one wins.
// Rows 0 and 1 cover a printer whose firmware is broken and which reports product ID 0000,
// under the maker's vendor ID or under that of its controller chip.
extern const std::array<SupportedDeviceEntry, 6> SupportedDeviceTable;

// One discovered printer. Zero-filled before it is built; copied by value.
struct UsbPrinterEntry {
    char16_t achPrinterName[kPrinterNameCapacity];
    // The printer's spooler port; empty when it could not be read.
    char16_t achUSBPort[kUsbPortCapacity];
};

// Matches `instanceId` against every row of the table, without stopping at a match. Each
// matching row copies its name into `entry.achPrinterName` and sets g_strHardID to its
// hardware ID, so the last matching row decides. True when at least one row matched.
bool MatchSupportedDevice(UsbPrinterEntry& entry, std::u16string_view instanceId);

// The same over any table (the built-in one has no overlapping rows; tests use their own).
bool MatchSupportedDevice(std::span<const SupportedDeviceEntry> table, UsbPrinterEntry& entry,
                          std::u16string_view instanceId);

// The row that MatchSupportedDevice would pick, without touching anything; null when none.
const SupportedDeviceEntry* FindSupportedDevice(std::u16string_view instanceId);

}  // namespace tessel::discovery
