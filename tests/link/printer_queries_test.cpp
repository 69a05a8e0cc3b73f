#include <functional>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "discovery/device_globals.h"
#include "link/printer_queries.h"
#include "link_fixture.h"

namespace tessel::link {
namespace {

using testing::Bytes;
using testing::Concat;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::LinkTest;
using testing::ScriptedDevice;
using testing::StatusReply;
using testing::VersionReplyHeader;

// Four writes per request.
std::size_t Requests(const ScriptedDevice& device) {
    return device.write_calls().size() / 4;
}

std::vector<std::uint8_t> VersionReply(std::string_view text) {
    return Concat(VersionReplyHeader(static_cast<std::uint16_t>(text.size())), Bytes(text));
}

// ---- Status ----

TEST_F(LinkTest, StatusReplySplitOverReadsIsAssembledInOrder) {
    const auto reply = StatusReply(2);
    device.AddRead(std::vector<std::uint8_t>(reply.begin(), reply.begin() + 10));
    device.AddRead(std::vector<std::uint8_t>{});
    device.AddRead(std::vector<std::uint8_t>(reply.begin() + 10, reply.end()));
    std::uint8_t status = 0xEE;

    EXPECT_EQ(ReadPrinterSTATUS(device, status), kLinkOk);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(device.read_calls(), 3u);
    EXPECT_TRUE(clock.sleeps().empty());  // no pauses between status reads
}

struct StatusTiming {
    std::int64_t last_read_ms;  // time the read completing the reply takes
    std::int32_t expected;
};

class StatusTimeLimit : public LinkTest, public ::testing::WithParamInterface<StatusTiming> {};

// The limit is in whole calendar seconds and tested after each read, before completeness.
TEST_P(StatusTimeLimit, CountsWholeSecondsFromTheFirstRead) {
    const auto reply = StatusReply(0);
    device.AddRead(std::vector<std::uint8_t>(reply.begin(), reply.begin() + 10));
    device.AddRead(std::vector<std::uint8_t>(reply.begin() + 10, reply.end()),
                   GetParam().last_read_ms);
    std::uint8_t status = 0xEE;
    EXPECT_EQ(ReadPrinterSTATUS(device, status), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Boundary, StatusTimeLimit,
                         ::testing::Values(StatusTiming{60'000, kLinkOk},
                                           StatusTiming{60'999, kLinkOk},
                                           StatusTiming{61'000, kErrStatusTimeout}));

struct StatusFailure {
    const char* name;
    std::function<void(ScriptedDevice&)> script;
    std::int32_t expected;
};

class StatusQueryFailure : public LinkTest, public ::testing::WithParamInterface<StatusFailure> {};

TEST_P(StatusQueryFailure, GivesItsCodeAndLeavesStatusAlone) {
    GetParam().script(device);
    std::uint8_t status = 0xEE;
    EXPECT_EQ(ReadPrinterSTATUS(device, status), GetParam().expected);
    EXPECT_EQ(status, 0xEE);
    EXPECT_EQ(debug.Count("ReadPrinterSTATUS()------->"), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StatusQueryFailure,
    ::testing::Values(
        StatusFailure{"WrongMagic", [](ScriptedDevice& d) { d.AddRead(StatusReply(0, 0x00AD)); },
                      kErrStatusReply},
        StatusFailure{"VersionReplyCode",
                      [](ScriptedDevice& d) { d.AddRead(StatusReply(0, 0x00AC, 0xFF21)); },
                      kErrStatusReply},
        StatusFailure{"SwappedCodeBytes",
                      [](ScriptedDevice& d) { d.AddRead(StatusReply(0, 0x00AC, 0x87FF)); },
                      kErrStatusReply},
        StatusFailure{"ReadFails",
                      [](ScriptedDevice& d) {
                          d.AddRead(std::vector<std::uint8_t>(5, 0));
                          d.AddReadFailure();
                      },
                      kErrStatusRead},
        // No read brings more than was asked: a count above it is a failed read, even when
        // the buffer holds a good reply.
        StatusFailure{"ReadClaimsMoreThanAsked",
                      [](ScriptedDevice& d) { d.AddOverstatedRead(StatusReply(0)); },
                      kErrStatusRead},
        // No scripted reply: every read comes back empty after a second.
        StatusFailure{"SilentPrinter", [](ScriptedDevice&) {}, kErrStatusTimeout},
        StatusFailure{"LanguageLineShort", [](ScriptedDevice& d) { d.SetWriteResult(1, 3); },
                      kErrLanguageWrite}),
    testing::ByName());

// ---- Version ----

struct VersionCase {
    const char* name;
    std::string text;
    VersionResult result;
    std::int32_t comparison;
};

class VersionText : public LinkTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(VersionText, FillsTheResultAndComparesItsKey) {
    const VersionCase& c = GetParam();
    device.AddRead(VersionReply(c.text));
    VersionResult result;
    result.fill(0xEE);
    ASSERT_EQ(ReadPrinterFWVersion(device, result), kLinkOk);
    EXPECT_EQ(result, c.result);

    discovery::g_strDevicePath = u"\\\\?\\usb#vid_test";
    device.AddRead(VersionReply(c.text));
    EXPECT_EQ(CompareFirmwareVersion(), c.comparison);
    EXPECT_THAT(files.opened(), ElementsAre(u"\\\\?\\usb#vid_test"));
    EXPECT_EQ(files.open_handles(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, VersionText,
    ::testing::Values(
        VersionCase{
            "Same", "1.2.3.8", {'1', '.', '2', '.', '3', '.', '8', 0}, kPrinterVersionEqual},
        VersionCase{"LongerAndNewer",
                    "1.2.3.9xyz",
                    {'1', '.', '2', '.', '3', '.', '9', 'x'},
                    kPrinterVersionHigher},
        VersionCase{"Short", "1.2", {'1', '.', '2', 0, 0, 0, 0, 0}, kPrinterVersionLower},
        VersionCase{"ThirdPartDecides",
                    "9.9.3.7",
                    {'9', '.', '9', '.', '3', '.', '7', 0},
                    kPrinterVersionLower},
        VersionCase{"EndsAtFirstZero",
                    std::string("1.2.4\0.9", 8),
                    {'1', '.', '2', '.', '4', 0, 0, 0},
                    kPrinterVersionHigher}),
    testing::ByName());

TEST_F(LinkTest, VersionReplySplitOverReadsPausesAfterEachRead) {
    const auto header = VersionReplyHeader(7);
    device.AddRead(std::vector<std::uint8_t>(header.begin(), header.begin() + 10));
    device.AddRead(std::vector<std::uint8_t>(header.begin() + 10, header.end()));
    device.AddRead("1.2");
    device.AddRead(std::vector<std::uint8_t>{});
    device.AddRead(".3.8");
    VersionResult result{};

    ASSERT_EQ(ReadPrinterFWVersion(device, result), kLinkOk);
    EXPECT_EQ(result, (VersionResult{'1', '.', '2', '.', '3', '.', '8', 0}));
    EXPECT_THAT(clock.sleeps(), ElementsAre(500u, 200u, 200u, 200u, 200u, 200u));
    EXPECT_EQ(debug.Count("ReadLen = 4, verbuf = 1.2.3.8"), 1u);
}

// An empty text sends the request again without using up an attempt: four failed reads and
// one empty text still leave room for the answer.
TEST_F(LinkTest, EmptyVersionTextIsAskedAgainWithoutCountingAnAttempt) {
    device.AddReadFailure();
    device.AddRead(VersionReplyHeader(0));
    device.AddReadFailure();
    device.AddReadFailure();
    device.AddRead(VersionReply(std::string_view("\0", 1)));  // one byte, still empty
    device.AddReadFailure();
    device.AddRead(VersionReply("1.2.3.8"));
    VersionResult result{};

    EXPECT_EQ(ReadPrinterFWVersion(device, result), kLinkOk);
    EXPECT_EQ(Requests(device), 7u);
    EXPECT_EQ(debug.Count("ReadLen = 16, verbuf = "), 1u);
    EXPECT_EQ(debug.Count("ReadLen = 1, verbuf = "), 1u);
}

TEST_F(LinkTest, FiveFailedReadsEndTheVersionQuery) {
    for (int i = 0; i < 5; ++i) {
        device.AddReadFailure();
    }
    VersionResult result;
    result.fill(0xEE);

    EXPECT_EQ(ReadPrinterFWVersion(device, result), kErrVersionQuery);
    EXPECT_EQ(Requests(device), 5u);
    EXPECT_EQ(debug.Count("nReSendNum == 5"), 1u);
    EXPECT_EQ(result, (VersionResult{0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));

    discovery::g_strDevicePath = u"printer";
    for (int i = 0; i < 5; ++i) {
        device.AddReadFailure();
    }
    EXPECT_EQ(CompareFirmwareVersion(), kErrVersionQuery);
    EXPECT_EQ(files.open_handles(), 0);
}

TEST_F(LinkTest, FailedClosingUelIsNotResent) {
    device.SetWriteResult(3, -1);
    device.AddRead(VersionReply("1.2.3.8"));
    VersionResult result{};
    EXPECT_EQ(ReadPrinterFWVersion(device, result), kErrUelWrite);
    EXPECT_EQ(device.write_calls().size(), 4u);
    EXPECT_EQ(device.read_calls(), 0u);

    device.SetWriteResult(7, -1);
    EXPECT_EQ(CompareFirmwareVersion(), kErrVersionQuery);
    EXPECT_EQ(files.open_handles(), 0);
}

TEST_F(LinkTest, UnopenableDeviceIsReportedWithoutWriting) {
    files.FailOpen();
    EXPECT_EQ(CompareFirmwareVersion(), kErrOpenDevice);
    EXPECT_TRUE(device.write_calls().empty());
}

struct EndlessCase {
    const char* name;
    std::function<void(ScriptedDevice&)> script;
};

class VersionQueryBound : public LinkTest, public ::testing::WithParamInterface<EndlessCase> {};

// A printer that keeps answering with nothing cannot keep the query going: it ends with the
// query's failure once a minute has gone by.
TEST_P(VersionQueryBound, EndsAfterAMinute) {
    GetParam().script(device);
    const std::int64_t start = clock.NowSeconds();
    VersionResult result{};

    EXPECT_EQ(ReadPrinterFWVersion(device, result), kErrVersionQuery);
    const std::int64_t elapsed = clock.NowSeconds() - start;
    EXPECT_GT(elapsed, kVersionTimeLimitSeconds);
    EXPECT_LE(elapsed, kVersionTimeLimitSeconds + 3);
    EXPECT_EQ(debug.Count("ReadPrinterFWVersion(): no version text within 60 seconds"), 1u);
    EXPECT_EQ(result, VersionResult{});
}

INSTANTIATE_TEST_SUITE_P(
    Replies, VersionQueryBound,
    ::testing::Values(EndlessCase{"EmptyTexts",
                                  [](ScriptedDevice& d) {
                                      for (int i = 0; i < 1000; ++i) {
                                          d.AddRead(VersionReplyHeader(0));
                                      }
                                  }},
                      // A header, then reads that never bring the announced text.
                      EndlessCase{"NoBytes",
                                  [](ScriptedDevice& d) { d.AddRead(VersionReplyHeader(7)); }},
                      EndlessCase{"NoReplyAtAll", [](ScriptedDevice&) {}}),
    testing::ByName());

class OverlongVersion : public LinkTest, public ::testing::WithParamInterface<std::uint16_t> {};

// The text buffer keeps 99 bytes; the rest of the announced text is read and dropped, so the
// status query that follows reads its own reply.
TEST_P(OverlongVersion, KeepsNinetyNineBytesAndStaysInStep) {
    const std::uint16_t announced = GetParam();
    std::string text = "1.2.3.8";
    for (std::size_t i = text.size(); i < announced; ++i) {
        text.push_back(static_cast<char>('A' + i % 26));
    }
    device.AddRead(VersionReply(text));
    device.AddRead(StatusReply(4));
    VersionResult result{};

    ASSERT_EQ(ReadPrinterFWVersion(device, result), kLinkOk);
    EXPECT_EQ(result, (VersionResult{'1', '.', '2', '.', '3', '.', '8', 'H'}));
    const std::string kept = text.substr(0, 99);
    const auto lines = debug.lines();
    EXPECT_NE(
        std::find_if(lines.begin(), lines.end(),
                     [&](const std::string& line) { return line.ends_with(", verbuf = " + kept); }),
        lines.end());

    std::uint8_t status = 0xEE;
    EXPECT_EQ(ReadPrinterSTATUS(device, status), kLinkOk);
    EXPECT_EQ(status, 4);
}

INSTANTIATE_TEST_SUITE_P(Lengths, OverlongVersion, ::testing::Values(100, 101, 5000, 65535));

}  // namespace
}  // namespace tessel::link
