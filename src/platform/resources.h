// The tool's own embedded resources of type "BINARY" (the two payloads).
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace tessel::platform {

// The bytes of the "BINARY" resource `id` of this executable, or nothing when there is no
// such resource or it cannot be loaded. The bytes live as long as the process.
// Windows: FindResourceW / LoadResource / SizeofResource / LockResource.
// Linux: the payload data linked into the executable.
std::optional<std::span<const std::uint8_t>> FindBinaryResource(std::uint16_t id);

}  // namespace tessel::platform
