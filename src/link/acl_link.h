// The two primitives every exchange with the printer is made of: one read, and one ACL command
// sent inside its PJL envelope.
#pragma once

#include <cstdint>

#include "link/acl_protocol.h"
#include "link/link_result.h"
#include "platform/device_file.h"

namespace tessel::link {

// The most bytes the tool hands to one write.
inline constexpr std::uint32_t kMaxWriteSize = 0x40000;

// Exactly one read of up to `count` bytes into `buffer`. Returns the number of bytes read
// (0 or more) or -1 when the read failed, and traces the value.
std::int32_t ReadData(platform::DeviceFile& device, std::uint8_t* buffer, std::uint32_t count);

// Sends one command (header and data, `length` bytes) as four writes: UEL, language switch
// line, the command, UEL. Stops at the first incomplete write with kErrUelWrite,
// kErrLanguageWrite or kErrCommandWrite; a command longer than kMaxWriteSize always ends with
// kErrCommandWrite. Returns kLinkOk when all four writes were complete.
std::int32_t SendAclCommand(platform::DeviceFile& device, const std::uint8_t* command,
                            std::uint32_t length);

}  // namespace tessel::link
