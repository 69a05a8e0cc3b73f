// Keeps a build that carries stand-in payloads from ever writing one to a real printer. The
// device-file backends ask before every write; only they know whether the device could be a
// printer.
#pragma once

#include <cstdint>
#include <span>

namespace tessel::platform {

// True when `bytes` must not be written: this build carries stand-ins, the device could be a
// printer, and the bytes begin like a payload. Then the refusal is also written to the
// debugger output, and the caller fails the write.
bool RefuseStandInPayload(bool device_could_be_printer, std::span<const std::uint8_t> bytes);

}  // namespace tessel::platform
