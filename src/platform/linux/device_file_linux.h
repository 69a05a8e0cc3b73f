// The Linux device files, for the code that needs more than SystemDeviceFiles(): tests of the
// backend itself and tools that want a shorter wait for replies.
#pragma once

#include <memory>

#include "platform/device_file.h"

namespace tessel::platform {

// How long one read waits for the first byte before it returns 0 bytes. Reads of a printer
// that never answers must come back, so that the link's own time limits (checked between
// reads) can end the exchange.
inline constexpr int kDeviceReadWaitMs = 1000;

// Device files whose reads wait at most `read_wait_ms` for data. SystemDeviceFiles() is one of
// these with kDeviceReadWaitMs.
std::unique_ptr<DeviceFiles> MakeLinuxDeviceFiles(int read_wait_ms);

}  // namespace tessel::platform
