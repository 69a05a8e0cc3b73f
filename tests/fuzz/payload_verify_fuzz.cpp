// The payload verifier on what a client or a payload folder may hand it: arbitrary bytes, and
// sound payloads with one byte changed or their end cut off. A sound payload passes; a
// changed byte that the layout covers, or a cut, never does.
//
// Input: a mode byte, then
//   mode 0: the bytes to verify (as a download with and without closing UEL, and as each of
//           the two carried payloads);
//   mode 1: flags (bit 0: closing UEL), the two free header bytes 38-39, a changed byte's
//           position (two bytes) and the value it is XORed with, a cut (bytes dropped from the
//           end), then the body before its MD5; the download is built around it;
//   mode 2: the position (four bytes) and XOR value of one changed byte of the stand-in loader.
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz_input.h"
#include "link/acl_protocol.h"
#include "payloads/payload_format.h"
#include "payloads/payload_verify.h"
#include "standin.h"

namespace {

using namespace tessel;
using payloads::kBodyOffset;

constexpr std::uint32_t kFirmwareType = 0x100;
constexpr std::uint32_t kLoaderType = 0x2;

void PutBe16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    bytes[at] = static_cast<std::uint8_t>(value >> 8);
    bytes[at + 1] = static_cast<std::uint8_t>(value);
}
void PutBe32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    PutBe16(bytes, at, value >> 16);
    PutBe16(bytes, at + 2, value & 0xFFFF);
}

void VerifyArbitrary(std::span<const std::uint8_t> bytes) {
    for (bool closing : {false, true}) {
        if (payloads::VerifyDownload(bytes, closing).empty()) {
            FUZZ_CHECK(payloads::LooksLikePayload(bytes) &&
                       bytes.size() >= kBodyOffset + payloads::kMd5Size);
        }
    }
    for (const payloads::PayloadSpec* spec : {&payloads::kLoaderSpec, &payloads::kFirmwareSpec}) {
        if (payloads::VerifyPayload(*spec, bytes).empty()) {
            FUZZ_CHECK(bytes.size() == spec->size);
        }
    }
}

void VerifyBuiltDownload(fuzz::FuzzInput& in) {
    const bool closing = (in.Byte() & 1) != 0;
    const std::uint16_t free_bytes = in.Be16();
    const std::uint16_t position = in.Be16();
    const std::uint8_t flip = in.Byte();
    const std::uint8_t cut = in.Byte();
    std::vector<std::uint8_t> body = in.ByteVector(in.size());
    const payloads::Md5Digest digest = payloads::Md5(body);
    body.insert(body.end(), digest.begin(), digest.end());

    std::vector<std::uint8_t> payload(link::kUel.begin(), link::kUel.end());
    payload.insert(payload.end(), link::kEnterAcl.begin(), link::kEnterAcl.end());
    payload.resize(kBodyOffset);
    PutBe16(payload, 34, link::kAclMagic);
    PutBe16(payload, 36, link::kCmdDownload);
    PutBe16(payload, 38, free_bytes);
    PutBe16(payload, 40, payloads::BodyChecksum(body));
    PutBe32(payload, 42, closing ? kFirmwareType : kLoaderType);
    PutBe32(payload, 46, static_cast<std::uint32_t>(body.size()));
    payload.insert(payload.end(), body.begin(), body.end());
    if (closing) {
        payload.insert(payload.end(), link::kUel.begin(), link::kUel.end());
    }
    FUZZ_CHECK(payloads::VerifyDownload(payload, closing).empty());
    FUZZ_CHECK(!payloads::VerifyDownload(payload, !closing).empty());

    // Bytes 38-39 and the type (42-45) are not the verifier's to judge.
    const std::size_t at = position % payload.size();
    const bool covered = !(at == 38 || at == 39 || (at >= 42 && at <= 45));
    payload[at] ^= flip;
    payload.resize(payload.size() - std::min<std::size_t>(cut, payload.size()));
    const bool damaged = (flip != 0 && covered) || cut != 0;
    FUZZ_CHECK(payloads::VerifyDownload(payload, closing).empty() == !damaged);
}

void VerifyDamagedLoader(fuzz::FuzzInput& in) {
    static const std::vector<std::uint8_t> loader = payloads::MakeStandIn(payloads::kLoaderSpec);
    const std::uint32_t position = (std::uint32_t{in.Be16()} << 16 | in.Be16()) % loader.size();
    const std::uint8_t flip = in.Byte();
    std::vector<std::uint8_t> payload = loader;
    payload[position] ^= flip;
    FUZZ_CHECK(payloads::VerifyPayload(payloads::kLoaderSpec, payload).empty() == (flip == 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    switch (in.Byte() % 3) {
        case 0:
            VerifyArbitrary(in.Rest());
            break;
        case 1:
            VerifyBuiltDownload(in);
            break;
        default:
            VerifyDamagedLoader(in);
            break;
    }
    return 0;
}
