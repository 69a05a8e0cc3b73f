// Reading a known number of bytes back from a device file that may hand them out in pieces.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/device_file.h"

namespace tessel::testing {

// Reads until `count` bytes came, a read failed, or 100 reads were made.
inline std::vector<std::uint8_t> ReadBytes(platform::DeviceFile& device, std::size_t count) {
    std::vector<std::uint8_t> received;
    for (int reads = 0; reads < 100 && received.size() < count; ++reads) {
        std::uint8_t buffer[256];
        const std::int32_t n = device.Read(buffer, sizeof buffer);
        if (n < 0) {
            break;
        }
        received.insert(received.end(), buffer, buffer + n);
    }
    return received;
}

}  // namespace tessel::testing
