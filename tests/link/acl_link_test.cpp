#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "link/acl_link.h"
#include "link/printer_queries.h"
#include "link_fixture.h"

namespace tessel::link {
namespace {

using ::testing::ElementsAre;
using testing::LinkTest;

const std::vector<std::uint8_t> kUelBytes = {0x1B, 0x25, 0x2D, 0x31, 0x32, 0x33, 0x34, 0x35, 0x58};
const std::vector<std::uint8_t> kLanguageBytes = {
    0x40, 0x50, 0x4A, 0x4C, 0x20, 0x45, 0x4E, 0x54, 0x45, 0x52, 0x20, 0x4C, 0x41,
    0x4E, 0x47, 0x55, 0x41, 0x47, 0x45, 0x3D, 0x41, 0x43, 0x4C, 0x0D, 0x0A};

TEST_F(LinkTest, StatusQueryWritesTheEnvelopeAndHeaderInFourWrites) {
    device.AddRead(testing::StatusReply(4));
    std::uint8_t status = 0xEE;
    ASSERT_EQ(ReadPrinterSTATUS(device, status), kLinkOk);
    EXPECT_EQ(status, 4);

    const std::vector<std::uint8_t> header = {0x00, 0xAC, 0xFF, 0x87, 0, 0, 0, 0,
                                              0,    0,    0,    0,    0, 0, 0, 0};
    EXPECT_THAT(device.WrittenChunks(), ElementsAre(kUelBytes, kLanguageBytes, header, kUelBytes));
    EXPECT_EQ(device.bytes().size(), 59u);
    EXPECT_THAT(debug.lines(),
                ElementsAre("ReadPrinterSTATUS()<------", "ReadData(): nBytesRead = 16 \r\n",
                            "ReadPrinterSTATUS()------->"));
}

TEST_F(LinkTest, VersionQuerySendsTheObjectRequest) {
    device.AddRead(testing::Concat(testing::VersionReplyHeader(7), testing::Bytes("1.2.3.8")));
    VersionResult result{};
    ASSERT_EQ(ReadPrinterFWVersion(device, result), kLinkOk);

    std::vector<std::uint8_t> command = {0x00, 0xAC, 0xFF, 0x21, 0x00, 0x28, 0, 0,
                                         0,    0,    0,    0,    0,    0,    0, 0};
    const std::string_view text = "<!--#ssi IDr OID_PLATFORM_FW_VERSION -->";
    command.insert(command.end(), text.begin(), text.end());
    ASSERT_EQ(command.size(), 56u);
    EXPECT_THAT(device.WrittenChunks(), ElementsAre(kUelBytes, kLanguageBytes, command, kUelBytes));
}

struct SendFailure {
    const char* name;
    std::size_t failing_write;
    std::int32_t write_result;
    std::uint32_t command_length;
    std::int32_t expected;
};

class SendAclCommandFailure : public LinkTest, public ::testing::WithParamInterface<SendFailure> {};

// Whatever write falls short, its code comes back and nothing is written after it.
TEST_P(SendAclCommandFailure, GivesTheWritesCodeAndStops) {
    const SendFailure& c = GetParam();
    device.SetWriteResult(c.failing_write, c.write_result);
    std::vector<std::uint8_t> command(c.command_length, 0xAB);

    EXPECT_EQ(SendAclCommand(device, command.data(), c.command_length), c.expected);
    EXPECT_EQ(device.write_calls().size(), c.failing_write + 1);
}

INSTANTIATE_TEST_SUITE_P(
    EachWrite, SendAclCommandFailure,
    ::testing::Values(SendFailure{"UelShort", 0, 8, 16, kErrUelWrite},
                      SendFailure{"UelFailed", 0, -1, 16, kErrUelWrite},
                      SendFailure{"LanguageShort", 1, 24, 16, kErrLanguageWrite},
                      SendFailure{"LanguageFailed", 1, -1, 16, kErrLanguageWrite},
                      SendFailure{"CommandShort", 2, 55, 56, kErrCommandWrite},
                      SendFailure{"CommandNothing", 2, 0, 56, kErrCommandWrite},
                      SendFailure{"ClosingUelShort", 3, 0, 16, kErrUelWrite},
                      SendFailure{"ClosingUelFailed", 3, -1, 16, kErrUelWrite}),
    testing::ByName());

TEST_F(LinkTest, CommandLongerThanOneWriteFailsAfterItsFirstChunk) {
    std::vector<std::uint8_t> command(kMaxWriteSize + 1, 0x5A);
    EXPECT_EQ(SendAclCommand(device, command.data(), static_cast<std::uint32_t>(command.size())),
              kErrCommandWrite);
    ASSERT_EQ(device.write_calls().size(), 3u);
    EXPECT_EQ(device.write_calls()[2].asked, kMaxWriteSize);
}

TEST_F(LinkTest, ReadDataTracesEveryResult) {
    device.AddRead(std::vector<std::uint8_t>{});
    device.AddReadFailure();
    device.AddRead("abc");
    std::uint8_t buffer[8] = {};

    EXPECT_EQ(ReadData(device, buffer, sizeof buffer), 0);
    EXPECT_EQ(ReadData(device, buffer, sizeof buffer), -1);
    EXPECT_EQ(ReadData(device, buffer, 2), 2);
    EXPECT_EQ(buffer[0], 'a');
    EXPECT_EQ(buffer[1], 'b');
    EXPECT_THAT(debug.lines(),
                ElementsAre("ReadData(): nBytesRead = 0 \r\n", "ReadData(): nBytesRead = -1 \r\n",
                            "ReadData(): nBytesRead = 2 \r\n"));
}

}  // namespace
}  // namespace tessel::link
