// The command line of tessel-cli: which command, its options and the exit statuses.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "ui/main_display_model.h"

namespace tessel::ui::cli {

enum class Command { kHelp, kVersion, kUpgrade, kInfo, kLog };

// How the yes/no question of an upgrade is answered.
enum class PresetAnswer { kAsk, kYes, kNo };

struct CliOptions {
    Command command = Command::kHelp;
    PresetAnswer answer = PresetAnswer::kAsk;  // upgrade only
    bool json = false;                         // info, upgrade
    bool confirm = true;                       // upgrade: read the version back afterwards
    // info, upgrade: --printer SELECTOR, the one printer to work on (discovery::SelectorNames);
    // nothing: the first printer listed.
    std::optional<std::string> printer = std::nullopt;

    friend bool operator==(const CliOptions&, const CliOptions&) = default;
};

struct ParsedArguments {
    std::optional<CliOptions> options;  // nothing when the arguments are wrong
    std::string error;                  // what is wrong, for the user
};

// The option that names the one printer to work on.
inline constexpr std::string_view kPrinterOption = "--printer";

// `args` are the arguments after the program name.
ParsedArguments ParseArguments(std::span<const std::string_view> args);

// The usage text.
std::string UsageText();

// Exit statuses.
inline constexpr int kExitSuccess = 0;         // upgrade: the success display
inline constexpr int kExitFailed = 1;          // upgrade: the failure display
inline constexpr int kExitNotReady = 2;        // upgrade: the not-ready display
inline constexpr int kExitEndedByMessage = 3;  // upgrade: no printer, port busy, newer, declined
inline constexpr int kExitOtherVersion = 4;    // upgrade: success shown, another version reported
inline constexpr int kExitNotBack = 5;         // upgrade: success shown, the printer not back
inline constexpr int kExitNoPrinterNamed = 6;  // info, upgrade: --printer names no printer
inline constexpr int kExitSeveralNamed = 7;    // info, upgrade: --printer names several
inline constexpr int kExitUsage = 64;          // wrong arguments or environment
inline constexpr int kExitInterrupted = 130;   // interrupted while no upgrade ran

// The exit status for the display an upgrade run ended on. A run that ended with a message
// or a decline leaves the start screen up; a display that is no end display at all counts as
// a failure, so nothing but the success display ever gives 0.
int ExitCodeForScreen(ui::MainScreen screen);

}  // namespace tessel::ui::cli
