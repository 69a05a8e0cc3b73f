// The two questions the upgrade asks the printer before it sends anything to flash: its status
// and its firmware version, and the comparison of that version with the carried firmware's.
#pragma once

#include <array>
#include <cstdint>

#include "link/link_result.h"
#include "payloads/payload_format.h"
#include "platform/device_file.h"

namespace tessel::link {

// A status reply that is not complete this many seconds after the first read gives
// kErrStatusTimeout.
inline constexpr std::int64_t kStatusTimeLimitSeconds = 60;

// A version query that has no version text this many seconds after it started gives up with
// kErrVersionQuery, however the printer keeps it waiting (empty texts, reads without bytes).
inline constexpr std::int64_t kVersionTimeLimitSeconds = 60;

// Whole requests sent before read failures end the version query.
inline constexpr int kMaxVersionAttempts = 5;

// The version text is read into a buffer of this size: at most 99 bytes of text and a zero.
inline constexpr std::uint32_t kVersionBufferSize = 100;

// The carried firmware's version key: the last two characters of its marker ('3' and '8' of
// "3338", version 3.3.3.8), compared the way the printer's version key is built.
inline constexpr std::uint16_t kCarriedVersionKey =
    static_cast<std::uint16_t>((payloads::kCarriedFirmwareMarker[2] << 8) |
                               payloads::kCarriedFirmwareMarker[3]);

// The printer's version text as the comparison uses it: the bytes up to the first zero, at most
// eight, the rest zero (an eight-byte text has no terminating zero).
using VersionResult = std::array<std::uint8_t, 8>;

// The third and fourth parts of an "a.b.c.d" version: bytes 4 and 6 of the result.
constexpr std::uint16_t VersionKey(const VersionResult& version) {
    return static_cast<std::uint16_t>((version[4] << 8) | version[6]);
}

// Asks for the printer's status. Returns kLinkOk with the status byte in `status`; otherwise a
// sending error, kErrStatusRead, kErrStatusTimeout or kErrStatusReply, `status` unchanged.
// `time_limit_seconds` replaces kStatusTimeLimitSeconds for a read-only look that must not keep
// its user waiting (the upgrade always grants the full limit).
std::int32_t ReadPrinterSTATUS(platform::DeviceFile& device, std::uint8_t& status,
                               std::int64_t time_limit_seconds = kStatusTimeLimitSeconds);

// Asks for the printer's firmware version. Returns kLinkOk with `result` filled in; otherwise a
// sending error, or kErrVersionQuery after kMaxVersionAttempts failed reads or when no version
// text came within kVersionTimeLimitSeconds (or `time_limit_seconds`, as for the status);
// `result` is then unchanged.
std::int32_t ReadPrinterFWVersion(platform::DeviceFile& device, VersionResult& result,
                                  std::int64_t time_limit_seconds = kVersionTimeLimitSeconds);

// Compares a printer's version key with kCarriedVersionKey: kPrinterVersionLower,
// kPrinterVersionHigher or kPrinterVersionEqual.
std::int32_t CompareVersionKey(std::uint16_t printer_key);

// Opens the printer at discovery::g_strDevicePath, asks for its version and compares the key
// with kCarriedVersionKey: kPrinterVersionLower, kPrinterVersionHigher or kPrinterVersionEqual.
// kErrOpenDevice when the device cannot be opened, kErrVersionQuery when the query failed.
std::int32_t CompareFirmwareVersion();

}  // namespace tessel::link
