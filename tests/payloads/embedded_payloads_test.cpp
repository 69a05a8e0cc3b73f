#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "payloads/payload_format.h"
#include "platform/resources.h"

namespace tessel::payloads {
namespace {

std::vector<std::uint8_t> ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(EmbeddedPayloads, ResourcesHoldExactlyTheFilesTheBuildEmbedded) {
    const std::pair<std::uint16_t, const char*> cases[] = {
        {IDR_BINARY_FIRMWARE, TESSEL_TEST_FIRMWARE_FILE}, {IDR_BINARY_LOADER, TESSEL_TEST_LOADER_FILE}};
    for (const auto& [id, path] : cases) {
        SCOPED_TRACE(id);
        const auto resource = platform::FindBinaryResource(id);
        ASSERT_TRUE(resource.has_value());
        const std::vector<std::uint8_t> file = ReadFile(path);
        ASSERT_EQ(file.size(), id == IDR_BINARY_LOADER ? 83'750u : 27'015'755u);
        ASSERT_EQ(resource->size(), file.size());
        EXPECT_TRUE(std::equal(file.begin(), file.end(), resource->begin()));
        EXPECT_TRUE(LooksLikePayload(*resource));
    }
}

TEST(EmbeddedPayloads, NoOtherIdIsAResource) {
    for (std::uint16_t id : std::initializer_list<std::uint16_t>{0, 1, 178, 181, 0xFFFF}) {
        EXPECT_FALSE(platform::FindBinaryResource(id).has_value()) << id;
    }
}

TEST(PayloadFormat, ChecksumMatchesRfc1071AndWrapsItsAccumulator) {
    // RFC 1071, section 3: the words 0001 f203 f4f5 f6f7 sum to ddf2 after folding.
    const std::uint8_t rfc[] = {0x00, 0x01, 0xF2, 0x03, 0xF4, 0xF5, 0xF6, 0xF7};
    EXPECT_EQ(BodyChecksum(rfc), static_cast<std::uint16_t>(~0xDDF2));
    // 65,538 words of FFFF sum to 0x1'0000'FFFE; the 32-bit accumulator drops the top carry,
    // which a wider one would fold back in (giving 0x0000 instead of 0x0001).
    const std::vector<std::uint8_t> big(2 * 65'538, 0xFF);
    EXPECT_EQ(BodyChecksum(big), 0x0001);
}

TEST(PayloadFormat, LooksLikePayloadNeedsEnvelopeAndDownloadCommand) {
    const auto loader = platform::FindBinaryResource(IDR_BINARY_LOADER);
    ASSERT_TRUE(loader.has_value());
    std::vector<std::uint8_t> bytes(loader->begin(), loader->begin() + 64);
    EXPECT_TRUE(LooksLikePayload(bytes));
    bytes[37] = 0x87;  // a status query's command code
    EXPECT_FALSE(LooksLikePayload(bytes));
    EXPECT_FALSE(LooksLikePayload(std::span(bytes).first(37)));
}

}  // namespace
}  // namespace tessel::payloads
