#include "ui/cli/cli_upgrade.h"

#include <cstdlib>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "discovery/printer_list.h"
#include "discovery/usb_discovery.h"
#include "platform/text.h"
#include "ui/cli/cli_confirm.h"
#include "ui/cli/cli_loop.h"
#include "ui/cli/json_progress.h"
#include "ui/cli/cli_printer_choice.h"
#include "ui/cli/terminal_view.h"
#include "ui/tool_text.h"
#include "ui/upgrade_session.h"
#include "upgrade/upgrade_display.h"

namespace tessel::ui::cli {
namespace {

// What an interrupt may reach of the run in progress. Interrupts arrive on a thread of their
// own, at any time: everything here is read and written under the mutex.
struct InterruptTarget {
    std::mutex mutex;
    ui::UpgradeSession* session = nullptr;  // while a run is on
    std::function<void(std::string_view)> note;
    bool asking = false;  // the question waits for a typed answer
};

InterruptTarget& Target() {
    static InterruptTarget target;
    return target;
}

std::string Label(const ui::MessageDialogView& dialog, std::int32_t answer) {
    const ui::MessageButtonView* button = dialog.Button(answer);
    return button ? TerminalText(button->label) : std::string();
}

// Answers the message dialog. The dialog's text is on the console already (the session draws
// the change that opened it before it asks).
class DialogAnswerer {
  public:
    // `may_ask`: the question may be asked on the terminal (not while standard output carries
    // JSON).
    DialogAnswerer(PresetAnswer preset, platform::Console& console,
                   std::function<void(std::string_view)> note, bool may_ask = true)
        : preset_(preset), console_(console), note_(std::move(note)), may_ask_(may_ask) {}

    std::int32_t operator()(const ui::MessageDialogView& dialog) {
        if (dialog.layout != upgrade::kLayoutYesNo) {
            return upgrade::kAnswerOk;  // a notice: shown, nothing to decide
        }
        switch (preset_) {
            case PresetAnswer::kYes:
                note_("> " + Label(dialog, upgrade::kAnswerYes) + " (--yes)");
                return upgrade::kAnswerYes;
            case PresetAnswer::kNo:
                note_("> " + Label(dialog, upgrade::kAnswerNo) + " (--no)");
                return upgrade::kAnswerNo;
            case PresetAnswer::kAsk:
                break;
        }
        if (!may_ask_ || !console_.InputIsTerminal()) {
            note_("> " + Label(dialog, dialog.dismissed_answer) + " (" +
                  ui::ToolTextUtf8(ui::ToolText::kAnswerNoTerminal, {"--yes"}) + ")");
            return dialog.dismissed_answer;
        }
        for (;;) {
            SetAsking(true);
            console_.Write("> ");
            const std::optional<std::string> line = console_.ReadLine();
            SetAsking(false);
            if (!line) {
                console_.Write("\n");
                note_("> " + Label(dialog, dialog.dismissed_answer) + " (" +
                      ui::ToolTextUtf8(ui::ToolText::kAnswerNotGiven) + ")");
                return dialog.dismissed_answer;
            }
            if (const std::optional<std::int32_t> answer = AnswerFromInput(*line, dialog)) {
                return *answer;
            }
            note_(ui::ToolTextUtf8(
                ui::ToolText::kAnswerPlease,
                {Label(dialog, upgrade::kAnswerYes), Label(dialog, upgrade::kAnswerNo)}));
        }
    }

  private:
    static void SetAsking(bool asking) {
        InterruptTarget& target = Target();
        std::lock_guard lock(target.mutex);
        target.asking = asking;
    }

    PresetAnswer preset_;
    platform::Console& console_;
    std::function<void(std::string_view)> note_;
    bool may_ask_;
};

// The console as the session's front end: each render is the terminal view's text for it; the
// question is asked on the UI thread, which has nothing else to do while the worker waits.
class CliFrontEnd final : public ui::SessionFrontEnd {
  public:
    CliFrontEnd(TerminalView& view, JsonProgress* json, std::mutex& render_mutex,
                platform::Console& console, DialogAnswerer answerer)
        : view_(view),
          json_(json),
          render_mutex_(render_mutex),
          console_(console),
          answerer_(std::move(answerer)) {}

    void Render(const ui::MainDisplayView&, const ui::MainDisplayView& current,
                const ui::ViewChanges&) override {
        worker_running_ = current.worker_running;
        std::lock_guard lock(render_mutex_);
        console_.Write(json_ ? json_->Render(current) : view_.Render(current));
    }

    std::optional<std::int32_t> AskMessageDialog(const ui::MessageDialogView& dialog) override {
        const std::int32_t answer = answerer_(dialog);
        if (json_) {
            std::lock_guard lock(render_mutex_);
            console_.Write(JsonProgress::Dialog(dialog, answer));
        }
        return answer;
    }

    // Whether the last render showed a worker running.
    bool WorkerShownRunning() const { return worker_running_; }

  private:
    TerminalView& view_;
    JsonProgress* json_;  // null: the terminal view
    std::mutex& render_mutex_;
    platform::Console& console_;
    DialogAnswerer answerer_;
    bool worker_running_ = false;
};

}  // namespace

void OnInterrupt(platform::Console& console) {
    InterruptTarget& target = Target();
    std::lock_guard lock(target.mutex);
    if (target.asking) {
        console.CancelRead();  // the question ends unanswered
        return;
    }
    if (target.session == nullptr || target.session->RequestQuit()) {
        console.WriteError("\ntessel-cli: " + ui::ToolTextUtf8(ui::ToolText::kInterrupted) + "\n");
        std::_Exit(kExitInterrupted);
    }
    target.note(ui::ToolTextUtf8(ui::ToolText::kInterruptRefused));
}

std::string NoAdministratorRightsNotice() {
    return "tessel-cli: " + ui::ToolTextUtf8(ui::ToolText::kNoAdministratorRights, {"tessel-cli"}) +
           "\n";
}

int RunUpgrade(PresetAnswer answer, platform::Console& console, platform::Clock& clock,
               std::uint16_t langid, bool json, bool confirm,
               const std::optional<std::string>& printer) {
    if (printer) {
        // The worker's own refresh selects the printer named again, or none: a printer that
        // appeared meanwhile under the same name ends the run on the no-printer message.
        std::vector<discovery::FoundUsbPrinter> found;
        discovery::SearchUSBPrinters(found);
        const PrinterChoice choice = ChoosePrinter(*printer, found, true);
        if (choice.status != kExitSuccess) {
            console.WriteError("tessel-cli: " + choice.message + "\n");
            if (json) {
                console.Write(JsonProgress::Exit(choice.status));
            }
            return choice.status;
        }
        discovery::SetChosenPrinter(platform::Utf8ToUtf16(*printer));
    }
    TerminalView view(!json && console.OutputIsTerminal());
    std::optional<JsonProgress> json_progress;
    if (json) {
        json_progress.emplace();
    }
    // Interrupt notices come from a thread of their own: the view is drawn under this lock.
    // With JSON on standard output they go to standard error, and the answers to the question
    // are in the stream's dialog line instead.
    std::mutex render_mutex;
    const auto note = [&](std::string_view line) {
        std::lock_guard lock(render_mutex);
        if (json) {
            console.WriteError(std::string(line) + "\n");
        } else {
            console.Write(view.Line(line));
        }
    };
    CliFrontEnd front_end(view, json_progress ? &*json_progress : nullptr, render_mutex, console,
                          json ? DialogAnswerer(answer, console, [](std::string_view) {}, false)
                               : DialogAnswerer(answer, console, note));
    CliLoop loop;
    ui::UpgradeSession session(clock, loop, front_end);
    session.Initialise(langid);
    {
        InterruptTarget& target = Target();
        std::lock_guard lock(target.mutex);
        target.session = &session;
        target.note = note;
    }

    const bool started = session.Start();
    // The worker's last display call is drawn here, on this thread, before it ends.
    loop.RunUntil([&] { return !front_end.WorkerShownRunning(); });
    session.Close();

    {
        InterruptTarget& target = Target();
        std::lock_guard lock(target.mutex);
        target.session = nullptr;
        target.note = nullptr;
    }
    const int status = started ? ExitCodeForScreen(session.Snapshot().screen) : kExitFailed;
    {
        std::lock_guard lock(render_mutex);
        if (json_progress) {
            console.Write(json_progress->Render(session.Snapshot()));
            if (status != kExitSuccess || !confirm) {
                console.Write(JsonProgress::Exit(status));
            }
        } else {
            console.Write(view.Render(session.Snapshot()));
            console.Write(view.Finish());
        }
    }
    if (!started) {
        console.WriteError("tessel-cli: " + ui::ToolTextUtf8(ui::ToolText::kAnotherRunRunning) +
                           "\n");
    }
    if (status != kExitSuccess || !confirm) {
        return status;
    }
    const upgrade::PhaseReport confirming{upgrade::UpgradePhase::kConfirming, 0, 0, 0,
                                          kConfirmBoundSeconds};
    console.Write(json ? JsonProgress::PhaseLine(confirming)
                       : "-- " + TerminalView::PhaseText(confirming) + "\n");
    const Confirmation confirmation = ConfirmNewVersion();
    const int confirmed_status = confirmation.outcome == ConfirmOutcome::kConfirmed ? kExitSuccess
                                 : confirmation.outcome == ConfirmOutcome::kOtherVersion
                                     ? kExitOtherVersion
                                     : kExitNotBack;
    if (json) {
        console.Write(JsonProgress::ConfirmationLine(confirmation) +
                      JsonProgress::Exit(confirmed_status));
    } else {
        console.Write(ConfirmationText(confirmation) + "\n");
    }
    return confirmed_status;
}

}  // namespace tessel::ui::cli
