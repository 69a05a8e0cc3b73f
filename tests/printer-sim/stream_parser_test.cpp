// How the printer reads the byte stream: pieces of any size, several commands, and input it
// cannot read, seen through what it answers and logs.
#include <gtest/gtest.h>

#include "core_harness.h"

namespace tessel::sim::testing {
namespace {

Bytes Text(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        Append(out, part);
    }
    return out;
}

TEST(StreamParser, EveryCutOfAQueryGetsOneReplyAndIsLoggedByteForByte) {
    const struct {
        Bytes query;
        Bytes command;
        Bytes reply;
    } queries[] = {
        {StatusQuery(), StatusCommand(), StatusReply(0)},
        {VersionQuery(), VersionCommand(), VersionReply("3.3.2.9")},
    };
    for (const auto& q : queries) {
        for (std::size_t cut = 0; cut <= q.query.size(); ++cut) {
            SCOPED_TRACE(cut);
            Printer p;
            p.Send(Bytes(q.query.begin(), q.query.begin() + static_cast<std::ptrdiff_t>(cut)));
            p.Send(Bytes(q.query.begin() + static_cast<std::ptrdiff_t>(cut), q.query.end()));
            EXPECT_EQ(p.TakeSent(), q.reply);
            ASSERT_EQ(p.Named("job").size(), 1u);
            EXPECT_EQ(p.Named("job")[0]["bytes"], Hex(q.query));
            EXPECT_EQ(p.Named("command").at(0)["bytes"], Hex(q.command));
        }
        Printer p;
        p.Send(q.query, 1);
        EXPECT_EQ(p.TakeSent(), q.reply);
    }
}

TEST(StreamParser, WellFormedStreamsAndTheirReplies) {
    const Bytes uel(link::kUel.begin(), link::kUel.end());
    const Bytes enter(link::kEnterAcl.begin(), link::kEnterAcl.end());
    const struct {
        const char* name;
        Bytes stream;
        Bytes replies;
    } cases[] = {
        {"two commands in one job", Job(Concat({StatusCommand(), VersionCommand()})),
         Concat({StatusReply(0), VersionReply("3.3.2.9")})},
        {"two jobs in one write", Concat({VersionQuery(), StatusQuery()}),
         Concat({VersionReply("3.3.2.9"), StatusReply(0)})},
        {"other PJL lines and a repeated UEL before the switch",
         Concat({uel, uel, Text("@PJL SET JOBNAME=\"x\"\r\n@PJL\n"), enter, StatusCommand(), uel}),
         StatusReply(0)},
        {"a version query for another object",
         Job(Concat({Header(link::kCmdObjectQuery, 4), Text("OID1")})), VersionReply("")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Printer p;
        p.SendRandomPieces(c.stream, 11, 9);
        EXPECT_EQ(p.TakeSent(), c.replies);
        EXPECT_TRUE(p.Named("framing_error").empty());
    }
}

// Input the printer cannot read is reported and skipped up to the next UEL; the query that
// follows is answered as usual.
TEST(StreamParser, UnreadableInputIsSkippedUpToTheNextJob) {
    const Bytes uel(link::kUel.begin(), link::kUel.end());
    const Bytes enter(link::kEnterAcl.begin(), link::kEnterAcl.end());
    Bytes bad_magic = StatusCommand();
    bad_magic[1] = 0xAB;
    Bytes huge_download = Header(link::kCmdDownload);
    huge_download[8] = 0x00;
    huge_download[10] = 0x01;  // firmware
    huge_download[12] = 0x7F;  // 2 GiB body
    const struct {
        const char* name;
        Bytes before;
        const char* reason;
    } cases[] = {
        {"bytes before the first job", Text("hello\r\n"), "bytes outside a job"},
        {"a line that is not PJL", Concat({uel, Text("HELLO\r\n"), uel}), "not a PJL line"},
        {"an endless PJL line", Concat({uel, Text("@PJL "), Bytes(300, 'x'), uel}),
         "a PJL line longer than 256 bytes"},
        {"a broken UEL", Concat({uel, Text("\x1b%-99"), enter, StatusCommand(), uel}),
         "a broken UEL"},
        {"a header without the ACL magic", Job(bad_magic), "an ACL header with magic 0x00AB"},
        {"an unknown command", Job(Header(0x1234)), "an unknown command 0x1234"},
        {"a command announcing too much data", Job(Header(link::kCmdObjectQuery, 5000)),
         "a command announcing 5000 data bytes"},
        {"a download announcing an oversized body", Job(huge_download),
         "a download announcing 2130706432 body bytes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Printer p;
        p.SendRandomPieces(Concat({c.before, StatusQuery()}), 5, 7);
        EXPECT_EQ(p.TakeSent(), StatusReply(0));
        const auto jobs = p.Named("job");
        ASSERT_FALSE(jobs.empty());
        EXPECT_EQ(jobs.front()["error"], c.reason);
        EXPECT_EQ(jobs.back()["bytes"], Hex(StatusQuery()));
    }
}

}  // namespace
}  // namespace tessel::sim::testing
