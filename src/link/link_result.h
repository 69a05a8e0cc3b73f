// The results of the printer link's operations: 1 for success, a distinct negative code for
// each failure. Callers turn them into a display state; they are never shown to the user.
#pragma once

#include <cstdint>

namespace tessel::link {

inline constexpr std::int32_t kLinkOk = 1;

inline constexpr std::int32_t kErrVersionQuery = -1;      // the version query gave no version
inline constexpr std::int32_t kErrNoResource = -3;        // payload missing, unloadable or empty
inline constexpr std::int32_t kErrNoMemory = -4;          // no memory for the payload copy
inline constexpr std::int32_t kErrLoadResource = -5;      // the payload copy failed
inline constexpr std::int32_t kErrOpenDevice = -6;        // the device file cannot be opened
inline constexpr std::int32_t kErrUelWrite = -9;          // a UEL was not written completely
inline constexpr std::int32_t kErrLanguageWrite = -10;    // the language line was not written
inline constexpr std::int32_t kErrCommandWrite = -11;     // the command was not written
inline constexpr std::int32_t kErrTransferTimeout = -15;  // the payload took over 300 seconds
inline constexpr std::int32_t kErrPayloadWrite = -16;     // a payload write failed or wrote nothing
inline constexpr std::int32_t kErrStatusRead = -19;       // a read of the status reply failed
inline constexpr std::int32_t kErrStatusTimeout = -20;    // no complete status reply in 60 s
inline constexpr std::int32_t kErrStatusReply = -21;      // wrong magic or command in the reply

// CompareFirmwareVersion's answers when the query succeeded.
inline constexpr std::int32_t kPrinterVersionLower = 1;   // the upgrade installs newer firmware
inline constexpr std::int32_t kPrinterVersionHigher = 2;  // it would install older firmware
inline constexpr std::int32_t kPrinterVersionEqual = 3;   // it would install the same firmware

}  // namespace tessel::link
