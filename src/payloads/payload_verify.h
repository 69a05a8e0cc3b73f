// Build-time and emulator-side verification of a payload against its layout.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "payloads/payload_format.h"

namespace tessel::payloads {

using Md5Digest = std::array<std::uint8_t, 16>;

// RFC 1321 MD5 (OpenSSL's libcrypto).
Md5Digest Md5(std::span<const std::uint8_t> bytes);

// Checks `bytes` against every rule of the payload layout, in this order: size, envelope,
// header, length, checksum, MD5, version marker, closing UEL. Returns an empty string when
// all hold, otherwise one line that starts with the name of the first rule that broke.
std::string VerifyPayload(const PayloadSpec& spec, std::span<const std::uint8_t> bytes);

// The same rules for a payload whose size and header are not known in advance (the
// printer emulator receiving whatever a client sends): envelope, download command, length,
// checksum, MD5 and, when `expect_closing_uel`, the closing UEL.
std::string VerifyDownload(std::span<const std::uint8_t> bytes, bool expect_closing_uel);

}  // namespace tessel::payloads
