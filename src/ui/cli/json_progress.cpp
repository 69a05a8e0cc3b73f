#include "ui/cli/json_progress.h"

#include <nlohmann/json.hpp>

#include "platform/text.h"
#include "ui/cli/cli_info.h"
#include "ui/cli/terminal_view.h"
#include "ui/tool_text.h"
#include "upgrade/upgrade_display.h"

namespace tessel::ui::cli {
namespace {

const char* ScreenName(ui::MainScreen screen) {
    switch (screen) {
        case ui::MainScreen::kStart:
            return "start";
        case ui::MainScreen::kBlank:
            return "blank";
        case ui::MainScreen::kProgress:
            return "progress";
        case ui::MainScreen::kSuccess:
            return "success";
        case ui::MainScreen::kFailure:
            return "failure";
        case ui::MainScreen::kNotReady:
            return "not_ready";
    }
    return "unknown";
}

std::string Line(const nlohmann::json& object) {
    return object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace

const char* JsonProgress::PhaseName(upgrade::UpgradePhase phase) {
    return upgrade::PhaseKey(phase).data();  // a literal: terminated
}

std::string JsonProgress::Render(const ui::MainDisplayView& view) {
    if (started_ && view.revision <= revision_) {
        return {};
    }
    started_ = true;
    revision_ = view.revision;
    std::string out;
    if (view.phase != phase_ && view.phase.phase != upgrade::UpgradePhase::kNone) {
        out += PhaseLine(view.phase);
    }
    phase_ = view.phase;
    if (view.screen != screen_) {
        screen_ = view.screen;
        if (screen_ != ui::MainScreen::kBlank) {
            out += Line({{"event", "display"}, {"display", ScreenName(screen_)}});
        }
    }
    // Why the run ended: once, after its end display.
    const bool ended =
        view.screen == ui::MainScreen::kFailure || view.screen == ui::MainScreen::kNotReady;
    if (ended && view.cause && !cause_shown_) {
        out += CauseLine(*view.cause);
    }
    cause_shown_ = ended && view.cause;
    // The success display hides the bar as it fills it: its 100 is reported too.
    const bool shown = view.progress.visible || view.screen == ui::MainScreen::kSuccess;
    const std::optional<int> progress =
        shown ? std::optional<int>(view.progress.position) : std::nullopt;
    if (progress && progress != progress_) {
        out += Line({{"event", "progress"}, {"value", *progress}});
    }
    progress_ = progress;
    return out;
}

std::string JsonProgress::Dialog(const ui::MessageDialogView& dialog, std::int32_t answer) {
    const char* name = answer == upgrade::kAnswerYes  ? "yes"
                       : answer == upgrade::kAnswerNo ? "no"
                                                      : "ok";
    return Line({{"event", "dialog"},
                 {"layout", dialog.layout == upgrade::kLayoutYesNo ? "yes_no" : "ok"},
                 {"text", TerminalText(dialog.text)},
                 {"answer", name}});
}

std::string JsonProgress::PhaseLine(const upgrade::PhaseReport& phase) {
    nlohmann::json event{{"event", "phase"}, {"phase", PhaseName(phase.phase)}};
    if (phase.bytes_total > 0) {
        event["bytes_sent"] = phase.bytes_sent;
        event["bytes_total"] = phase.bytes_total;
        event["bytes_per_second"] = phase.bytes_per_second;
    }
    if (phase.seconds_left) {
        event["seconds_left"] = *phase.seconds_left;
    }
    return Line(event);
}

std::string JsonProgress::CauseLine(const upgrade::RunCause& cause) {
    nlohmann::json event{
        {"event", "cause"},
        {"reason", std::string(upgrade::RunReasonKey(cause.reason))},
        {"phase", PhaseName(cause.phase)},
        {"bytes_sent", cause.bytes_sent},
        {"bytes_total", cause.bytes_total},
        {"text", platform::Utf16ToUtf8(ui::RunCauseText(cause, ui::UiLanguageBlock()))}};
    if (cause.reason == upgrade::RunReason::kNotReadyStatus) {
        event["status"] = cause.status;
    }
    if (cause.system != platform::OpenFailure::kNone) {
        event["system_error"] = OpenFailureName(cause.system);
    }
    return Line(event);
}

std::string JsonProgress::ConfirmationLine(const Confirmation& confirmation) {
    nlohmann::json event{{"event", "confirmation"},
                         {"outcome", confirmation.outcome == ConfirmOutcome::kConfirmed ? "confirmed"
                                     : confirmation.outcome == ConfirmOutcome::kOtherVersion
                                         ? "other_version"
                                         : "not_back"}};
    if (!confirmation.version.empty()) {
        event["version"] = confirmation.version;
    }
    return Line(event);
}

std::string JsonProgress::Exit(int status) {
    return Line({{"event", "exit"}, {"status", status}});
}

}  // namespace tessel::ui::cli
