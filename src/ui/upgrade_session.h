// One upgrade as every front end runs it: the main display model, the start request, the
// progress animation on the model's clock, the message dialog's answers and the quit rule, with
// every change of the display brought to the front end's user-interface thread. A front end
// (the Win32 dialog, the Qt window, the command line) gives the session its UI loop and a
// SessionFrontEnd that paints what it is given, and calls Start and RequestQuit for its button
// and its ways out.
//
// Threads. The session is the display the worker uses: it is g_pMainDlg and the display that
// Start hands the worker. Each display operation has taken effect on the UI thread before it
// returns:
// - called on another thread (the worker's), it changes the model and then waits until the UI
//   thread has rendered that revision or a later one;
// - called on the UI thread (the animation's ticks, the start request), it renders at once and
//   never waits.
// The UI thread never waits for the worker. No lock is held while the front end is called or
// while the worker waits, so a worker call made while the UI thread is inside Render only
// waits for the render that follows, and a render the UI thread makes for its own call (a
// tick) releases a worker waiting for an earlier revision. A render that falls due inside
// Render (the front end's own calls) runs right after it.
//
// The message dialog. The worker's ShowMessageDialog opens the dialog in the view; once the UI
// thread has rendered it, the session asks the front end (AskMessageDialog, on the UI thread)
// and the worker waits for the answer, given by returning it or later through
// AnswerMessageDialog or DismissMessageDialog. An answer the layout does not offer counts as
// the dismissal (OK for the notice, No for the question).
//
// The animation. After every render the session arms the loop's timer for the model's next
// tick (NextAnimationTickMs), turning the clock's delay into real time with the clock's own
// conversion, so a compressed clock ticks at its own pace. A late timer loses no tick.
//
// Lifetime. Create, initialise and destroy the session on the UI thread; the loop and the
// front end outlive it. Close (the destructor too) releases every wait of the worker, answers
// an open dialog with its dismissal, and then waits for the worker that Start began, whose
// remaining calls change the model without waiting: no worker is left using a dead display.
// Front ends refuse to end while a worker runs (RequestQuit), so normally there is none.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>

#include "platform/clock.h"
#include "ui/main_display_model.h"
#include "ui/message_dialog_model.h"
#include "ui/ui_loop.h"
#include "ui/view_changes.h"
#include "upgrade/upgrade_display.h"

namespace tessel::ui {

// What a front end does for the session; both run on the UI thread.
class SessionFrontEnd {
  public:
    virtual ~SessionFrontEnd() = default;

    // Shows `current`. `previous` is what the last call showed (a default view before the
    // first call), `changes` the controls that differ (everything on the first call). It must
    // not wait for the worker.
    virtual void Render(const MainDisplayView& previous, const MainDisplayView& current,
                        const ViewChanges& changes) = 0;

    // The worker asks `dialog`, which the last render showed open. Returns the answer when the
    // front end has it at once (a modal dialog, a typed answer), or nothing to answer later
    // through AnswerMessageDialog or DismissMessageDialog.
    virtual std::optional<std::int32_t> AskMessageDialog(const MessageDialogView& dialog) = 0;
};

class UpgradeSession final : public upgrade::UpgradeDisplay {
  public:
    UpgradeSession(platform::Clock& clock, UiLoop& loop, SessionFrontEnd& front_end);
    ~UpgradeSession() override;  // Close()
    UpgradeSession(const UpgradeSession&) = delete;
    UpgradeSession& operator=(const UpgradeSession&) = delete;

    // Builds the start screen (MainDisplayModel::Initialise) and renders it, and makes the
    // session the process's main display: g_pMainDlg, and the copy of the printer list.
    void Initialise(std::uint16_t langid, std::u16string_view system_close_text = {});

    // The start button: starts a worker on this session unless one runs; whether it did.
    bool Start();

    // Every way out of the front end asks first: false while a worker runs.
    bool RequestQuit();

    // The user's answer to the open dialog (any thread); ignored when none waits or it was
    // answered already. Dismiss gives the dialog's dismissal answer.
    void AnswerMessageDialog(std::int32_t answer);
    void DismissMessageDialog();

    // The model's current view (which may be newer than the last render).
    MainDisplayView Snapshot() const;

    // Ends the session (UI thread; see Lifetime above). Idempotent.
    void Close();

    // UpgradeDisplay
    void ShowUpgradeState(std::int32_t state, std::int32_t value) override;
    std::int32_t ShowMessageDialog(std::u16string_view text, std::int32_t layout) override;
    void EnableCloseItem(bool enable) override;
    void EnableStartControls(bool enable) override;
    void SetFlashBurnInProgress(bool burning) override;
    void SetWorkerRunning(bool running) override;
    void ShowPhase(const upgrade::PhaseReport& report) override;
    void ShowOpenFailure(platform::OpenFailure why) override;
    void ShowRunCause(const upgrade::RunCause& cause) override;

  private:
    void OnModelChanged(std::uint64_t revision);
    // After a display operation: off the UI thread, waits until its revision was rendered.
    void AfterCall();
    std::int32_t Ask(const MessageDialogView& dialog);
    void AskFrontEnd(const MessageDialogView& dialog);

    // UI thread only.
    void RenderNow();
    void ScheduleTick();
    void OnTimer();

    platform::Clock& clock_;
    UiLoop& loop_;
    SessionFrontEnd& front_end_;
    MainDisplayModel model_;

    // UI thread only. `alive_` is shared with the tasks and the timer the session posted, which
    // may outlive it in the loop's queue.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    MainDisplayView shown_;
    bool shown_any_ = false;
    bool rendering_ = false;
    bool render_again_ = false;
    std::optional<std::int64_t> timer_due_ms_;  // the tick the armed timer is for
    bool started_ = false;

    mutable std::mutex mutex_;
    std::condition_variable changed_;  // a render, an answer or the close
    std::uint64_t latest_revision_ = 0;
    std::uint64_t rendered_revision_ = 0;
    upgrade::UpgradePhase last_phase_ =
        upgrade::UpgradePhase::kNone;  // of the worker's last ShowPhase
    bool closed_ = false;
    bool asking_ = false;
    std::int32_t asking_layout_ = upgrade::kLayoutOk;
    std::optional<std::int32_t> answer_;
};

}  // namespace tessel::ui
