#include <gtest/gtest.h>

#include <functional>

#include "core_harness.h"
#include "platform/resources.h"

namespace tessel::sim::testing {
namespace {

using Mode = PrinterCore::Mode;

Bytes Embedded(std::uint16_t id) {
    const auto bytes = platform::FindBinaryResource(id);
    return bytes ? Bytes(bytes->begin(), bytes->end()) : Bytes{};
}

// Feeds the loader as the front does, taking only what the printer takes now and otherwise
// waiting until it says; each wait ends `late_ms` after that. Returns bytes per second.
// The loader's rate through the cap when each wait for allowance ends `late_ms` late and each
// read of at most 4 KiB takes `read_ms` (a compressed clock: one real millisecond is many of
// the printer's).
double LoaderRate(Printer& p, std::int64_t late_ms, std::int64_t read_ms = 0) {
    const Bytes loader = Embedded(payloads::IDR_BINARY_LOADER);
    const std::int64_t start = p.clock.NowMs();
    for (std::size_t at = 0; at < loader.size();) {
        const std::size_t allowed = p.core.ReceiveAllowance();
        if (allowed == 0) {
            p.clock.AdvanceMs(*p.core.NextDueMs() - p.clock.NowMs() + late_ms);
            continue;
        }
        const std::size_t n = std::min({allowed, loader.size() - at, std::size_t{4096}});
        at += p.core.Receive({loader.data() + at, n});
        p.clock.AdvanceMs(read_ms);
    }
    EXPECT_EQ(p.Named("payload").at(0)["valid"], true);
    return static_cast<double>(loader.size()) * 1000.0 /
           static_cast<double>(p.clock.NowMs() - start);
}

TEST(PrinterCore, TakesTheStandInPayloadsAndComesBackWithTheNewVersion) {
    Printer p;
    const Bytes loader = Embedded(payloads::IDR_BINARY_LOADER);
    const Bytes firmware = Embedded(payloads::IDR_BINARY_FIRMWARE);
    ASSERT_EQ(loader.size(), payloads::kLoaderSpec.size);
    ASSERT_EQ(firmware.size(), payloads::kFirmwareSpec.size);

    ASSERT_EQ(p.SendRandomPieces(loader, 7, 70'000), loader.size());
    auto received = p.Named("payload");
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0]["kind"], "loader");
    EXPECT_EQ(received[0]["size"], loader.size());
    EXPECT_EQ(received[0]["valid"], true) << received[0]["reason"];
    EXPECT_EQ(received[0]["marker"], "7509");

    // Drops off the bus shortly after, and comes back 50 s later running the loader.
    p.RunFor(PrinterCore::kDropDelayMs);
    EXPECT_FALSE(p.port.connected);
    p.RunFor(50'000 - 1);
    EXPECT_FALSE(p.port.connected);
    p.RunFor(1);
    ASSERT_TRUE(p.port.connected);
    EXPECT_EQ(p.core.mode(), Mode::kLoader);

    // The firmware image in the tool's chunks of 0x40000 bytes; a query that follows it in
    // the same write meets a printer that has started burning.
    Bytes stream = firmware;
    Append(stream, StatusQuery());
    ASSERT_EQ(p.Send(stream, 0x40000), stream.size());
    EXPECT_TRUE(p.TakeSent().empty());
    EXPECT_EQ(p.Named("job").back()["size"], firmware.size());
    received = p.Named("payload");
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[1]["kind"], "firmware");
    EXPECT_EQ(received[1]["valid"], true) << received[1]["reason"];
    EXPECT_EQ(p.core.mode(), Mode::kBurning);
    EXPECT_EQ(p.Named("burn_start").at(0)["version_after"], "3.3.3.8");

    // Burning: queries go unanswered, the version is still the old one.
    p.Send(StatusQuery());
    EXPECT_TRUE(p.TakeSent().empty());
    p.RunFor(180'000 - 1);
    EXPECT_TRUE(p.port.connected);
    EXPECT_EQ(p.core.version(), "3.3.2.9");
    p.RunFor(1);
    EXPECT_FALSE(p.port.connected);
    EXPECT_EQ(p.core.version(), "3.3.3.8");
    p.RunFor(50'000);
    ASSERT_TRUE(p.port.connected);
    EXPECT_EQ(p.core.mode(), Mode::kNormal);
    EXPECT_EQ(p.port.products, (std::vector<std::uint16_t>{0x0C12, 0x0C12, 0x0C12}));

    p.Send(VersionQuery());
    EXPECT_EQ(p.TakeSent(), VersionReply("3.3.3.8"));
}

// A payload that fails a check is reported with the rule it broke and changes nothing: no
// restart, no burn, no new version, and the printer goes on answering.
TEST(PrinterCore, RejectedPayloadsLeaveThePrinterAsItWas) {
    struct Case {
        const char* name;
        bool loader_first;
        std::function<Bytes()> payload;
        const char* reason;
    };
    const std::size_t body = payloads::kBodyOffset;
    const Case cases[] = {
        {"one flipped body byte", false,
         [&] {
             Bytes b = SmallPayload(2, "7509");
             b[body + 20] ^= 0x01;
             return b;
         },
         "checksum"},
        {"two body words swapped (the checksum still holds)", false,
         [&] {
             Bytes b = SmallPayload(2, "7509");
             std::swap_ranges(b.begin() + body + 8, b.begin() + body + 10, b.begin() + body + 10);
             return b;
         },
         "MD5"},
        {"an unknown download type", false, [] { return SmallPayload(3); }, "download type"},
        {"a firmware image without the loader", false, [] { return SmallPayload(0x100); }, "state"},
        {"a firmware image without its closing UEL", true,
         [] {
             Bytes b = SmallPayload(0x100);
             b.back() = 'Y';
             return b;
         },
         "closing UEL"},
        {"a firmware image whose marker is not a version", true,
         [] { return SmallPayload(0x100, "33x8"); }, "version marker"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Printer p;
        if (c.loader_first) {
            p.Send(SmallPayload(2, "7509"));
            p.RunFor(PrinterCore::kDropDelayMs + 50'000);
            ASSERT_EQ(p.core.mode(), Mode::kLoader);
        }
        const Mode mode = p.core.mode();
        const int disconnects = p.port.disconnects;

        p.SendRandomPieces(c.payload(), 3, 40);
        const auto received = p.Named("payload");
        ASSERT_FALSE(received.empty());
        EXPECT_EQ(received.back()["valid"], false);
        EXPECT_EQ(received.back()["reason"].get<std::string>().rfind(c.reason, 0), 0u)
            << received.back()["reason"];

        p.RunFor(600'000);
        EXPECT_EQ(p.core.mode(), mode);
        EXPECT_EQ(p.port.disconnects, disconnects);
        EXPECT_EQ(p.core.version(), "3.3.2.9");
        p.Send(StatusQuery());
        EXPECT_EQ(p.TakeSent(), StatusReply(0));
    }
}

// Every fault alone, as one row each: how it is set, and what a client then sees.
TEST(PrinterCore, Faults) {
    struct Row {
        const char* fault;
        std::function<void(PrinterConfig&)> set;
        std::function<void(Printer&)> check;
    };
    const Row rows[] = {
        {"status other than 0, 2 or 4", [](PrinterConfig& c) { c.status = 7; },
         [](Printer& p) {
             p.Send(StatusQuery());
             EXPECT_EQ(p.TakeSent(), StatusReply(7));
         }},
        {"no answer to the status query",
         [](PrinterConfig& c) { c.faults.no_answer = kStatusQuery; },
         [](Printer& p) {
             p.Send(StatusQuery());
             p.RunFor(60'000);
             EXPECT_TRUE(p.TakeSent().empty());
             EXPECT_EQ(p.Named("no_answer").size(), 1u);
             p.Send(VersionQuery());
             EXPECT_EQ(p.TakeSent(), VersionReply("3.3.2.9"));
         }},
        {"no answer while reads return 0 bytes",
         [](PrinterConfig& c) { c.faults.zero_reads = kVersionQuery; },
         [](Printer& p) {
             p.Send(VersionQuery());
             p.RunFor(60'000);
             EXPECT_TRUE(p.TakeSent().empty());
             p.Send(StatusQuery());
             EXPECT_EQ(p.TakeSent(), StatusReply(0));
         }},
        {"reply split into pieces with pauses",
         [](PrinterConfig& c) {
             c.faults.split_piece = 10;
             c.faults.split_pause_ms = 700;
         },
         [](Printer& p) {
             p.Send(StatusQuery());
             EXPECT_EQ(p.port.sent.size(), 10u);
             p.RunFor(699);
             EXPECT_EQ(p.port.sent.size(), 10u);
             p.RunFor(1);
             EXPECT_EQ(p.port.pieces, (std::vector<std::size_t>{10, 6}));
             EXPECT_EQ(p.TakeSent(), StatusReply(0));
         }},
        {"wrong magic in version replies only",
         [](PrinterConfig& c) { c.faults.wrong_magic = kVersionQuery; },
         [](Printer& p) {
             p.Send(StatusQuery());
             EXPECT_EQ(p.TakeSent(), StatusReply(0));
             p.Send(VersionQuery());
             Bytes expected = VersionReply("3.3.2.9");
             expected[1] = 0xAD;
             EXPECT_EQ(p.TakeSent(), expected);
         }},
        {"wrong command code", [](PrinterConfig& c) { c.faults.wrong_command = kAllQueries; },
         [](Printer& p) {
             p.Send(StatusQuery());
             Bytes expected = StatusReply(0);
             expected[3] = 0x88;
             EXPECT_EQ(p.TakeSent(), expected);
         }},
        {"version reply announcing 0 bytes", [](PrinterConfig& c) { c.faults.version_length = 0; },
         [](Printer& p) {
             p.Send(VersionQuery());
             EXPECT_EQ(p.TakeSent(), VersionReply(""));
         }},
        {"drops off the bus when the version query arrives",
         [](PrinterConfig& c) { c.faults.disconnect_query = kVersionQuery; },
         [](Printer& p) {
             p.Send(StatusQuery());
             EXPECT_EQ(p.TakeSent(), StatusReply(0));
             p.Send(VersionQuery());
             EXPECT_FALSE(p.port.connected);
             EXPECT_TRUE(p.TakeSent().empty());
             p.RunFor(50'000);
             EXPECT_TRUE(p.port.connected);
         }},
        {"version reply announcing 120 bytes",
         [](PrinterConfig& c) { c.faults.version_length = 120; },
         [](Printer& p) {
             p.Send(VersionQuery());
             std::string text = "3.3.2.9";
             text.resize(120, '\0');
             EXPECT_EQ(p.TakeSent(), VersionReply(text));
         }},
        {"disconnect after byte 1000 of the loader",
         [](PrinterConfig& c) {
             c.faults.disconnect_after = 1000;
             c.faults.disconnect_payload = PayloadSelect::kLoader;
         },
         [](Printer& p) {
             const Bytes loader = Embedded(payloads::IDR_BINARY_LOADER);
             p.Send(StatusQuery());  // bytes before the payload do not count
             EXPECT_EQ(p.SendRandomPieces(loader, 5, 700), 1000u);
             EXPECT_FALSE(p.port.connected);
             EXPECT_TRUE(p.Named("payload").empty());
             p.RunFor(50'000);
             EXPECT_TRUE(p.port.connected);
             EXPECT_EQ(p.core.mode(), Mode::kNormal);
             // It fires once: the next loader goes through.
             EXPECT_EQ(p.Send(loader), loader.size());
             EXPECT_EQ(p.Named("payload").at(0)["valid"], true);
         }},
        {"stops reading after byte 1000 of the loader, staying on the bus",
         [](PrinterConfig& c) {
             c.faults.stall_after = 1000;
             c.faults.stall_payload = PayloadSelect::kLoader;
         },
         [](Printer& p) {
             p.Send(StatusQuery());  // bytes before the payload do not count
             EXPECT_EQ(p.TakeSent(), StatusReply(0));
             EXPECT_EQ(p.SendRandomPieces(Embedded(payloads::IDR_BINARY_LOADER), 5, 700), 1000u);
             EXPECT_EQ(p.Named("stall").at(0)["after"], 1000);
             p.RunFor(3600 * 1000);
             EXPECT_TRUE(p.port.connected);
             EXPECT_EQ(p.core.ReceiveAllowance(), 0u);
             EXPECT_EQ(p.Send(StatusQuery()), 0u);
             EXPECT_TRUE(p.TakeSent().empty());
             EXPECT_TRUE(p.Named("payload").empty());
         }},
        {"never back after the loader", [](PrinterConfig& c) { c.faults.no_return = true; },
         [](Printer& p) {
             p.Send(SmallPayload(2));
             p.RunFor(24 * 3600 * 1000);
             EXPECT_FALSE(p.port.connected);
             EXPECT_EQ(p.port.products.size(), 1u);
         }},
        {"back late after the loader", [](PrinterConfig& c) { c.restart_delay_s = 200; },
         [](Printer& p) {
             p.Send(SmallPayload(2));
             p.RunFor(PrinterCore::kDropDelayMs + 199'999);
             EXPECT_FALSE(p.port.connected);
             p.RunFor(1);
             EXPECT_TRUE(p.port.connected);
         }},
        {"back under another product ID",
         [](PrinterConfig& c) { c.faults.return_product = 0x0000; },
         [](Printer& p) {
             p.Send(SmallPayload(2));
             p.RunFor(PrinterCore::kDropDelayMs + 50'000);
             EXPECT_EQ(p.port.products, (std::vector<std::uint16_t>{0x0C12, 0x0000}));
             EXPECT_EQ(p.Named("appear").back()["product_id"], "0000");
         }},
        {"throughput cap of a full-speed USB link",
         [](PrinterConfig& c) { c.faults.throughput = 1'200'000; },
         [](Printer& p) { EXPECT_NEAR(LoaderRate(p, 0), 1.2e6, 0.1e6); }},
        {"throughput cap, waits that end late (time on a coarse clock)",
         [](PrinterConfig& c) { c.faults.throughput = 1'200'000; },
         [](Printer& p) { EXPECT_NEAR(LoaderRate(p, 7), 1.2e6, 0.1e6); }},
        {"throughput cap, a slow link on a clock compressed 100 times",
         [](PrinterConfig& c) { c.faults.throughput = 135'000; },
         [](Printer& p) { EXPECT_NEAR(LoaderRate(p, 100, 20), 135e3, 10e3); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fault);
        PrinterConfig config;
        row.set(config);
        Printer p(config);
        row.check(p);
    }
}

TEST(PrinterCore, FaultsCombine) {
    PrinterConfig config;
    config.status = 9;
    config.faults.split_piece = 5;
    config.faults.split_pause_ms = 100;
    config.faults.wrong_command = kAllQueries;
    config.faults.return_product = 0x0000;
    config.restart_delay_s = 120;
    Printer p(config);
    p.Send(StatusQuery());
    p.RunFor(300);
    Bytes expected = StatusReply(9);
    expected[3] = 0x88;
    EXPECT_EQ(p.port.pieces, (std::vector<std::size_t>{5, 5, 5, 1}));
    EXPECT_EQ(p.TakeSent(), expected);
    p.Send(SmallPayload(2));
    p.RunFor(PrinterCore::kDropDelayMs + 120'000);
    EXPECT_EQ(p.port.products.back(), 0x0000);
}

}  // namespace
}  // namespace tessel::sim::testing
