// tessel-cli: the command-line front end.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/startup.h"
#include "app/support_log.h"
#include "app/tool_version.h"
#include "payloads/build_info.h"
#include "payloads/payload_format.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/elevation.h"
#include "platform/resources.h"
#include "platform/services.h"
#include "platform/state_folder.h"
#include "platform/text.h"
#include "ui/cli/cli_info.h"
#include "ui/cli/cli_options.h"
#include "ui/cli/cli_upgrade.h"
#include "ui/tool_text.h"
#include "ui/ui_locale.h"
#include "ui/ui_text.h"

namespace {

using namespace tessel;
namespace cli = tessel::ui::cli;

int ShowPayloads(platform::Console& console) {
    using namespace tessel::payloads;
    // The tool's version, then the carried firmware's.
    const std::string label = std::string(app::kToolVersion) + " (" +
                              platform::Utf16ToUtf8(ui::g_strFwVersion) + ")";
    std::string out = ui::ToolTextUtf8(kPayloadsAreStandIns ? ui::ToolText::kPayloadsStandIn
                                                            : ui::ToolText::kPayloadsMakers,
                                       {label}) +
                      "\n";
    int missing = 0;
    for (const PayloadSpec* spec : {&kLoaderSpec, &kFirmwareSpec}) {
        const auto bytes = platform::FindBinaryResource(spec->resource_id);
        const bool ok = bytes && bytes->size() == spec->size && LooksLikePayload(*bytes);
        const std::string name = ui::ToolTextUtf8(spec->resource_id == IDR_BINARY_LOADER
                                                      ? ui::ToolText::kPayloadLoader
                                                      : ui::ToolText::kPayloadFirmware);
        out += "  " +
               ui::ToolTextUtf8(ui::ToolText::kPayloadLine,
                                {name, std::to_string(spec->resource_id),
                                 std::to_string(bytes ? bytes->size() : 0)}) +
               (ok ? std::string() : ui::ToolTextUtf8(ui::ToolText::kPayloadDamaged)) + "\n";
        missing += ok ? 0 : 1;
    }
    console.Write(out);
    return missing == 0 ? 0 : 1;
}

// `tessel-cli log`: the newest run log, as it is.
int PrintLastLog(platform::Console& console) {
    const std::filesystem::path folder = platform::ToolStateFolder();
    const std::optional<std::filesystem::path> log = app::LatestSupportLog(folder);
    if (!log) {
        const std::string where = folder.empty()
                                      ? ui::ToolTextUtf8(ui::ToolText::kNoStateFolder, {"HOME"})
                                      : app::PathText(folder);
        console.WriteError("tessel-cli: " + ui::ToolTextUtf8(ui::ToolText::kNoRunLog, {where}) +
                           "\n");
        return 1;
    }
    std::ifstream in(*log, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
        console.WriteError(
            "tessel-cli: " + ui::ToolTextUtf8(ui::ToolText::kCannotRead, {app::PathText(*log)}) +
            "\n");
        return 1;
    }
    console.Write("# " + app::PathText(*log) + "\n" + text);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    platform::Console& console = platform::SystemConsole();
    // Every text of the program, from the usage errors on, in the user's language.
    const std::uint16_t langid = ui::UiLanguageFromEnvironment(
        [](const char* name) -> const char* { return std::getenv(name); });
    ui::SetUiLanguage(langid);
    const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const cli::ParsedArguments parsed = cli::ParseArguments(args);
    if (!parsed.options) {
        console.WriteError("tessel-cli: " + parsed.error + "\n" + std::string(cli::UsageText()));
        return cli::kExitUsage;
    }
    const cli::CliOptions& options = *parsed.options;
    switch (options.command) {
        case cli::Command::kHelp:
            console.Write(cli::UsageText());
            return cli::kExitSuccess;
        case cli::Command::kVersion:
            return ShowPayloads(console);
        case cli::Command::kLog:
            return PrintLastLog(console);
        case cli::Command::kUpgrade:
        case cli::Command::kInfo:
            break;
    }

    // Before any thread starts: every thread inherits the blocked interrupt signals.
    console.TakeInterrupts([&console] { cli::OnInterrupt(console); });

    const app::TimeScaleChoice time_scale =
        app::ChooseTimeScale(std::getenv("TESSEL_TIME_SCALE"), payloads::kPayloadsAreStandIns);
    if (!time_scale.notice.empty()) {
        console.WriteError(time_scale.notice);
    }
    if (time_scale.error) {
        return cli::kExitUsage;
    }
    // Only an upgrade has a run log.
    const app::Startup startup(time_scale.scale,
                               options.command == cli::Command::kUpgrade ? "tessel-cli upgrade" : "");

    if (options.command == cli::Command::kInfo) {
        const cli::InfoReport report = cli::CollectInfo(options.printer);
        if (report.choice.status != cli::kExitSuccess) {
            console.WriteError("tessel-cli: " + report.choice.message + "\n");
            return report.choice.status;
        }
        console.Write(options.json ? cli::InfoJson(report) : cli::InfoText(report));
        return cli::InfoExitCode(report);
    }
    if (!platform::HasAdministratorRights()) {
        console.WriteError(cli::NoAdministratorRightsNotice());
    }
    const int status = cli::RunUpgrade(options.answer, console, platform::Clk(), langid,
                                       options.json, options.confirm, options.printer);
    if (status != cli::kExitSuccess && !startup.log_path().empty()) {
        console.WriteError(
            "tessel-cli: " +
            ui::ToolTextUtf8(ui::ToolText::kRunLogIs, {app::PathText(startup.log_path())}) + "\n");
    }
    return status;
}
