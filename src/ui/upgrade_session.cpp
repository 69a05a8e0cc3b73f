#include "ui/upgrade_session.h"

#include <algorithm>
#include <utility>

#include "discovery/printer_list.h"
#include "upgrade/upgrade_worker.h"

namespace tessel::ui {

UpgradeSession::UpgradeSession(platform::Clock& clock, UiLoop& loop, SessionFrontEnd& front_end)
    : clock_(clock), loop_(loop), front_end_(front_end), model_(clock) {
    model_.SetChangeListener([this](std::uint64_t revision) { OnModelChanged(revision); });
    model_.SetMessageDialogHandler([this](const MessageDialogView& dialog) { return Ask(dialog); });
}

UpgradeSession::~UpgradeSession() {
    Close();
}

void UpgradeSession::Initialise(std::uint16_t langid, std::u16string_view system_close_text) {
    model_.Initialise(langid, system_close_text);
    upgrade::g_pMainDlg = this;
    discovery::SetPrinterListListener([this](const discovery::PrinterListModel& list) {
        model_.ShowPrinterList(list.View());
        AfterCall();
    });
}

bool UpgradeSession::Start() {
    const bool started = upgrade::OnStartUpgrade(*this);
    started_ = started_ || started;
    return started;
}

bool UpgradeSession::RequestQuit() {
    return model_.RequestQuit();
}

void UpgradeSession::AnswerMessageDialog(std::int32_t answer) {
    {
        std::lock_guard lock(mutex_);
        if (!asking_ || answer_) {
            return;
        }
        answer_ = answer;
    }
    changed_.notify_all();
}

void UpgradeSession::DismissMessageDialog() {
    std::int32_t layout = upgrade::kLayoutOk;
    {
        std::lock_guard lock(mutex_);
        layout = asking_layout_;
    }
    AnswerMessageDialog(DismissedAnswer(layout));
}

MainDisplayView UpgradeSession::Snapshot() const {
    return model_.Snapshot();
}

void UpgradeSession::Close() {
    if (!*alive_) {
        return;
    }
    *alive_ = false;
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
    if (timer_due_ms_) {
        loop_.DisarmTimer();
        timer_due_ms_.reset();
    }
    if (started_) {
        upgrade::WaitForUpgradeWorker();
    }
    if (upgrade::g_pMainDlg == this) {
        upgrade::g_pMainDlg = nullptr;
        discovery::SetPrinterListListener(nullptr);
    }
    model_.SetChangeListener(nullptr);
    model_.SetMessageDialogHandler(nullptr);
}

void UpgradeSession::ShowUpgradeState(std::int32_t state, std::int32_t value) {
    model_.ShowUpgradeState(state, value);
    AfterCall();
}

std::int32_t UpgradeSession::ShowMessageDialog(std::u16string_view text, std::int32_t layout) {
    const std::int32_t answer = model_.ShowMessageDialog(text, layout);
    AfterCall();
    return answer;
}

void UpgradeSession::EnableCloseItem(bool enable) {
    model_.EnableCloseItem(enable);
    AfterCall();
}

void UpgradeSession::EnableStartControls(bool enable) {
    model_.EnableStartControls(enable);
    AfterCall();
}

void UpgradeSession::SetFlashBurnInProgress(bool burning) {
    model_.SetFlashBurnInProgress(burning);
    AfterCall();
}

void UpgradeSession::ShowPhase(const upgrade::PhaseReport& report) {
    bool step = false;  // within the phase shown last, short of its end: bytes sent, time left
    {
        std::lock_guard lock(mutex_);
        step = report.phase == last_phase_ &&
               (report.bytes_total == 0 || report.bytes_sent < report.bytes_total);
        last_phase_ = report.phase;
    }
    model_.ShowPhase(report);
    // A step is shown whenever the front end next renders: the worker does not wait for it, so
    // a window that paints slowly never slows a transfer (a payload reports every write). A
    // new phase, and a payload's last step, wait like every other display call.
    if (!step) {
        AfterCall();
    }
}

void UpgradeSession::ShowOpenFailure(platform::OpenFailure why) {
    model_.ShowOpenFailure(why);
    AfterCall();
}

void UpgradeSession::ShowRunCause(const upgrade::RunCause& cause) {
    model_.ShowRunCause(cause);
    AfterCall();
}

void UpgradeSession::SetWorkerRunning(bool running) {
    model_.SetWorkerRunning(running);
    AfterCall();
}

void UpgradeSession::OnModelChanged(std::uint64_t revision) {
    {
        std::lock_guard lock(mutex_);
        latest_revision_ = std::max(latest_revision_, revision);
        if (closed_) {
            return;
        }
    }
    if (loop_.IsUiThread()) {
        RenderNow();
    } else {
        loop_.Post([this, alive = alive_] {
            if (*alive) {
                RenderNow();
            }
        });
    }
}

void UpgradeSession::AfterCall() {
    if (loop_.IsUiThread()) {
        return;  // rendered already, by the change itself
    }
    // The change announced itself before the operation returned, so the latest revision is at
    // least this call's; any render from now on shows it.
    std::unique_lock lock(mutex_);
    const std::uint64_t revision = latest_revision_;
    changed_.wait(lock, [&] { return closed_ || rendered_revision_ >= revision; });
}

std::int32_t UpgradeSession::Ask(const MessageDialogView& dialog) {
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return dialog.dismissed_answer;
        }
        asking_ = true;
        asking_layout_ = dialog.layout;
        answer_.reset();
    }
    if (loop_.IsUiThread()) {
        // Nobody else could answer while this thread waits: the front end answers now or not.
        AskFrontEnd(dialog);
    } else {
        loop_.Post([this, alive = alive_, dialog] {
            if (*alive) {
                AskFrontEnd(dialog);
            }
        });
    }
    std::unique_lock lock(mutex_);
    if (!loop_.IsUiThread()) {
        changed_.wait(lock, [&] { return closed_ || answer_.has_value(); });
    }
    asking_ = false;
    return answer_.value_or(dialog.dismissed_answer);
}

void UpgradeSession::AskFrontEnd(const MessageDialogView& dialog) {
    RenderNow();  // the front end is asked about a dialog it has shown
    if (const std::optional<std::int32_t> answer = front_end_.AskMessageDialog(dialog)) {
        AnswerMessageDialog(*answer);
    }
}

void UpgradeSession::RenderNow() {
    if (rendering_) {
        render_again_ = true;  // a change made from inside Render: shown right after it
        return;
    }
    rendering_ = true;
    do {
        render_again_ = false;
        MainDisplayView current = model_.Snapshot();
        if (shown_any_ && current.revision <= shown_.revision) {
            continue;
        }
        const ViewChanges changes = shown_any_ ? DiffViews(shown_, current) : ViewChanges::All();
        front_end_.Render(shown_, current, changes);
        shown_ = std::move(current);
        shown_any_ = true;
        {
            std::lock_guard lock(mutex_);
            rendered_revision_ = std::max(rendered_revision_, shown_.revision);
        }
        changed_.notify_all();
    } while (render_again_);
    rendering_ = false;
    ScheduleTick();
}

void UpgradeSession::ScheduleTick() {
    if (!*alive_) {
        return;
    }
    const std::optional<std::int64_t> due = model_.NextAnimationTickMs();
    if (due == timer_due_ms_) {
        return;  // armed for it already, or nothing to arm
    }
    timer_due_ms_ = due;
    if (!due) {
        loop_.DisarmTimer();
        return;
    }
    const std::int64_t delay = std::max<std::int64_t>(0, *due - clock_.NowMs());
    loop_.ArmTimer(clock_.RealDelayMs(delay), [this, alive = alive_] {
        if (*alive) {
            OnTimer();
        }
    });
}

void UpgradeSession::OnTimer() {
    timer_due_ms_.reset();
    model_.AdvanceAnimation();  // renders, and arms the timer again, when a tick was due
    ScheduleTick();             // a timer that came early: armed again for the same tick
}

}  // namespace tessel::ui
