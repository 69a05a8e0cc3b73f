#include <cstdint>

#include "platform/resources.h"

// The payloads linked in by the build (see payloads/). Weak, so an executable without them
// links and simply finds no resource.
extern "C" {
extern const std::uint8_t tessel_payload_179_begin[] __attribute__((weak));
extern const std::uint8_t tessel_payload_179_end[] __attribute__((weak));
extern const std::uint8_t tessel_payload_180_begin[] __attribute__((weak));
extern const std::uint8_t tessel_payload_180_end[] __attribute__((weak));
}

namespace tessel::platform {

std::optional<std::span<const std::uint8_t>> FindBinaryResource(std::uint16_t id) {
    const std::uint8_t* begin = nullptr;
    const std::uint8_t* end = nullptr;
    if (id == 179) {
        begin = tessel_payload_179_begin;
        end = tessel_payload_179_end;
    } else if (id == 180) {
        begin = tessel_payload_180_begin;
        end = tessel_payload_180_end;
    }
    if (begin == nullptr || end == nullptr || end < begin) {
        return std::nullopt;
    }
    return std::span<const std::uint8_t>(begin, static_cast<std::size_t>(end - begin));
}

}  // namespace tessel::platform
