// Keeps a build that carries stand-in payloads from ever writing one to a real printer. Every
// write of the link goes through WriteToDevice, which asks first; the device file only says
// whether it could be a printer (platform::DeviceFile::CouldBePrinter).
#pragma once

#include <cstdint>
#include <span>

#include "platform/device_file.h"

namespace tessel::link {

// True when `bytes` must not be written: this build carries stand-ins, the device could be a
// printer, and the bytes begin like a payload. Then the refusal is also written to the
// debugger output, and the caller fails the write.
bool RefuseStandInPayload(bool device_could_be_printer, std::span<const std::uint8_t> bytes);

// DeviceFile::Write, unless RefuseStandInPayload refuses the bytes: then -1, and nothing is
// written.
std::int32_t WriteToDevice(platform::DeviceFile& device, const std::uint8_t* data,
                           std::uint32_t count);

}  // namespace tessel::link
