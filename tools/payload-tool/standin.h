// Deterministic stand-ins for the maker's payloads, with exactly their layout.
#pragma once

#include <cstdint>
#include <vector>

#include "payloads/payload_format.h"

namespace tessel::payloads {

// The same bytes on every call and every build: a pseudo-random body from a fixed seed, the
// version marker at body offset 4, two compensation words before the MD5 trailer chosen so
// that the body checksum equals the one in the header.
std::vector<std::uint8_t> MakeStandIn(const PayloadSpec& spec);

}  // namespace tessel::payloads
