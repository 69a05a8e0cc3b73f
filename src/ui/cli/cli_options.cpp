#include "ui/cli/cli_options.h"

#include <cstdlib>
#include <functional>

#include "ui/tool_text.h"

namespace tessel::ui::cli {
namespace {

ParsedArguments Wrong(std::string error) {
    return ParsedArguments{std::nullopt, std::move(error)};
}

bool IsHelp(std::string_view arg) {
    return arg == "--help" || arg == "-h" || arg == "help";
}

// Goes through a command's options: --printer SELECTOR (or --printer=SELECTOR) here, every
// other one by `take`, which returns what is wrong with it or nothing.
using OptionTaker = std::function<std::optional<std::string>(std::string_view)>;
std::optional<std::string> TakeOptions(std::string_view command,
                                       std::span<const std::string_view> args,
                                       CliOptions& options, const OptionTaker& take) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        std::optional<std::string_view> value;
        if (arg == kPrinterOption) {
            if (i + 1 < args.size()) {
                value = args[++i];
            }
        } else if (arg.starts_with(kPrinterOption) && arg.size() > kPrinterOption.size() &&
                   arg[kPrinterOption.size()] == '=') {
            value = arg.substr(kPrinterOption.size() + 1);
        } else if (std::optional<std::string> error = take(arg)) {
            return error;
        } else {
            continue;
        }
        if (!value || value->empty()) {
            return ui::ToolTextUtf8(ui::ToolText::kUsageNeedsValue, {command, kPrinterOption});
        }
        if (options.printer) {
            return ui::ToolTextUtf8(ui::ToolText::kUsageRepeated, {command, kPrinterOption});
        }
        options.printer = std::string(*value);
    }
    return std::nullopt;
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
        const auto error = TakeOptions(command, rest, options, [&](std::string_view arg) {
            PresetAnswer answer = PresetAnswer::kAsk;
            if (arg == "--yes" || arg == "-y") {
                answer = PresetAnswer::kYes;
            } else if (arg == "--no" || arg == "-n") {
                answer = PresetAnswer::kNo;
            } else if (arg == "--json") {
                options.json = true;
                return std::optional<std::string>();
            } else if (arg == "--no-confirm") {
                options.confirm = false;
                return std::optional<std::string>();
            } else {
                return std::optional(
                    ui::ToolTextUtf8(ui::ToolText::kUsageUnknownOption, {command, arg}));
            }
            if (options.answer != PresetAnswer::kAsk && options.answer != answer) {
                return std::optional(
                    ui::ToolTextUtf8(ui::ToolText::kUsageExclusive, {command, "--yes", "--no"}));
            }
            options.answer = answer;
            return std::optional<std::string>();
        });
        return error ? Wrong(*error) : ParsedArguments{options, {}};
    }
    if (command == "info") {
        options.command = Command::kInfo;
        const auto error = TakeOptions(command, rest, options, [&](std::string_view arg) {
            if (arg != "--json") {
                return std::optional(
                    ui::ToolTextUtf8(ui::ToolText::kUsageUnknownOption, {command, arg}));
            }
            options.json = true;
            return std::optional<std::string>();
        });
        return error ? Wrong(*error) : ParsedArguments{options, {}};
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
