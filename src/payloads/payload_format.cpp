#include "payloads/payload_format.h"

#include <algorithm>

#include "link/acl_protocol.h"

namespace tessel::payloads {

const PayloadSpec& SpecFor(PayloadKind kind) {
    return kind == PayloadKind::Loader ? kLoaderSpec : kFirmwareSpec;
}

std::uint32_t WordSum(std::span<const std::uint8_t> bytes, std::uint32_t start) {
    std::uint32_t sum = start;
    const std::size_t pairs = bytes.size() / 2;
    const std::uint8_t* p = bytes.data();
    for (std::size_t i = 0; i < pairs; ++i, p += 2) {
        sum += static_cast<std::uint32_t>((p[0] << 8) | p[1]);
    }
    if (bytes.size() % 2 != 0) {
        sum += static_cast<std::uint32_t>(bytes.back()) << 8;
    }
    return sum;
}

std::uint16_t FoldAndComplement(std::uint32_t sum) {
    while ((sum >> 16) != 0) {
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return static_cast<std::uint16_t>(~sum & 0xFFFF);
}

std::uint16_t BodyChecksum(std::span<const std::uint8_t> body) {
    return FoldAndComplement(WordSum(body));
}

bool LooksLikePayload(std::span<const std::uint8_t> bytes) {
    using namespace tessel::link;
    if (bytes.size() < kEnvelopeSize + 4) {
        return false;
    }
    return std::equal(kUel.begin(), kUel.end(), bytes.begin()) &&
           std::equal(kEnterAcl.begin(), kEnterAcl.end(), bytes.begin() + kUel.size()) &&
           ReadBe16(bytes.data() + kEnvelopeSize) == kAclMagic &&
           ReadBe16(bytes.data() + kEnvelopeSize + 2) == kCmdDownload;
}

}  // namespace tessel::payloads
