#include <gtest/gtest.h>

#include <map>

#include "printer_config.h"

namespace tessel::sim {
namespace {

std::string Parse(std::vector<std::string> args, SimOptions& options) {
    return ParseCommandLine(args, options);
}

TEST(PrinterConfig, CommandLineDescribesEachPrinter) {
    SimOptions o;
    ASSERT_EQ(Parse({"--time-scale",
                     "0.01",
                     "--model",
                     "R7400",
                     "--no-serial",
                     "--status",
                     "3",
                     "--printer",
                     "--model",
                     "DEFAULT",
                     "--vendor",
                     "1286",
                     "--no-ieee1284-id",
                     "--printer",
                     "--vendor",
                     "04b8",
                     "--product-id",
                     "0x0005",
                     "--dot4",
                     "--split-reply",
                     "10",
                     "--disconnect-after",
                     "4096:firmware",
                     "--stall-after",
                     "70000",
                     "--log",
                     "x.log"},
                    o),
              "");
    EXPECT_EQ(o.time_scale, 0.01);
    EXPECT_EQ(o.log_path, "x.log");
    ASSERT_EQ(o.printers.size(), 3u);

    EXPECT_EQ(o.printers[0].product_id, 0x0C14);
    EXPECT_EQ(o.printers[0].product, "R7400 Series");
    EXPECT_EQ(o.printers[0].serial, std::nullopt);
    EXPECT_EQ(o.printers[0].status, 3);
    EXPECT_EQ(o.printers[0].Ieee1284Id(), "MFG:Bexlot;CMD:ACL,PJL;MDL:R7400 Series;CLS:PRINTER;");

    EXPECT_EQ(o.printers[1].vendor_id, 0x1286);
    EXPECT_EQ(o.printers[1].product_id, 0x0000);
    EXPECT_EQ(o.printers[1].serial, "SER2");
    EXPECT_FALSE(o.printers[1].has_ieee1284_id);
    EXPECT_EQ(o.printers[1].status, 0);

    EXPECT_EQ(o.printers[2].vendor_id, 0x04B8);
    EXPECT_EQ(o.printers[2].product_id, 0x0005);
    EXPECT_EQ(o.printers[2].interface_protocol, 3);
    EXPECT_EQ(o.printers[2].faults.split_piece, 10u);
    EXPECT_EQ(o.printers[2].faults.split_pause_ms, 500u);
    EXPECT_EQ(o.printers[2].faults.disconnect_after, 4096u);
    EXPECT_EQ(o.printers[2].faults.disconnect_payload, PayloadSelect::kFirmware);
    EXPECT_EQ(o.printers[2].faults.stall_after, 70000u);
    EXPECT_EQ(o.printers[2].faults.stall_payload, PayloadSelect::kAny);
}

// Each row of the flag table sets something: a flag that parses but changes nothing would
// leave a fault silently off.
TEST(PrinterConfig, EveryFlagChangesThePrinter) {
    const std::map<std::string_view, std::string> sample = {
        {"NAME", "R7400"},
        {"HEX", "0000"},
        {"TEXT", "X"},
        {"S", "200"},
        {"N", "120"},
        {"status|version|all", "all"},
        {"BYTES[:MS]", "10:50"},
        {"N[:loader|firmware]", "1000:loader"},
        {"BYTES_PER_S", "1200000"},
        {"MS", "500"},
    };
    for (const PrinterFlag& flag : PrinterFlags()) {
        SCOPED_TRACE(std::string(flag.flag));
        std::vector<std::string> args = {std::string(flag.flag)};
        if (!flag.argument.empty()) {
            ASSERT_TRUE(sample.contains(flag.argument)) << flag.argument;
            args.push_back(sample.at(flag.argument));
        }
        SimOptions o;
        ASSERT_EQ(Parse(args, o), "");
        SimOptions defaults;
        ASSERT_EQ(Parse({}, defaults), "");
        EXPECT_FALSE(o.printers[0] == defaults.printers[0]);
    }
}

TEST(PrinterConfig, CommandLineErrorsNameTheProblem) {
    const struct {
        std::vector<std::string> args;
        std::string error;
    } cases[] = {
        {{"--bogus"}, "unknown option \"--bogus\""},
        {{"--status"}, "--status needs a value (N)"},
        {{"--status", "256"}, "--status expects a whole number from 0 to 255, not \"256\""},
        {{"--vendor", "7a3cx"}, "--vendor expects four hexadecimal digits, not \"7a3cx\""},
        {{"--no-answer", "both"}, "--no-answer expects status, version or all, not \"both\""},
        {{"--split-reply", "0"},
         "--split-reply expects BYTES[:PAUSE_MS] with BYTES at least 1, not \"0\""},
        {{"--disconnect-after", "10:boot"},
         "--disconnect-after expects N[:loader|firmware], not \"10:boot\""},
        {{"--time-scale", "0"}, "--time-scale expects a number above 0, not \"0\""},
        {{"--model", "R9000"},
         "--model expects R7100, R7200, R7300, R7400 or DEFAULT, not \"R9000\""},
    };
    for (const auto& c : cases) {
        SimOptions o;
        EXPECT_EQ(Parse(c.args, o), c.error);
    }
}

TEST(PrinterConfig, VersionAfterFirmwareTakesTheMarkersLastTwoCharacters) {
    const struct {
        const char* version;
        const char* marker;
        const char* after;
    } cases[] = {
        {"3.3.2.9", "3338", "3.3.3.8"},
        {"1.2", "3338", "1.2.3.8"},
        {"4.0.9.9.1", "0012", "4.0.1.2.1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(VersionAfterFirmware(c.version, c.marker), c.after) << c.version;
    }
}

}  // namespace
}  // namespace tessel::sim
