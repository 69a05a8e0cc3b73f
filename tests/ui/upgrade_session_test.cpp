#include "ui/upgrade_session.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <optional>
#include <vector>

#include "fake_discovery.h"
#include "language_state.h"
#include "test_ui_thread.h"
#include "ui/ui_text.h"
#include "upgrade/upgrade_worker.h"
#include "virtual_clock.h"

namespace tessel::ui {
namespace {

using testing::Await;
using testing::TestUiThread;
using testing::Within;

// Records what the session gives the front end; hooks let a test act inside the calls.
class RecordingFrontEnd final : public SessionFrontEnd {
  public:
    struct Rendered {
        MainDisplayView previous;
        MainDisplayView current;
        ViewChanges changes;
    };

    std::function<void(const MainDisplayView&)> on_render;
    std::function<std::optional<std::int32_t>(const MessageDialogView&)> on_ask;

    void Render(const MainDisplayView& previous, const MainDisplayView& current,
                const ViewChanges& changes) override {
        EXPECT_FALSE(in_render_) << "Render inside Render";
        in_render_ = true;
        {
            std::lock_guard lock(mutex_);
            renders_.push_back({previous, current, changes});
        }
        if (on_render) {
            on_render(current);
        }
        in_render_ = false;
    }
    std::optional<std::int32_t> AskMessageDialog(const MessageDialogView& dialog) override {
        {
            std::lock_guard lock(mutex_);
            asked_.push_back(dialog);
            dialog_shown_when_asked_ = renders_.back().current.message_dialog == dialog;
        }
        return on_ask ? on_ask(dialog) : std::nullopt;
    }

    std::vector<Rendered> renders() const {
        std::lock_guard lock(mutex_);
        return renders_;
    }
    MainDisplayView Shown() const {
        std::lock_guard lock(mutex_);
        return renders_.back().current;
    }
    std::size_t AskedCount() const {
        std::lock_guard lock(mutex_);
        return asked_.size();
    }
    bool DialogShownWhenAsked() const {
        std::lock_guard lock(mutex_);
        return dialog_shown_when_asked_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<Rendered> renders_;
    std::vector<MessageDialogView> asked_;
    bool dialog_shown_when_asked_ = false;
    bool in_render_ = false;  // UI thread only
};

// The session on a UI thread of its own, with the virtual clock; the test thread and the
// threads it starts play the worker.
class UpgradeSessionTest : public testing::LanguageStateTest {
  protected:
    void Open(platform::Clock* clock = nullptr) {
        ui_.Run("opening the session", [&] {
            session_.emplace(clock ? *clock : clock_, ui_, front_);
            session_->Initialise(0x0409);
        });
    }
    void TearDown() override {
        ui_.Run("closing the session", [&] { session_.reset(); });
        LanguageStateTest::TearDown();
    }
    template <typename F>
    auto OnWorker(F call) {
        return std::async(std::launch::async, call);
    }
    void OnUi(std::function<void()> fn) { ui_.Run("a call on the UI thread", std::move(fn)); }

    tessel::testing::VirtualClock clock_;
    TestUiThread ui_{clock_};
    RecordingFrontEnd front_;
    std::optional<UpgradeSession> session_;  // made and ended on the UI thread
};

TEST_F(UpgradeSessionTest, UiThreadCallsRenderBeforeTheyReturn) {
    Open();
    auto renders = front_.renders();
    ASSERT_EQ(renders.size(), 1u);
    EXPECT_EQ(renders[0].changes, ViewChanges::All());
    EXPECT_EQ(renders[0].previous, MainDisplayView{});
    EXPECT_EQ(renders[0].current.screen, MainScreen::kStart);
    EXPECT_EQ(upgrade::g_pMainDlg, &*session_);

    OnUi([&] {
        session_->ShowUpgradeState(upgrade::kStateProgress, 0);
        // Rendered on the way, without waiting for anything.
        EXPECT_EQ(front_.Shown().screen, MainScreen::kProgress);
        EXPECT_EQ(front_.Shown().revision, session_->Snapshot().revision);
    });
    renders = front_.renders();
    ASSERT_EQ(renders.size(), 2u);
    EXPECT_EQ(renders[1].previous, renders[0].current);
    EXPECT_TRUE(renders[1].changes.Of(&MainDisplayView::status_line).text);
    EXPECT_TRUE(renders[1].changes.progress);
    EXPECT_FALSE(renders[1].changes.exit_button);
}

TEST_F(UpgradeSessionTest, AWorkerCallReturnsOnlyOnceTheUiThreadHasRenderedIt) {
    Open();
    std::atomic<bool> returned{false};
    std::optional<bool> returned_when_rendered;
    front_.on_render = [&](const MainDisplayView& view) {
        if (view.screen == MainScreen::kProgress) {
            returned_when_rendered = returned.load();
        }
    };
    // The UI thread is busy: the worker's change waits for it.
    std::promise<void> release;
    ui_.Post([busy = release.get_future().share()] { busy.wait(); });
    auto worker = OnWorker([&] {
        session_->ShowUpgradeState(upgrade::kStateProgress, 0);
        returned = true;
    });
    EXPECT_EQ(worker.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    EXPECT_EQ(front_.renders().size(), 1u);

    release.set_value();
    Within("the worker's call", worker);
    EXPECT_EQ(returned_when_rendered, false);
    EXPECT_EQ(front_.Shown().revision, session_->Snapshot().revision);
}

// A step within a phase (a payload reports every write) does not wait for the busy UI thread,
// which shows it when it gets to it; a new phase waits as every other call does.
TEST_F(UpgradeSessionTest, AStepWithinAPhaseDoesNotWaitForTheRender) {
    Open();
    std::promise<void> release;
    ui_.Post([busy = release.get_future().share()] { busy.wait(); });
    const upgrade::PhaseReport first{upgrade::UpgradePhase::kSendingFirmware, 0, 100, 0,
                                     std::nullopt};
    auto phase_begins = OnWorker([&] { session_->ShowPhase(first); });
    EXPECT_EQ(phase_begins.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    release.set_value();
    Within("the new phase", phase_begins);

    std::promise<void> release_again;
    ui_.Post([busy = release_again.get_future().share()] { busy.wait(); });
    const upgrade::PhaseReport step{upgrade::UpgradePhase::kSendingFirmware, 50, 100, 10, 5};
    auto steps = OnWorker([&] { session_->ShowPhase(step); });
    Within("a step of the phase", steps);  // while the UI thread is still busy
    release_again.set_value();
    // The payload's last step is shown before the worker goes on.
    const upgrade::PhaseReport last{upgrade::UpgradePhase::kSendingFirmware, 100, 100, 10, 0};
    auto ends = OnWorker([&] { session_->ShowPhase(last); });
    Within("the payload's last step", ends);
    EXPECT_EQ(front_.Shown().phase, last);
}

// The animation's tick is the UI thread's own call: it renders at once, and its render, which
// shows the worker's change too, releases the worker.
TEST_F(UpgradeSessionTest, ATickOnTheUiThreadReleasesAWorkerWaitingForItsRender) {
    Open();
    OnUi([&] {
        session_->ShowUpgradeState(upgrade::kStateProgress, 0);
        session_->ShowUpgradeState(upgrade::kStateAnimation, 0);
    });
    std::atomic<bool> returned{false};
    std::future<void> worker;
    OnUi([&] {
        const std::uint64_t before = session_->Snapshot().revision;
        worker = OnWorker([&] {
            session_->EnableCloseItem(false);
            returned = true;
        });
        Await("the worker's change", [&] { return session_->Snapshot().revision > before; });
        EXPECT_FALSE(returned);  // its render is queued behind this task
        clock_.AdvanceMs(kAnimationTickMs);
        EXPECT_TRUE(ui_.FireDueTimer());
        Await("the worker released by the tick", [&] { return returned.load(); });
    });
    Within("the worker's call", worker);
    const MainDisplayView shown = front_.Shown();
    EXPECT_EQ(shown.progress.position, 1);
    EXPECT_FALSE(shown.close_item_present);
}

// Neither side holds anything the other needs while the front end renders: the worker changes
// the model meanwhile and waits only for the render that follows; a change the front end makes
// from inside Render comes right after it, not inside it, and does not wait either.
TEST_F(UpgradeSessionTest, AWorkerCallWhileTheUiThreadIsInsideRender) {
    Open();
    std::atomic<bool> returned{false};
    std::future<void> worker;
    bool hooked = false;
    front_.on_render = [&](const MainDisplayView& view) {
        if (hooked || view.screen != MainScreen::kProgress) {
            return;
        }
        hooked = true;
        worker = OnWorker([&] {
            session_->EnableCloseItem(false);
            returned = true;
        });
        Await("the worker's change during Render",
              [&] { return session_->Snapshot().revision > view.revision; });
        EXPECT_FALSE(returned);
        session_->ShowUpgradeState(upgrade::kStateProgress, 5);
    };
    OnUi([&] { session_->ShowUpgradeState(upgrade::kStateProgress, 0); });
    Within("the worker's call", worker);

    const auto renders = front_.renders();
    ASSERT_GE(renders.size(), 3u);
    EXPECT_EQ(renders[1].current.progress.position, 1);
    EXPECT_EQ(renders[2].current.progress.position, 5);
    EXPECT_TRUE(renders[2].changes.progress);
    EXPECT_FALSE(front_.Shown().close_item_present);
}

TEST_F(UpgradeSessionTest, TheUiThreadAnswersTheDialogWhileTheWorkerWaits) {
    struct Case {
        const char* what;
        std::optional<std::int32_t> at_once;         // returned by AskMessageDialog
        std::function<void(UpgradeSession&)> later;  // else given on the UI thread
        std::int32_t expected;
    };
    const Case cases[] = {
        {"Yes, later", std::nullopt,
         [](UpgradeSession& s) { s.AnswerMessageDialog(upgrade::kAnswerYes); },
         upgrade::kAnswerYes},
        {"dismissed", std::nullopt, [](UpgradeSession& s) { s.DismissMessageDialog(); },
         upgrade::kAnswerNo},
        {"an answer not offered", std::nullopt,
         [](UpgradeSession& s) { s.AnswerMessageDialog(upgrade::kAnswerOk); }, upgrade::kAnswerNo},
        {"Yes, at once", upgrade::kAnswerYes, nullptr, upgrade::kAnswerYes},
    };
    Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::size_t asked = front_.AskedCount();
        front_.on_ask = [&](const MessageDialogView&) { return c.at_once; };
        auto worker = OnWorker([&] {
            return session_->ShowMessageDialog(GetUiText(kTextSameFirmware), upgrade::kLayoutYesNo);
        });
        Await("the question", [&] { return front_.AskedCount() == asked + 1; });
        EXPECT_TRUE(front_.DialogShownWhenAsked());
        if (c.later) {
            EXPECT_EQ(worker.wait_for(std::chrono::milliseconds(0)), std::future_status::timeout);
            OnUi([&] { c.later(*session_); });
        }
        EXPECT_EQ(Within("the answered question", worker), c.expected);
        // The closed dialog was rendered before the worker went on.
        EXPECT_FALSE(front_.Shown().message_dialog.has_value());
    }
}

TEST_F(UpgradeSessionTest, ClosingReleasesAWorkerThatWaits) {
    Open();
    auto worker = OnWorker([&] {
        const std::int32_t answer =
            session_->ShowMessageDialog(GetUiText(kTextSameFirmware), upgrade::kLayoutYesNo);
        session_->ShowUpgradeState(upgrade::kStateNotReady,
                                   0);  // changes the model, waits for nothing
        return answer;
    });
    Await("the question", [&] { return front_.AskedCount() == 1; });
    OnUi([&] { session_->Close(); });
    EXPECT_EQ(Within("the worker after the close", worker), upgrade::kAnswerNo);
    EXPECT_EQ(session_->Snapshot().screen, MainScreen::kNotReady);
    EXPECT_EQ(upgrade::g_pMainDlg, nullptr);
}

// The timer is set from the model's next tick, in real time: on a clock compressed 100 times a
// 2,800 ms period is a 28 ms timer.
TEST_F(UpgradeSessionTest, TheAnimationRunsOnTheModelsClockThroughTheLoopsTimer) {
    platform::ScaledClock compressed(clock_, 0.01);
    Open(&compressed);
    EXPECT_EQ(ui_.ArmedDelayMs(), std::nullopt);
    OnUi([&] {
        session_->ShowUpgradeState(upgrade::kStateProgress, 0);
        session_->ShowUpgradeState(upgrade::kStateAnimation, 0);
    });
    EXPECT_EQ(ui_.ArmedDelayMs(), 28);
    EXPECT_FALSE(ui_.Elapse(27));
    EXPECT_TRUE(ui_.Elapse(1));
    EXPECT_EQ(front_.Shown().progress.position, 1);
    EXPECT_EQ(ui_.ArmedDelayMs(), 28);

    // A timer that comes late loses no tick and is set for the rest of the period.
    EXPECT_TRUE(ui_.Elapse(28 * 10 + 8));
    EXPECT_EQ(front_.Shown().progress.position, 11);
    EXPECT_EQ(ui_.ArmedDelayMs(), 20);

    for (int tick = 12; tick <= 99; ++tick) {
        ASSERT_TRUE(ui_.Elapse(28)) << tick;
    }
    EXPECT_EQ(front_.Shown().progress.position, 99);
    EXPECT_TRUE(ui_.Elapse(28));
    EXPECT_EQ(front_.Shown().screen, MainScreen::kFailure);
    EXPECT_EQ(ui_.ArmedDelayMs(), std::nullopt);  // the animation ended: no timer
}

// No device to open: the status check fails.
class NoDevices final : public platform::DeviceFiles {
  public:
    std::unique_ptr<platform::DeviceFile> Open(const std::u16string&) override { return nullptr; }
};

// The real worker, started by the session, on fake discovery services.
TEST_F(UpgradeSessionTest, StartRunsTheWorkerOnTheSessionUntilItsEnd) {
    struct Case {
        const char* what;
        std::vector<tessel::testing::FakeElement> printers;
        std::vector<std::u16string> rows;
        int selection;
        MainScreen screen;
        bool asked;
    };
    const Case cases[] = {
        {"no printer", {}, {}, PrinterListView::kNoSelection, MainScreen::kStart, true},
        {"a printer that cannot be opened",
         {tessel::testing::Printer(u"USB\\VID_7A3C&PID_0C12\\A", u"A", 1)},
         {u"Bexlot r7200 Series"},
         0,
         MainScreen::kNotReady,
         false},
    };
    tessel::testing::RecordingDebugOutput debug;
    NoDevices devices;
    tessel::testing::FakeUsbPrinterInterfaces usb;
    tessel::testing::FakePrintSpooler spooler;
    tessel::testing::FakeDeviceConfigFlags flags;
    const platform::ScopedServices services(
        platform::Services{&clock_, &debug, &devices, &usb, &spooler, &flags});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        usb.elements = c.printers;
        const std::size_t asked = front_.AskedCount();
        Open();
        front_.on_ask = [&](const MessageDialogView& dialog) {
            EXPECT_FALSE(session_->RequestQuit());  // the worker waits for this answer
            EXPECT_EQ(dialog.text, GetUiText(kTextNoPrinter));
            return upgrade::kAnswerOk;
        };
        bool started = false;
        OnUi([&] { started = session_->Start(); });
        ASSERT_TRUE(started);
        Await("the worker's end", [&] { return !front_.Shown().worker_running; });

        const MainDisplayView shown = front_.Shown();
        EXPECT_EQ(shown.screen, c.screen);
        EXPECT_EQ(shown.printer_list.rows, c.rows);
        EXPECT_EQ(shown.printer_list.selection, c.selection);
        EXPECT_EQ(front_.AskedCount() > asked, c.asked);
        bool may_quit = false;
        OnUi([&] {
            may_quit = session_->RequestQuit();
            session_.reset();  // waits for the worker's last step
        });
        EXPECT_TRUE(may_quit);
        EXPECT_EQ(upgrade::bUpgrading.load(), 0);
    }
}

}  // namespace
}  // namespace tessel::ui
