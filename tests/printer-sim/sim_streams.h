// Byte streams a client sends to the printer, built the way the tool builds them.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "link/acl_protocol.h"
#include "payloads/payload_format.h"
#include "payloads/payload_verify.h"

namespace tessel::sim::testing {

using Bytes = std::vector<std::uint8_t>;

inline void Append(Bytes& out, const auto& more) {
    out.insert(out.end(), more.begin(), more.end());
}

inline Bytes Header(std::uint16_t code, std::uint16_t data_length = 0) {
    link::AclHeader h;
    h.Set16(0, link::kAclMagic);
    h.Set16(2, code);
    h.Set16(4, data_length);
    return Bytes(h.bytes.begin(), h.bytes.end());
}

// UEL, language switch, `command`, UEL.
inline Bytes Job(const Bytes& command) {
    Bytes out;
    Append(out, link::kUel);
    Append(out, link::kEnterAcl);
    Append(out, command);
    Append(out, link::kUel);
    return out;
}

inline Bytes StatusCommand() {
    return Header(link::kCmdStatus);
}

inline Bytes VersionCommand() {
    constexpr std::string_view kRequest = "<!--#ssi IDr OID_PLATFORM_FW_VERSION -->";
    Bytes out = Header(link::kCmdObjectQuery, static_cast<std::uint16_t>(kRequest.size()));
    Append(out, kRequest);
    return out;
}

inline Bytes StatusQuery() {
    return Job(StatusCommand());
}
inline Bytes VersionQuery() {
    return Job(VersionCommand());
}

// A small payload with a valid layout: `type` 2 (loader) or 0x100 (firmware, closed by a
// UEL), a body that carries `marker` at offset 4 and ends with its MD5.
inline Bytes SmallPayload(std::uint32_t type, std::string_view marker = "3338",
                          std::size_t body_length = 96) {
    Bytes body(body_length - payloads::kMd5Size);
    for (std::size_t i = 0; i < body.size(); ++i) {
        body[i] = static_cast<std::uint8_t>(i * 37 + 11);
    }
    std::copy(marker.begin(), marker.end(), body.begin() + payloads::kVersionMarkerOffset);
    Append(body, payloads::Md5(body));
    const std::uint16_t sum = payloads::BodyChecksum(body);
    Bytes out;
    Append(out, link::kUel);
    Append(out, link::kEnterAcl);
    const Bytes header = {0x00,
                          0xAC,
                          0x00,
                          0x0F,
                          0x02,
                          0x03,
                          static_cast<std::uint8_t>(sum >> 8),
                          static_cast<std::uint8_t>(sum),
                          static_cast<std::uint8_t>(type >> 24),
                          static_cast<std::uint8_t>(type >> 16),
                          static_cast<std::uint8_t>(type >> 8),
                          static_cast<std::uint8_t>(type),
                          static_cast<std::uint8_t>(body.size() >> 24),
                          static_cast<std::uint8_t>(body.size() >> 16),
                          static_cast<std::uint8_t>(body.size() >> 8),
                          static_cast<std::uint8_t>(body.size())};
    Append(out, header);
    Append(out, body);
    if (type == 0x100) {
        Append(out, link::kUel);
    }
    return out;
}

}  // namespace tessel::sim::testing
