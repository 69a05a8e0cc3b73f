#include "ui/cli/cli_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace tessel::ui::cli {
namespace {

TEST(ParseArguments, CommandsAndOptions) {
    struct Case {
        std::vector<std::string_view> args;
        std::optional<CliOptions> expected;  // nothing: refused
    };
    const CliOptions upgrade{Command::kUpgrade, PresetAnswer::kAsk, false};
    const CliOptions yes{Command::kUpgrade, PresetAnswer::kYes, false};
    const CliOptions no{Command::kUpgrade, PresetAnswer::kNo, false};
    const CliOptions info{Command::kInfo, PresetAnswer::kAsk, false};
    const CliOptions json{Command::kInfo, PresetAnswer::kAsk, true};
    const CliOptions log{Command::kLog, PresetAnswer::kAsk, false};
    const CliOptions help{Command::kHelp, PresetAnswer::kAsk, false};
    const CliOptions version{Command::kVersion, PresetAnswer::kAsk, false};
    const Case cases[] = {
        {{"upgrade"}, upgrade},
        {{"upgrade", "--yes"}, yes},
        {{"upgrade", "-y"}, yes},
        {{"upgrade", "--no"}, no},
        {{"upgrade", "-n"}, no},
        {{"upgrade", "--yes", "--yes"}, yes},
        {{"upgrade", "--yes", "--no"}, std::nullopt},
        {{"upgrade", "--no", "-y"}, std::nullopt},
        {{"upgrade", "--json"}, CliOptions{Command::kUpgrade, PresetAnswer::kAsk, true}},
        {{"upgrade", "--no", "--json"}, CliOptions{Command::kUpgrade, PresetAnswer::kNo, true}},
        {{"upgrade", "yes"}, std::nullopt},
        {{"upgrade", "--printer", "SER2", "--yes"},
         CliOptions{Command::kUpgrade, PresetAnswer::kYes, false, true, "SER2"}},
        {{"upgrade", "--printer=/dev/usb/lp1"},
         CliOptions{Command::kUpgrade, PresetAnswer::kAsk, false, true, "/dev/usb/lp1"}},
        {{"info", "--json", "--printer", "--json"},
         CliOptions{Command::kInfo, PresetAnswer::kAsk, true, true, "--json"}},
        {{"upgrade", "--printer"}, std::nullopt},
        {{"upgrade", "--printer="}, std::nullopt},
        {{"info", "--printer", ""}, std::nullopt},
        {{"info", "--printer", "A", "--printer", "A"}, std::nullopt},
        {{"info", "--printerA"}, std::nullopt},
        {{"log", "--printer", "A"}, std::nullopt},
        {{"info"}, info},
        {{"info", "--json"}, json},
        {{"info", "--yes"}, std::nullopt},
        {{"log"}, log},
        {{"log", "--json"}, std::nullopt},
        {{"--version"}, version},
        {{"--version", "x"}, std::nullopt},
        {{"--help"}, help},
        {{"-h"}, help},
        {{"help"}, help},
        {{}, std::nullopt},
        {{"Upgrade"}, std::nullopt},
        {{"--yes", "upgrade"}, std::nullopt},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const auto a : c.args) {
            joined += std::string(a) + " ";
        }
        SCOPED_TRACE(joined);
        const ParsedArguments parsed = ParseArguments(c.args);
        EXPECT_EQ(parsed.options, c.expected);
        EXPECT_EQ(parsed.error.empty(), c.expected.has_value());
    }
}

TEST(ExitCodeForScreen, OnlyTheSuccessDisplayGivesZero) {
    using ui::MainScreen;
    EXPECT_EQ(ExitCodeForScreen(MainScreen::kSuccess), 0);
    EXPECT_EQ(ExitCodeForScreen(MainScreen::kFailure), 1);
    EXPECT_EQ(ExitCodeForScreen(MainScreen::kNotReady), 2);
    // No printer, busy port, newer firmware, declined: the display was never touched.
    EXPECT_EQ(ExitCodeForScreen(MainScreen::kStart), 3);
    // A run can not end on these; if one did, it did not succeed.
    EXPECT_EQ(ExitCodeForScreen(MainScreen::kProgress), 1);
    EXPECT_EQ(ExitCodeForScreen(MainScreen::kBlank), 1);
}

}  // namespace
}  // namespace tessel::ui::cli
