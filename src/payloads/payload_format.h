// The layout of the two carried payloads: an envelope, a 16-byte ACL download header, the
// body (whose last 16 bytes are the MD5 of the rest) and, for the firmware image, a closing
// UEL. The tool sends the payloads as they are; this layout is used to make stand-ins, to
// verify the embedded pair at build time, and by the printer emulator.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace tessel::payloads {

inline constexpr std::uint16_t IDR_BINARY_FIRMWARE = 179;
inline constexpr std::uint16_t IDR_BINARY_LOADER = 180;

enum class PayloadKind { Loader, Firmware };

struct PayloadSpec {
    PayloadKind kind;
    std::uint16_t resource_id;
    std::string_view name;
    std::size_t size;
    // Payload bytes 34-49: the ACL header of the download command.
    std::array<std::uint8_t, 16> header;
    std::size_t body_length;
    std::uint16_t checksum;
    bool closing_uel;
    // Four ASCII characters at body offset 4.
    std::string_view version_marker;
};

// The firmware this build carries, as the four characters its image holds at body offset 4:
// "3338" is version 3.3.3.8. The version label and the version key the printer's version is
// compared with are made from it, so another image is carried by changing only this.
inline constexpr std::string_view kCarriedFirmwareMarker = "3338";

inline constexpr std::size_t kHeaderOffset = 34;
inline constexpr std::size_t kBodyOffset = 50;
inline constexpr std::size_t kMd5Size = 16;
inline constexpr std::size_t kVersionMarkerOffset = 4;  // within the body

inline constexpr PayloadSpec kLoaderSpec{
    PayloadKind::Loader,
    IDR_BINARY_LOADER,
    "loader",
    83'750,
    {0x00, 0xAC, 0x00, 0x0F, 0x02, 0x03, 0x34, 0xDD, 0x00, 0x00, 0x00, 0x02, 0x00, 0x01, 0x46, 0xF4},
    83'700,
    0x34DD,
    false,
    "7509"};

inline constexpr PayloadSpec kFirmwareSpec{
    PayloadKind::Firmware,
    IDR_BINARY_FIRMWARE,
    "firmware",
    27'015'755,
    {0x00, 0xAC, 0x00, 0x0F, 0x02, 0x03, 0x17, 0x48, 0x00, 0x00, 0x01, 0x00, 0x01, 0x9C, 0x3A, 0x10},
    27'015'696,
    0x1748,
    true,
    kCarriedFirmwareMarker};

const PayloadSpec& SpecFor(PayloadKind kind);

// The body checksum: big-endian 16-bit words added in a 32-bit accumulator that wraps modulo
// 2^32, the carries above bit 15 folded back in, the result complemented. An odd trailing
// byte counts as the high byte of a last word.
std::uint16_t BodyChecksum(std::span<const std::uint8_t> body);

// The 32-bit word sum before folding (wrapping modulo 2^32), and the fold-and-complement step,
// for callers that add up a body in pieces.
std::uint32_t WordSum(std::span<const std::uint8_t> bytes, std::uint32_t start = 0);
std::uint16_t FoldAndComplement(std::uint32_t sum);

// True when `bytes` begin like a payload: the envelope followed by the ACL magic and the
// download command code. Used to keep stand-in payloads away from real printers.
bool LooksLikePayload(std::span<const std::uint8_t> bytes);

}  // namespace tessel::payloads
