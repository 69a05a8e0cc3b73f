// The wire format shared by the tool, its payloads and the printer emulator: the PJL
// envelope around every ACL command and the 16-byte ACL header.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace tessel::link {

// PJL Universal Exit Language: ESC "%-12345X", no terminating zero.
inline constexpr std::array<std::uint8_t, 9> kUel = {0x1B, '%', '-', '1', '2', '3', '4', '5', 'X'};

// "@PJL ENTER LANGUAGE=ACL\r\n", no terminating zero.
inline constexpr std::array<std::uint8_t, 25> kEnterAcl = {
    '@', 'P', 'J', 'L', ' ', 'E', 'N', 'T', 'E', 'R', ' ',  'L', 'A',
    'N', 'G', 'U', 'A', 'G', 'E', '=', 'A', 'C', 'L', '\r', '\n'};

inline constexpr std::size_t kEnvelopeSize = kUel.size() + kEnterAcl.size();  // 34

inline constexpr std::size_t kAclHeaderSize = 16;
inline constexpr std::uint16_t kAclMagic = 0x00AC;

inline constexpr std::uint16_t kCmdStatus = 0xFF87;       // status query and its reply
inline constexpr std::uint16_t kCmdObjectQuery = 0xFF21;  // firmware-version query and reply
inline constexpr std::uint16_t kCmdDownload = 0x000F;     // the command inside each payload

// 16 bytes opening every command and reply; multi-byte fields are big-endian on the wire.
struct AclHeader {
    std::array<std::uint8_t, kAclHeaderSize> bytes{};

    std::uint16_t Get16(std::size_t offset) const {
        return static_cast<std::uint16_t>((bytes[offset] << 8) | bytes[offset + 1]);
    }
    void Set16(std::size_t offset, std::uint16_t value) {
        bytes[offset] = static_cast<std::uint8_t>(value >> 8);
        bytes[offset + 1] = static_cast<std::uint8_t>(value & 0xFF);
    }
    std::uint16_t magic() const { return Get16(0); }
    std::uint16_t command() const { return Get16(2); }
};

// Big-endian helpers for fields in byte buffers.
inline std::uint16_t ReadBe16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}
inline std::uint32_t ReadBe32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

}  // namespace tessel::link
