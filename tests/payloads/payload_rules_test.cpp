#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "payloads/payload_verify.h"
#include "platform/resources.h"

namespace tessel::payloads {
namespace {

std::string Hex(const Md5Digest& d) {
    std::string out;
    char buf[3];
    for (auto b : d) {
        std::snprintf(buf, sizeof buf, "%02x", b);
        out += buf;
    }
    return out;
}

std::vector<std::uint8_t> Embedded(const PayloadSpec& spec) {
    const auto bytes = platform::FindBinaryResource(spec.resource_id);
    return bytes ? std::vector<std::uint8_t>(bytes->begin(), bytes->end()) : std::vector<std::uint8_t>{};
}

TEST(PayloadRules, Md5MatchesRfc1321) {
    auto md5 = [](std::string_view s) {
        return Hex(Md5({reinterpret_cast<const std::uint8_t*>(s.data()), s.size()}));
    };
    EXPECT_EQ(md5(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(md5("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(md5("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(md5("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(PayloadRules, BothEmbeddedPayloadsKeepEveryRule) {
    for (const PayloadSpec* spec : {&kLoaderSpec, &kFirmwareSpec}) {
        SCOPED_TRACE(spec->name);
        const auto bytes = Embedded(*spec);
        EXPECT_EQ(VerifyPayload(*spec, bytes), "");
        EXPECT_EQ(VerifyDownload(bytes, spec->closing_uel), "");
        const auto body = std::span(bytes).subspan(kBodyOffset, spec->body_length);
        EXPECT_EQ(BodyChecksum(body), spec->checksum);
        EXPECT_EQ(std::string(body.begin() + 4, body.begin() + 8), spec->version_marker);
    }
}

// Each corruption must be caught by the rule it breaks, named first in the message.
TEST(PayloadRules, CorruptedCopiesAreRejectedByTheRuleTheyBreak) {
    using Corrupt = std::function<void(std::vector<std::uint8_t>&)>;
    struct Case {
        const char* what;
        const PayloadSpec* spec;
        Corrupt corrupt;
        const char* rule;
    };
    const Case cases[] = {
        {"one flipped body byte", &kFirmwareSpec, [](auto& b) { b[kBodyOffset + 1000] ^= 0x01; }, "checksum:"},
        {"one flipped loader byte", &kLoaderSpec, [](auto& b) { b[kBodyOffset + 77] ^= 0x80; }, "checksum:"},
        {"checksum-neutral change", &kLoaderSpec,
         [](auto& b) {  // +1 in one word, -1 in another: the sum holds, the MD5 does not
             auto& hi = b[kBodyOffset + 101];
             auto& lo = b[kBodyOffset + 201];
             if (hi == 0xFF) hi = 0xFE, lo = static_cast<std::uint8_t>(lo + 1);
             else if (lo == 0x00) hi = static_cast<std::uint8_t>(hi + 1), lo = 0xFF;
             else hi = static_cast<std::uint8_t>(hi + 1), lo = static_cast<std::uint8_t>(lo - 1);
         },
         "MD5:"},
        {"one byte short", &kLoaderSpec, [](auto& b) { b.pop_back(); }, "size:"},
        {"one byte long", &kFirmwareSpec, [](auto& b) { b.push_back(0); }, "size:"},
        {"broken UEL", &kLoaderSpec, [](auto& b) { b[3] = 'x'; }, "envelope:"},
        {"broken language line", &kFirmwareSpec, [](auto& b) { b[20] = 'a'; }, "envelope:"},
        {"wrong command code", &kLoaderSpec, [](auto& b) { b[37] = 0x10; }, "header:"},
        {"wrong body length", &kLoaderSpec, [](auto& b) { b[49] = 0xF2; }, "header:"},
        {"broken closing UEL", &kFirmwareSpec, [](auto& b) { b[b.size() - 1] = 'Y'; }, "closing UEL:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto bytes = Embedded(*c.spec);
        c.corrupt(bytes);
        const std::string error = VerifyPayload(*c.spec, bytes);
        EXPECT_EQ(error.rfind(c.rule, 0), 0u) << error;
    }
}

TEST(PayloadRules, DownloadCheckReadsLengthFromTheHeader) {
    auto bytes = Embedded(kLoaderSpec);
    bytes.resize(bytes.size() - 2);
    EXPECT_EQ(VerifyDownload(bytes, false).rfind("length:", 0), 0u);
    EXPECT_EQ(VerifyDownload(std::span(bytes).first(40), false).rfind("header:", 0), 0u);
}

}  // namespace
}  // namespace tessel::payloads
