#include "ui/main_display_model.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "language_state.h"
#include "ui/ui_text.h"
#include "virtual_clock.h"

namespace tessel::ui {
namespace {

class MainDisplayModelTest : public testing::LanguageStateTest {
  protected:
    void Init(std::uint16_t langid = 0x0409, std::u16string_view close_text = {}) {
        model_.Initialise(langid, close_text);
    }
    // Lets `ticks` animation periods pass, polling after each like a front end's timer.
    void Ticks(int ticks) {
        for (int i = 0; i < ticks; ++i) {
            clock_.AdvanceMs(kAnimationTickMs);
            model_.AdvanceAnimation();
        }
    }
    MainDisplayView View() const { return model_.Snapshot(); }
    // Brings the display to where a run stands once the restart wait began. Without `worker`,
    // the animation runs with no worker behind it (one that ended without stopping it).
    void StartRun(bool worker = true) {
        model_.SetWorkerRunning(worker);
        model_.EnableStartControls(false);
        model_.EnableCloseItem(false);
        model_.ShowUpgradeState(upgrade::kStateProgress, 0);
        model_.ShowUpgradeState(upgrade::kStateAnimation, 0);
    }

    tessel::testing::VirtualClock clock_;
    MainDisplayModel model_{clock_};
};

TEST_F(MainDisplayModelTest, StartScreen) {
    Init(0x0409);
    const MainDisplayView v = View();
    EXPECT_EQ(upgrade::g_pMainDlg, &model_);
    EXPECT_EQ(v.screen, MainScreen::kStart);
    EXPECT_EQ(v.title, u"Bexlot  Firmware Upgrade Tool(FW3.3.3.8)");
    EXPECT_EQ(v.font_face, u"\u5B8B\u4F53");
    EXPECT_TRUE(v.tips.visible);
    EXPECT_EQ(v.tips.text, GetUiText(kTextTips) +
                               u"Bexlot R7100 series\r\nBexlot R7200 series\r\n"
                               u"Bexlot R7300 series\r\nBexlot R7400 series\r\n");
    EXPECT_TRUE(v.instruction.visible);
    EXPECT_EQ(v.instruction.text, GetUiText(kTextInstructions));
    EXPECT_TRUE(v.start_button.visible);
    EXPECT_TRUE(v.start_button.enabled);
    EXPECT_EQ(v.start_button.label, u"Start to upgrade");
    EXPECT_FALSE(v.exit_button.visible);
    EXPECT_EQ(v.exit_button.label, u"Exit");
    EXPECT_EQ(v.exit_button.place, DialogUnits(34, 207, 50, 14));
    for (const TextControlView* hidden : {&v.status_line, &v.message, &v.result_text}) {
        EXPECT_FALSE(hidden->visible);
        EXPECT_EQ(hidden->text, u"");
    }
    EXPECT_FALSE(v.progress.visible);
    EXPECT_FALSE(v.result_image.visible);
    EXPECT_EQ(v.result_text.font, FontKind::kBold);
    EXPECT_TRUE(v.close_item_present);
    EXPECT_EQ(v.close_item_text, u"\u5173\u95ED(&C)");  // no text from the system menu
    EXPECT_FALSE(v.animation_running);
    EXPECT_FALSE(v.rtl_reading);
    EXPECT_EQ(v.message.align, TextAlign::kLeft);
}

TEST_F(MainDisplayModelTest, CloseItemKeepsTheSystemsText) {
    Init(0x0409, u"&Close\tAlt+F4");
    EXPECT_EQ(View().close_item_text, u"&Close\tAlt+F4");
}

TEST_F(MainDisplayModelTest, StartScreenLayoutByLanguage) {
    struct Case {
        std::uint16_t langid;
        Place tips;
        Place instruction;
        Place start;
    };
    const Case cases[] = {
        {0x0804, PixelEdges(30, 20, 430, 170), PixelEdges(30, 180, 430, 330),
         DialogUnits(178, 207, 50, 14)},
        {0x0404, PixelEdges(30, 20, 430, 170), PixelEdges(30, 180, 430, 330),
         DialogUnits(178, 207, 50, 14)},
        {0x0410, Pixels(30, 20, 400, 180), Pixels(30, 200, 400, 150), Pixels(270, 362, 140, 25)},
        {0x041F, Pixels(30, 20, 400, 180), Pixels(30, 200, 400, 150), Pixels(280, 362, 130, 25)},
        {0x040D, Pixels(30, 20, 400, 180), Pixels(30, 200, 400, 150), Pixels(280, 362, 130, 25)},
        {0x0419, Pixels(30, 20, 410, 180), Pixels(30, 200, 400, 150), Pixels(280, 362, 130, 25)},
        {0x0409, Pixels(30, 20, 400, 170), Pixels(30, 200, 400, 150), Pixels(290, 362, 120, 25)},
        {0x0411, Pixels(30, 20, 400, 170), Pixels(30, 200, 400, 150), Pixels(290, 362, 120, 25)},
        {0x0407, Pixels(30, 20, 400, 170), Pixels(30, 200, 400, 150), Pixels(290, 362, 120, 25)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "langid 0x" << std::hex << c.langid);
        MainDisplayModel model(clock_);
        model.Initialise(c.langid);
        const MainDisplayView v = model.Snapshot();
        EXPECT_EQ(v.tips.place, c.tips);
        EXPECT_EQ(v.instruction.place, c.instruction);
        EXPECT_EQ(v.start_button.place, c.start);
        EXPECT_EQ(v.start_button.label, GetUiText(kTextStart));
        EXPECT_EQ(v.message.place, PixelEdges(30, 110, 430, 230));
    }
}

TEST_F(MainDisplayModelTest, TitleCarriesTheVersionLabelExceptInHebrew) {
    Init(0x0804);
    EXPECT_EQ(View().title, u"Bexlot\u56FA\u4EF6\u5347\u7EA7\u5DE5\u5177(FW3.3.3.8)");
    Init(0x040D);
    EXPECT_EQ(View().title, GetUiText(kTextTitle));
    EXPECT_EQ(View().title.find(u"FW3.3.3.8"), std::u16string::npos);
}

TEST_F(MainDisplayModelTest, HebrewReadsRightToLeftChineseDoesNot) {
    Init(0x040D);
    MainDisplayView v = View();
    EXPECT_TRUE(v.rtl_reading);
    EXPECT_EQ(v.font_face, u"Arial");
    EXPECT_EQ(v.tips.align, TextAlign::kRight);
    EXPECT_EQ(v.instruction.align, TextAlign::kRight);
    EXPECT_EQ(v.message.align, TextAlign::kRight);
    EXPECT_EQ(v.status_line.align, TextAlign::kCenter);
    EXPECT_EQ(v.result_text.align, TextAlign::kCenter);
    for (const TextControlView* c :
         {&v.tips, &v.instruction, &v.status_line, &v.message, &v.result_text}) {
        EXPECT_TRUE(c->rtl_reading);
    }
    EXPECT_TRUE(v.progress.mirrored);
    model_.ShowUpgradeState(upgrade::kStateProgress, 10);
    EXPECT_EQ(View().message.align, TextAlign::kRight);

    Init(0x0804);
    v = View();
    EXPECT_FALSE(v.rtl_reading);
    EXPECT_EQ(v.tips.align, TextAlign::kLeft);
    EXPECT_FALSE(v.instruction.rtl_reading);
    EXPECT_FALSE(v.progress.mirrored);
}

TEST_F(MainDisplayModelTest, ProgressDisplay) {
    Init();
    model_.ShowUpgradeState(upgrade::kStateProgress, 0);
    MainDisplayView v = View();
    EXPECT_EQ(v.screen, MainScreen::kProgress);
    EXPECT_FALSE(v.tips.visible);
    EXPECT_FALSE(v.instruction.visible);
    EXPECT_FALSE(v.start_button.visible);
    EXPECT_FALSE(v.exit_button.visible);
    EXPECT_TRUE(v.status_line.visible);
    EXPECT_TRUE(v.progress.visible);
    EXPECT_TRUE(v.message.visible);
    EXPECT_FALSE(v.result_text.visible);
    EXPECT_FALSE(v.result_image.visible);
    EXPECT_EQ(v.progress.position, v.progress.minimum);  // 0 is below the range: lowest
    EXPECT_EQ(v.status_line.text, u"The firmware is upgrading, please wait\u2026");
    EXPECT_EQ(v.message.text, GetUiText(kTextProgressNotice));

    // Repeated steps set the texts once; they only move the bar.
    const std::uint32_t status_serial = v.status_line.text_serial;
    const std::uint32_t message_serial = v.message.text_serial;
    model_.ShowUpgradeState(upgrade::kStateProgress, 37);
    model_.ShowUpgradeState(upgrade::kStateProgress, 37);
    v = View();
    EXPECT_EQ(v.progress.position, 37);
    EXPECT_EQ(v.status_line.text_serial, status_serial);
    EXPECT_EQ(v.message.text_serial, message_serial);
}

TEST_F(MainDisplayModelTest, AnimationAdvancesEvery2800MsAndFailsAfter100Ticks) {
    Init();
    StartRun(/*worker=*/false);
    EXPECT_EQ(model_.NextAnimationTickMs(), clock_.NowMs() + 2800);
    clock_.AdvanceMs(2799);
    model_.AdvanceAnimation();
    EXPECT_EQ(View().tick_counter, 0);
    clock_.AdvanceMs(1);
    model_.AdvanceAnimation();
    EXPECT_EQ(View().tick_counter, 1);
    EXPECT_EQ(View().progress.position, 1);

    Ticks(98);
    MainDisplayView v = View();
    EXPECT_EQ(v.screen, MainScreen::kProgress);
    EXPECT_EQ(v.progress.position, 99);
    EXPECT_TRUE(v.animation_running);

    Ticks(1);
    v = View();
    EXPECT_EQ(v.screen, MainScreen::kFailure);
    EXPECT_FALSE(v.animation_running);
    EXPECT_EQ(v.tick_counter, 0);
    EXPECT_EQ(model_.NextAnimationTickMs(), std::nullopt);
    // The failure display hands the window back to the user.
    EXPECT_TRUE(v.exit_button.visible);
    EXPECT_TRUE(v.exit_button.enabled);
    EXPECT_TRUE(v.close_item_present);

    // Stopped: time passing changes nothing.
    Ticks(5);
    EXPECT_EQ(View().revision, v.revision);

    // A new start counts from 1 again.
    model_.ShowUpgradeState(upgrade::kStateAnimation, 0);
    Ticks(1);
    v = View();
    EXPECT_EQ(v.tick_counter, 1);
    EXPECT_EQ(v.screen, MainScreen::kProgress);
    EXPECT_EQ(v.progress.position, 1);
}

TEST_F(MainDisplayModelTest, RestartInTheMiddleOfAPeriodRestartsThePeriod) {
    Init();
    StartRun();
    Ticks(10);
    clock_.AdvanceMs(2000);
    model_.ShowUpgradeState(upgrade::kStateAnimation, 0);
    clock_.AdvanceMs(2000);
    model_.AdvanceAnimation();
    EXPECT_EQ(View().tick_counter, 0);
    clock_.AdvanceMs(800);
    model_.AdvanceAnimation();
    EXPECT_EQ(View().tick_counter, 1);
}

TEST_F(MainDisplayModelTest, TicksDueBeforeACallAreAppliedFirst) {
    // Nobody polled for 280 s; the worker's stop arrives afterwards. The due ticks come first:
    // the bar stands at 99 (the worker still ran), and the success display follows.
    Init();
    StartRun();
    clock_.AdvanceMs(280'000);
    model_.ShowUpgradeState(upgrade::kStateAnimation, 100);
    EXPECT_EQ(View().screen, MainScreen::kProgress);
    EXPECT_EQ(View().progress.position, 99);
    model_.ShowUpgradeState(upgrade::kStateProgress, 100);
    EXPECT_EQ(View().screen, MainScreen::kSuccess);
}

// A slow link: the firmware is still on its way when the animation's 280 s run out. The
// failure display would tell the user to restart the printer in the middle of the transfer;
// the bar stands at 99 instead, for as long as the worker runs, and the worker's own end
// display (success or failure) follows.
TEST_F(MainDisplayModelTest, AnimationHeldAt99WhileTheWorkerStillRuns) {
    for (const std::int32_t end : {upgrade::kStateProgress, upgrade::kStateFailed}) {
        SCOPED_TRACE(end);
        Init();
        StartRun();
        Ticks(99);
        const MainDisplayView at99 = View();
        ASSERT_EQ(at99.progress.position, 99);
        Ticks(150);
        MainDisplayView v = View();
        EXPECT_EQ(v.revision, at99.revision);
        EXPECT_EQ(v.screen, MainScreen::kProgress);
        EXPECT_TRUE(v.animation_running);
        EXPECT_FALSE(v.exit_button.visible);
        EXPECT_FALSE(v.close_item_present);
        EXPECT_FALSE(model_.RequestQuit());
        model_.ShowUpgradeState(upgrade::kStateAnimation, 100);
        model_.ShowUpgradeState(end, end == upgrade::kStateProgress ? 100 : 0);
        model_.SetWorkerRunning(false);
        EXPECT_EQ(View().screen,
                  end == upgrade::kStateProgress ? MainScreen::kSuccess : MainScreen::kFailure);
        EXPECT_TRUE(model_.RequestQuit());
    }
}

TEST_F(MainDisplayModelTest, StopHoldsTheBar) {
    Init();
    StartRun();
    Ticks(50);
    model_.ShowUpgradeState(upgrade::kStateAnimation, 100);
    const MainDisplayView stopped = View();
    EXPECT_FALSE(stopped.animation_running);
    Ticks(100);
    EXPECT_EQ(View().revision, stopped.revision);
    EXPECT_EQ(View().progress.position, 50);
    // A second stop, with nothing running, changes nothing.
    model_.ShowUpgradeState(upgrade::kStateAnimation, 100);
    model_.ShowUpgradeState(upgrade::kStateAnimation, 42);
    EXPECT_EQ(View().revision, stopped.revision);
}

TEST_F(MainDisplayModelTest, FinalDisplays) {
    Init();
    StartRun();
    model_.ShowUpgradeState(upgrade::kStateFailed, 0);
    MainDisplayView v = View();
    EXPECT_EQ(v.screen, MainScreen::kFailure);
    EXPECT_FALSE(v.status_line.visible);
    EXPECT_FALSE(v.progress.visible);
    EXPECT_TRUE(v.message.visible);
    EXPECT_EQ(v.message.text, GetUiText(kTextFailureMessage));
    EXPECT_EQ(v.message.align, TextAlign::kCenter);
    EXPECT_EQ(v.message.place, Pixels(30, 180, 410, 100));
    EXPECT_TRUE(v.result_text.visible);
    EXPECT_EQ(v.result_text.text, u"The firmware upgrade is failed.");
    EXPECT_TRUE(v.result_image.visible);
    EXPECT_EQ(v.result_image.image, ResultImage::kWarning);
    EXPECT_EQ(v.exit_button.label, u"Exit");
    EXPECT_TRUE(v.exit_button.enabled);
    EXPECT_FALSE(v.start_button.visible);
    EXPECT_FALSE(v.start_button.enabled);
    EXPECT_TRUE(v.close_item_present);

    // The worker's success replaces the failure display completely.
    model_.ShowUpgradeState(upgrade::kStateProgress, 100);
    v = View();
    EXPECT_EQ(v.screen, MainScreen::kSuccess);
    EXPECT_EQ(v.progress.position, 100);
    EXPECT_FALSE(v.progress.visible);
    EXPECT_EQ(v.result_image.image, ResultImage::kSuccess);
    EXPECT_EQ(v.result_text.text, u"The firmware upgrade is successful.");
    EXPECT_EQ(v.message.text, GetUiText(kTextNewDriver));
    EXPECT_EQ(v.message.place, Pixels(30, 180, 410, 100));
    EXPECT_EQ(v.message.align, TextAlign::kCenter);
    EXPECT_EQ(v.exit_button.label, u"Complete");
    EXPECT_TRUE(v.exit_button.visible);
    EXPECT_TRUE(v.exit_button.enabled);
    EXPECT_FALSE(v.start_button.visible);
}

TEST_F(MainDisplayModelTest, NotReadyCentresTheMessageWhereItStands) {
    // Straight from the start screen: the created place.
    Init();
    model_.SetWorkerRunning(true);
    model_.EnableStartControls(false);
    model_.EnableCloseItem(false);
    model_.ShowUpgradeState(upgrade::kStateNotReady, 0);
    MainDisplayView v = View();
    EXPECT_EQ(v.screen, MainScreen::kNotReady);
    EXPECT_EQ(v.message.place, PixelEdges(30, 110, 430, 230));
    EXPECT_EQ(v.message.align, TextAlign::kCenter);
    EXPECT_EQ(v.message.text, GetUiText(kTextNotReadyMessage));
    EXPECT_TRUE(v.message.visible);
    EXPECT_FALSE(v.result_text.visible);
    EXPECT_FALSE(v.result_image.visible);
    EXPECT_FALSE(v.status_line.visible);
    EXPECT_FALSE(v.progress.visible);
    EXPECT_FALSE(v.start_button.visible);
    EXPECT_TRUE(v.exit_button.visible);
    EXPECT_TRUE(v.exit_button.enabled);
    EXPECT_EQ(v.exit_button.label, u"Exit");
    EXPECT_TRUE(v.close_item_present);

    // After a failure display had moved it, it stays moved.
    model_.ShowUpgradeState(upgrade::kStateFailed, 0);
    model_.ShowUpgradeState(upgrade::kStateNotReady, 0);
    EXPECT_EQ(View().message.place, Pixels(30, 180, 410, 100));
}

TEST_F(MainDisplayModelTest, CloseItemAndStartControls) {
    Init();
    std::vector<std::uint64_t> notified;
    model_.SetChangeListener([&](std::uint64_t revision) { notified.push_back(revision); });

    model_.EnableCloseItem(false);
    EXPECT_FALSE(View().close_item_present);
    model_.EnableCloseItem(true);
    model_.EnableCloseItem(true);  // already there: no second item, no change
    EXPECT_TRUE(View().close_item_present);
    EXPECT_EQ(notified.size(), 2u);

    model_.EnableStartControls(false);
    EXPECT_FALSE(View().start_button.enabled);
    EXPECT_FALSE(View().exit_button.enabled);
    model_.EnableStartControls(true);  // a run that ended with a message
    EXPECT_TRUE(View().start_button.enabled);
    EXPECT_TRUE(View().start_button.visible);
    EXPECT_EQ(View().screen, MainScreen::kStart);
    ASSERT_EQ(notified.size(), 4u);
    EXPECT_EQ(notified.back(), View().revision);
}

// The printer is burning its flash: the failure display would tell the user to restart it.
TEST_F(MainDisplayModelTest, BurnHoldsTheAnimationAt99) {
    Init();
    StartRun();
    Ticks(90);
    model_.SetFlashBurnInProgress(true);
    Ticks(40);
    MainDisplayView v = View();
    EXPECT_EQ(v.screen, MainScreen::kProgress);
    EXPECT_EQ(v.progress.position, 99);
    EXPECT_EQ(v.tick_counter, 99);
    EXPECT_FALSE(v.exit_button.visible);
    EXPECT_FALSE(v.close_item_present);
    // The worker's end follows.
    model_.ShowUpgradeState(upgrade::kStateAnimation, 100);
    model_.ShowUpgradeState(upgrade::kStateProgress, 100);
    model_.SetFlashBurnInProgress(false);
    EXPECT_EQ(View().screen, MainScreen::kSuccess);
}

TEST_F(MainDisplayModelTest, BurnBringsTheProgressDisplayBackAfterTheAnimationRanOut) {
    // The 100th tick fell during a slow transfer: the failure display came up. Once the image
    // is whole and the burn begins, that display (restart the printer) must not stand.
    Init();
    const MainDisplayView before = View();
    StartRun(/*worker=*/false);
    Ticks(100);
    ASSERT_EQ(View().screen, MainScreen::kFailure);
    ASSERT_TRUE(View().close_item_present);
    model_.SetFlashBurnInProgress(true);
    MainDisplayView v = View();
    EXPECT_EQ(v.screen, MainScreen::kProgress);
    EXPECT_EQ(v.progress.position, 99);
    EXPECT_TRUE(v.progress.visible);
    EXPECT_TRUE(v.status_line.visible);
    EXPECT_EQ(v.message.text, GetUiText(kTextProgressNotice));
    EXPECT_EQ(v.message.place, before.message.place);
    EXPECT_EQ(v.message.align, before.message.align);
    EXPECT_FALSE(v.result_text.visible);
    EXPECT_FALSE(v.result_image.visible);
    EXPECT_FALSE(v.exit_button.visible);
    EXPECT_FALSE(v.exit_button.enabled);
    EXPECT_FALSE(v.close_item_present);
    Ticks(200);  // the whole burn: nothing moves
    EXPECT_EQ(View().screen, MainScreen::kProgress);
    EXPECT_EQ(View().progress.position, 99);
    // The worker's end display follows.
    model_.ShowUpgradeState(upgrade::kStateAnimation, 100);
    model_.ShowUpgradeState(upgrade::kStateProgress, 100);
    model_.SetFlashBurnInProgress(false);
    EXPECT_EQ(View().screen, MainScreen::kSuccess);
    EXPECT_TRUE(View().exit_button.enabled);
    EXPECT_TRUE(View().close_item_present);
}

TEST_F(MainDisplayModelTest, BurnGuardCoversOnlyTheBurn) {
    // Once the burn is over and the animation still runs with no worker, the guard is gone.
    Init();
    StartRun(/*worker=*/false);
    model_.SetFlashBurnInProgress(true);
    Ticks(120);
    EXPECT_EQ(View().tick_counter, 99);
    model_.SetFlashBurnInProgress(false);
    Ticks(1);
    EXPECT_EQ(View().screen, MainScreen::kFailure);
}

TEST_F(MainDisplayModelTest, QuitIsRefusedWhileAWorkerRuns) {
    Init();
    EXPECT_TRUE(model_.RequestQuit());
    StartRun();
    EXPECT_FALSE(model_.RequestQuit());
    Ticks(100);  // the bar stands at 99 while the worker runs: still no way out
    EXPECT_FALSE(View().exit_button.visible);
    EXPECT_FALSE(model_.RequestQuit());
    model_.SetWorkerRunning(false);
    EXPECT_TRUE(model_.RequestQuit());
}

TEST_F(MainDisplayModelTest, MessageDialogGoesThroughTheHandler) {
    Init(0x0411);
    // Nobody to ask: the dialog counts as dismissed.
    EXPECT_EQ(model_.ShowMessageDialog(u"a", upgrade::kLayoutOk), upgrade::kAnswerOk);
    EXPECT_EQ(model_.ShowMessageDialog(u"b", upgrade::kLayoutYesNo), upgrade::kAnswerNo);

    std::optional<MessageDialogView> open_while_asking;
    // Answers Yes, even to the notice.
    model_.SetMessageDialogHandler([&](const MessageDialogView&) {
        open_while_asking = model_.Snapshot().message_dialog;
        return upgrade::kAnswerYes;
    });
    EXPECT_EQ(model_.ShowMessageDialog(GetUiText(kTextSameFirmware), upgrade::kLayoutYesNo),
              upgrade::kAnswerYes);
    ASSERT_TRUE(open_while_asking.has_value());
    EXPECT_EQ(open_while_asking->text, GetUiText(kTextSameFirmware));
    EXPECT_EQ(open_while_asking->Button(upgrade::kAnswerYes)->label, u"OK");
    EXPECT_FALSE(View().message_dialog.has_value());
    // An answer the notice does not offer comes back as its OK.
    EXPECT_EQ(model_.ShowMessageDialog(GetUiText(kTextNewerFirmware), upgrade::kLayoutOk),
              upgrade::kAnswerOk);
}

// The worker drives the display while the UI thread polls and renders: every snapshot is one
// whole display, never a mixture of two. The worker goes on until the UI thread has looked at
// a good number of snapshots, so every run checks something however the threads are scheduled.
TEST_F(MainDisplayModelTest, SnapshotsAreConsistentAcrossThreads) {
    Init();
    std::atomic<int> notifications{0};
    model_.SetChangeListener([&](std::uint64_t) {
        model_.Snapshot();  // a listener may read the model
        ++notifications;
    });
    constexpr int kChecks = 200;
    std::atomic<int> checked{0};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int round = 0; round < 200 || checked.load() < kChecks; ++round) {
            model_.ShowUpgradeState(upgrade::kStateProgress, round % 100);
            model_.ShowUpgradeState(upgrade::kStateAnimation, 0);
            model_.ShowUpgradeState(round % 2 ? upgrade::kStateFailed : upgrade::kStateProgress,
                                    100);
            model_.ShowUpgradeState(upgrade::kStateNotReady, 0);
        }
        done = true;
    });
    std::uint64_t last_revision = 0;
    while (!done.load()) {
        clock_.AdvanceMs(kAnimationTickMs);
        model_.AdvanceAnimation();
        const MainDisplayView v = model_.Snapshot();
        EXPECT_GE(v.revision, last_revision);
        last_revision = v.revision;
        const bool progress = v.screen == MainScreen::kProgress;
        EXPECT_EQ(v.progress.visible, progress);
        EXPECT_EQ(v.status_line.visible, progress);
        EXPECT_EQ(v.result_text.visible,
                  v.screen == MainScreen::kFailure || v.screen == MainScreen::kSuccess);
        ++checked;
    }
    worker.join();
    EXPECT_GE(checked.load(), kChecks);
    EXPECT_GT(notifications.load(), 0);
}

}  // namespace
}  // namespace tessel::ui
