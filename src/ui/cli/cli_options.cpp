#include "ui/cli/cli_options.h"

#include <cstdlib>

#include "ui/tool_text.h"

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
        return Wrong(ui::ToolTextUtf8(ui::ToolText::kUsageNoCommand));
    }
    CliOptions options;
    const std::string_view command = args.front();
    const auto rest = args.subspan(1);
    if (IsHelp(command)) {
        if (!rest.empty()) {
            return Wrong(ui::ToolTextUtf8(ui::ToolText::kUsageNoArguments, {command}));
        }
        options.command = Command::kHelp;
        return {options, {}};
    }
    if (command == "--version") {
        if (!rest.empty()) {
            return Wrong(ui::ToolTextUtf8(ui::ToolText::kUsageNoArguments, {command}));
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
                return Wrong(ui::ToolTextUtf8(ui::ToolText::kUsageUnknownOption, {command, arg}));
            }
            if (options.answer != PresetAnswer::kAsk && options.answer != answer) {
                return Wrong(
                    ui::ToolTextUtf8(ui::ToolText::kUsageExclusive, {command, "--yes", "--no"}));
            }
            options.answer = answer;
        }
        return {options, {}};
    }
    if (command == "info") {
        options.command = Command::kInfo;
        for (const std::string_view arg : rest) {
            if (arg != "--json") {
                return Wrong(ui::ToolTextUtf8(ui::ToolText::kUsageUnknownOption, {command, arg}));
            }
            options.json = true;
        }
        return {options, {}};
    }
    if (command == "log") {
        if (!rest.empty()) {
            return Wrong(ui::ToolTextUtf8(ui::ToolText::kUsageNoArguments, {command}));
        }
        options.command = Command::kLog;
        return {options, {}};
    }
    return Wrong(ui::ToolTextUtf8(ui::ToolText::kUsageUnknownCommand, {command}));
}

std::string UsageText() {
    return ui::ToolTextUtf8(ui::ToolText::kHelp);
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
