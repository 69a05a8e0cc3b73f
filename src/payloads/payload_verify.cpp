#include "payloads/payload_verify.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "link/acl_protocol.h"

namespace tessel::payloads {
namespace {

std::string Hex16(std::uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%04X", v);
    return buf;
}

std::string HexBytes(std::span<const std::uint8_t> bytes) {
    std::string out;
    char buf[4];
    for (auto b : bytes) {
        std::snprintf(buf, sizeof buf, "%02X", b);
        if (!out.empty()) {
            out += ' ';
        }
        out += buf;
    }
    return out;
}

bool HasEnvelope(std::span<const std::uint8_t> bytes) {
    using namespace tessel::link;
    return bytes.size() >= kEnvelopeSize &&
           std::equal(kUel.begin(), kUel.end(), bytes.begin()) &&
           std::equal(kEnterAcl.begin(), kEnterAcl.end(), bytes.begin() + kUel.size());
}

// Length, checksum, MD5 and closing UEL, given the body length the header announces.
std::string CheckBody(std::span<const std::uint8_t> bytes, std::size_t body_length,
                      bool closing_uel) {
    using tessel::link::kUel;
    const std::size_t expected = kBodyOffset + body_length + (closing_uel ? kUel.size() : 0);
    if (expected != bytes.size()) {
        return "length: 50 + body length " + std::to_string(body_length) +
               (closing_uel ? " + 9" : "") + " = " + std::to_string(expected) + ", but the payload has " +
               std::to_string(bytes.size()) + " bytes";
    }
    if (body_length < kMd5Size) {
        return "length: body length " + std::to_string(body_length) + " leaves no room for the MD5";
    }
    const auto body = bytes.subspan(kBodyOffset, body_length);
    const std::uint16_t stored = tessel::link::ReadBe16(bytes.data() + 40);
    const std::uint16_t computed = BodyChecksum(body);
    if (stored != computed) {
        return "checksum: the body sums to " + Hex16(computed) + ", the header says " + Hex16(stored);
    }
    const Md5Digest digest = Md5(body.first(body_length - kMd5Size));
    if (!std::equal(digest.begin(), digest.end(), body.end() - kMd5Size)) {
        return "MD5: the body's digest is " + HexBytes(digest) + ", its last 16 bytes are " +
               HexBytes(body.last(kMd5Size));
    }
    if (closing_uel && !std::equal(kUel.begin(), kUel.end(), bytes.end() - kUel.size())) {
        return "closing UEL: the last 9 bytes are " + HexBytes(bytes.last(kUel.size()));
    }
    return {};
}

}  // namespace

Md5Digest Md5(std::span<const std::uint8_t> bytes) {
    Md5Digest digest{};
    unsigned int length = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_md5(), nullptr);
    return digest;
}

std::string VerifyPayload(const PayloadSpec& spec, std::span<const std::uint8_t> bytes) {
    const std::string name(spec.name);
    if (bytes.size() != spec.size) {
        return "size: " + name + " has " + std::to_string(bytes.size()) + " bytes, expected " +
               std::to_string(spec.size);
    }
    if (!HasEnvelope(bytes)) {
        return "envelope: " + name +
               " does not begin with the UEL and \"@PJL ENTER LANGUAGE=ACL\\r\\n\"";
    }
    const auto header = bytes.subspan(kHeaderOffset, spec.header.size());
    if (!std::equal(header.begin(), header.end(), spec.header.begin())) {
        return "header: " + name + " bytes 34-49 are " + HexBytes(header) + ", expected " +
               HexBytes(spec.header);
    }
    const std::size_t body_length = tessel::link::ReadBe32(bytes.data() + 46);
    if (std::string error = CheckBody(bytes, body_length, spec.closing_uel); !error.empty()) {
        return error + " (" + name + ")";
    }
    const auto marker = bytes.subspan(kBodyOffset + kVersionMarkerOffset, 4);
    if (!std::equal(marker.begin(), marker.end(), spec.version_marker.begin())) {
        return "version marker: " + name + " body bytes 4-7 are " + HexBytes(marker) +
               ", expected \"" + std::string(spec.version_marker) + "\"";
    }
    return {};
}

std::string VerifyDownload(std::span<const std::uint8_t> bytes, bool expect_closing_uel) {
    if (!HasEnvelope(bytes)) {
        return "envelope: the payload does not begin with the UEL and the language switch line";
    }
    if (bytes.size() < kBodyOffset) {
        return "header: the payload ends inside its ACL header";
    }
    if (tessel::link::ReadBe16(bytes.data() + kHeaderOffset) != tessel::link::kAclMagic ||
        tessel::link::ReadBe16(bytes.data() + kHeaderOffset + 2) != tessel::link::kCmdDownload) {
        return "header: not an ACL download command (" +
               HexBytes(bytes.subspan(kHeaderOffset, 4)) + ")";
    }
    return CheckBody(bytes, tessel::link::ReadBe32(bytes.data() + 46), expect_closing_uel);
}

}  // namespace tessel::payloads
