#include "ui/cli/cli_options.h"

#include <cstdlib>

namespace tessel::ui::cli {
namespace {

ParsedArguments Wrong(std::string error) {
    return ParsedArguments{std::nullopt, std::move(error)};
}

bool IsHelp(std::string_view arg) {
    return arg == "--help" || arg == "-h" || arg == "help";
}

}  // namespace

ParsedArguments ParseArguments(std::span<const std::string_view> args) {
    if (args.empty()) {
        return Wrong("no command given");
    }
    CliOptions options;
    const std::string_view command = args.front();
    const auto rest = args.subspan(1);
    if (IsHelp(command)) {
        if (!rest.empty()) {
            return Wrong("help takes no arguments");
        }
        options.command = Command::kHelp;
        return {options, {}};
    }
    if (command == "--version") {
        if (!rest.empty()) {
            return Wrong("--version takes no arguments");
        }
        options.command = Command::kVersion;
        return {options, {}};
    }
    if (command == "upgrade") {
        options.command = Command::kUpgrade;
        for (const std::string_view arg : rest) {
            PresetAnswer answer = PresetAnswer::kAsk;
            if (arg == "--yes" || arg == "-y") {
                answer = PresetAnswer::kYes;
            } else if (arg == "--no" || arg == "-n") {
                answer = PresetAnswer::kNo;
            } else if (arg == "--json") {
                options.json = true;
                continue;
            } else if (arg == "--no-confirm") {
                options.confirm = false;
                continue;
            } else {
                return Wrong("upgrade: unknown option " + std::string(arg));
            }
            if (options.answer != PresetAnswer::kAsk && options.answer != answer) {
                return Wrong("upgrade: --yes and --no exclude each other");
            }
            options.answer = answer;
        }
        return {options, {}};
    }
    if (command == "info") {
        options.command = Command::kInfo;
        for (const std::string_view arg : rest) {
            if (arg != "--json") {
                return Wrong("info: unknown option " + std::string(arg));
            }
            options.json = true;
        }
        return {options, {}};
    }
    if (command == "log") {
        if (!rest.empty()) {
            return Wrong("log takes no arguments");
        }
        options.command = Command::kLog;
        return {options, {}};
    }
    return Wrong("unknown command " + std::string(command));
}

std::string_view UsageText() {
    return "usage: tessel-cli upgrade [--yes|--no] [--json] [--no-confirm]\n"
           "       tessel-cli info [--json]\n"
           "       tessel-cli log\n"
           "       tessel-cli --version\n"
           "       tessel-cli --help\n"
           "\n"
           "upgrade   upgrades the firmware of the connected printer. When the printer already\n"
           "          runs the carried firmware, --yes upgrades it again and --no stops;\n"
           "          without either the question is asked on a terminal and otherwise\n"
           "          answered No. --json writes the run as JSON lines: each phase,\n"
           "          progress step, display, question with its answer, and the exit status.\n"
           "          After the success display it waits (at most 4 minutes) for the printer\n"
           "          to come back and reads its version; --no-confirm skips that.\n"
           "info      lists the printers found, their status and firmware version, and the\n"
           "          printers that are plugged in but cannot be used. Sends no firmware.\n"
           "log       prints the log of the last upgrade run (every run's log is kept in the\n"
           "          tool's state folder, the last ten runs).\n"
           "--version shows the carried firmware and checks the embedded payloads.\n"
           "\n"
           "Exit status of upgrade: 0 upgraded, 1 failed, 2 printer not ready, 3 ended with a\n"
           "message (no printer, port busy, newer firmware, declined); after the success\n"
           "display 4 when the printer then reports another version, 5 when it did not come\n"
           "back within the wait; 64 wrong usage.\n";
}

int ExitCodeForScreen(ui::MainScreen screen) {
    switch (screen) {
        case ui::MainScreen::kSuccess:
            return kExitSuccess;
        case ui::MainScreen::kNotReady:
            return kExitNotReady;
        case ui::MainScreen::kStart:
            return kExitEndedByMessage;
        case ui::MainScreen::kFailure:
        case ui::MainScreen::kBlank:
        case ui::MainScreen::kProgress:
            break;
    }
    return kExitFailed;
}

}  // namespace tessel::ui::cli
