// Deterministic stand-ins for the maker's payloads, with exactly their layout.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "payloads/payload_format.h"

namespace tessel::payloads {

// The seed of the project's stand-ins. Any other seed gives a pair with the same layout and
// another body: a test fixture that the build must take for the maker's payloads.
inline constexpr std::uint64_t kStandInSeed = 0x7E55E1'0000ULL;

// The same bytes on every call and every build: a pseudo-random body from the seed (and the
// payload's resource id), the version marker at body offset 4, two compensation words before
// the MD5 trailer chosen so that the body checksum equals the one in the header.
std::vector<std::uint8_t> MakeStandIn(const PayloadSpec& spec, std::uint64_t seed = kStandInSeed);

// True when `bytes` are exactly the project's stand-in for `spec`, wherever they were copied
// from.
bool IsStandIn(const PayloadSpec& spec, std::span<const std::uint8_t> bytes);

}  // namespace tessel::payloads
