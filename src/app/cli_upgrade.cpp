#include "app/cli_upgrade.h"

#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>

#include "app/animation_driver.h"
#include "app/terminal_view.h"
#include "ui/main_display_model.h"
#include "ui/upgrade_display.h"
#include "upgrade/upgrade_worker.h"

namespace tessel::app {
namespace {

// What an interrupt may reach of the run in progress. Interrupts arrive on a thread of their
// own, at any time: everything here is read and written under the mutex.
struct InterruptTarget {
    std::mutex mutex;
    ui::MainDisplayModel* model = nullptr;  // while a run is on
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

// Answers the message dialog. The dialog's text is on the console already (the change that
// opened it was drawn before the handler runs).
class DialogAnswerer {
  public:
    DialogAnswerer(PresetAnswer preset, platform::Console& console,
                   std::function<void(std::string_view)> note)
        : preset_(preset), console_(console), note_(std::move(note)) {}

    std::int32_t operator()(const ui::MessageDialogView& dialog) {
        if (dialog.layout != ui::kLayoutYesNo) {
            return ui::kAnswerOk;  // a notice: shown, nothing to decide
        }
        switch (preset_) {
            case PresetAnswer::kYes:
                note_("> " + Label(dialog, ui::kAnswerYes) + " (--yes)");
                return ui::kAnswerYes;
            case PresetAnswer::kNo:
                note_("> " + Label(dialog, ui::kAnswerNo) + " (--no)");
                return ui::kAnswerNo;
            case PresetAnswer::kAsk:
                break;
        }
        if (!console_.InputIsTerminal()) {
            note_("> " + Label(dialog, dialog.dismissed_answer) +
                  " (no terminal to ask on; --yes upgrades anyway)");
            return dialog.dismissed_answer;
        }
        for (;;) {
            SetAsking(true);
            console_.Write("> ");
            const std::optional<std::string> line = console_.ReadLine();
            SetAsking(false);
            if (!line) {
                console_.Write("\n");
                note_("> " + Label(dialog, dialog.dismissed_answer) + " (not answered)");
                return dialog.dismissed_answer;
            }
            if (const std::optional<std::int32_t> answer = AnswerFromInput(*line, dialog)) {
                return *answer;
            }
            note_("Please answer y (" + Label(dialog, ui::kAnswerYes) + ") or n (" +
                  Label(dialog, ui::kAnswerNo) + ").");
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
};

}  // namespace

void OnInterrupt(platform::Console& console) {
    InterruptTarget& target = Target();
    std::lock_guard lock(target.mutex);
    if (target.asking) {
        console.CancelRead();  // the question ends unanswered
        return;
    }
    if (target.model == nullptr || target.model->RequestQuit()) {
        console.WriteError("\ntessel-cli: interrupted\n");
        std::_Exit(kExitInterrupted);
    }
    target.note(kInterruptRefused);
}

int RunUpgrade(PresetAnswer answer, platform::Console& console, platform::Clock& clock,
               std::uint16_t langid) {
    ui::MainDisplayModel model(clock);
    model.Initialise(langid);

    TerminalView view(console.OutputIsTerminal());
    std::mutex render_mutex;
    // Snapshots are taken under the render lock, so they are drawn in the order of the model.
    const auto render = [&] {
        std::lock_guard lock(render_mutex);
        console.Write(view.Render(model.Snapshot()));
    };
    const auto note = [&](std::string_view line) {
        std::lock_guard lock(render_mutex);
        console.Write(view.Line(line));
    };

    AnimationDriver animation(model, clock);
    model.SetChangeListener([&](std::uint64_t) {
        render();
        animation.Wake();
    });
    model.SetMessageDialogHandler(DialogAnswerer(answer, console, note));
    {
        InterruptTarget& target = Target();
        std::lock_guard lock(target.mutex);
        target.model = &model;
        target.note = note;
    }
    render();

    const bool started = upgrade::OnStartUpgrade(model);
    upgrade::WaitForUpgradeWorker();

    {
        InterruptTarget& target = Target();
        std::lock_guard lock(target.mutex);
        target.model = nullptr;
        target.note = nullptr;
    }
    animation.Stop();
    model.SetChangeListener(nullptr);
    model.SetMessageDialogHandler(nullptr);
    {
        std::lock_guard lock(render_mutex);
        console.Write(view.Render(model.Snapshot()));
        console.Write(view.Finish());
    }
    if (!started) {
        console.WriteError("tessel-cli: another upgrade is already running\n");
        return kExitFailed;
    }
    return ExitCodeForScreen(model.Snapshot().screen);
}

}  // namespace tessel::app
