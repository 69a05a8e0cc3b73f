#include "ui/cli/terminal_view.h"

#include <gtest/gtest.h>

#include "ui/main_display_model.h"
#include "ui/message_dialog_model.h"
#include "ui/ui_text.h"
#include "virtual_clock.h"

namespace tessel::ui::cli {
namespace {

using ui::kAnimationTickMs;
using upgrade::kStateAnimation;
using upgrade::kStateFailed;
using upgrade::kStateNotReady;
using upgrade::kStateProgress;

std::string T(int id) {
    return TerminalText(ui::GetUiText(id));
}

// A display model whose every change is drawn, the way the command line wires them.
class TerminalViewTest : public ::testing::Test {
  protected:
    void TearDown() override {
        ui::g_wPrimaryLang = 0;
        ui::g_wSubLang = 0;
    }
    void Start(bool in_place, std::uint16_t langid = 0x0409) {
        view_.emplace(in_place);
        model_.Initialise(langid);
        model_.SetChangeListener([this](std::uint64_t) { Draw(); });
        Draw();
    }
    void Draw() { out_ += view_->Render(model_.Snapshot()); }
    void Ticks(int ticks) {
        for (int i = 0; i < ticks; ++i) {
            clock_.AdvanceMs(kAnimationTickMs);
            model_.AdvanceAnimation();
        }
    }
    // The loader started, the restart wait began and `ticks` ticks passed.
    void Progress(int ticks) {
        model_.ShowUpgradeState(upgrade::kStateProgress, 0);
        model_.ShowUpgradeState(upgrade::kStateAnimation, 0);
        Ticks(ticks);
    }
    std::string Take() { return std::exchange(out_, std::string()); }

    tessel::testing::VirtualClock clock_;
    ui::MainDisplayModel model_{clock_};
    std::optional<TerminalView> view_;
    std::string out_;
};

TEST_F(TerminalViewTest, PlainOutputHasOneLinePerTextAndABarEveryTenSteps) {
    Start(false);
    Progress(95);
    model_.ShowUpgradeState(upgrade::kStateAnimation, 100);
    model_.ShowUpgradeState(upgrade::kStateProgress, 100);
    out_ += view_->Finish();

    std::string expected = "Bexlot  Firmware Upgrade Tool(FW3.3.3.8)\n" + T(7) + "\n" + T(2) +
                           "\n" + TerminalView::Bar(1) + "\n";
    for (int step = 10; step <= 90; step += 10) {
        expected += TerminalView::Bar(step) + "\n";
    }
    expected += TerminalView::Bar(100) + "\n" + T(9) + "\n" + T(21) + "\n";
    EXPECT_EQ(Take(), expected);
    EXPECT_EQ(TerminalView::Bar(37), "[##############..........................]  37%");
}

TEST_F(TerminalViewTest, InPlaceBarIsRedrawnOnItsLineAndEndedBeforeTheResult) {
    Start(true);
    Take();
    Progress(2);
    EXPECT_EQ(Take(),
              T(7) + "\n" + T(2) + "\n\r" + TerminalView::Bar(1) + "\r" + TerminalView::Bar(2));

    // A line of the front end's own goes above the bar, which comes back below it.
    std::string blank(TerminalView::Bar(0).size() + 2, ' ');
    blank.front() = blank.back() = '\r';
    EXPECT_EQ(view_->Line("note"), blank + "note\n\r" + TerminalView::Bar(2));

    // The animation runs out: the bar stays where it stopped and the failure follows.
    Ticks(98);
    std::string out = Take();
    EXPECT_EQ(out.find('\n'), out.size() - (T(10).size() + T(1).size() + 3));
    EXPECT_EQ(
        out.substr(out.size() - (TerminalView::Bar(99).size() + T(10).size() + T(1).size() + 3)),
        TerminalView::Bar(99) + "\n" + T(10) + "\n" + T(1) + "\n");

    // The worker's success replaces the animation's failure, on fresh lines.
    model_.ShowUpgradeState(upgrade::kStateProgress, 100);
    EXPECT_EQ(Take(), T(9) + "\n" + T(21) + "\n");
    EXPECT_EQ(view_->Finish(), "");
}

TEST_F(TerminalViewTest, EndDisplaysWithoutProgress) {
    Start(false, 0x0804);
    model_.ShowUpgradeState(upgrade::kStateNotReady, 0);
    EXPECT_EQ(Take(), "Bexlot固件升级工具(FW3.3.3.8)\n" + T(5) + "\n");
    model_.ShowUpgradeState(upgrade::kStateFailed, 0);
    EXPECT_EQ(Take(), T(10) + "\n" + T(1) + "\n");
    // Drawing the same revision again, or an older one, adds nothing.
    EXPECT_EQ(view_->Render(model_.Snapshot()), "");
    ui::MainDisplayView older = model_.Snapshot();
    --older.revision;
    older.message.text_serial += 7;
    EXPECT_EQ(view_->Render(older), "");
}

TEST_F(TerminalViewTest, MessageDialogShowsItsTextAndTheLabelsOfItsButtons) {
    Start(false, 0x0411);  // Japanese: Yes reads "OK", No reads "キャンセル"
    Take();
    model_.SetMessageDialogHandler([this](const ui::MessageDialogView& dialog) {
        Draw();
        return dialog.dismissed_answer;
    });
    model_.ShowMessageDialog(ui::GetUiText(ui::kTextSameFirmware), upgrade::kLayoutYesNo);
    model_.ShowMessageDialog(ui::GetUiText(ui::kTextNoPrinter), upgrade::kLayoutOk);
    EXPECT_EQ(Take(), T(12) + "\n[y] OK   [n] キャンセル\n" + T(6) + "\n");
}

TEST_F(TerminalViewTest, TypedAnswers) {
    struct Case {
        std::uint16_t langid;
        std::int32_t layout;
        const char* typed;
        std::optional<std::int32_t> answer;
    };
    const Case cases[] = {
        {0x0409, upgrade::kLayoutYesNo, "y", upgrade::kAnswerYes},
        {0x0409, upgrade::kLayoutYesNo, "  YES \r", upgrade::kAnswerYes},
        {0x0409, upgrade::kLayoutYesNo, "n", upgrade::kAnswerNo},
        {0x0409, upgrade::kLayoutYesNo, "No", upgrade::kAnswerNo},
        {0x0409, upgrade::kLayoutYesNo, "", std::nullopt},
        {0x0409, upgrade::kLayoutYesNo, "maybe", std::nullopt},
        {0x0409, upgrade::kLayoutYesNo, "confirm", std::nullopt},    // the OK button is not shown
        {0x0411, upgrade::kLayoutYesNo, "ok", upgrade::kAnswerYes},  // Yes reads "OK" in Japanese
        {0x0411, upgrade::kLayoutYesNo, "キャンセル", upgrade::kAnswerNo},
        {0x0804, upgrade::kLayoutYesNo, "是", upgrade::kAnswerYes},
        {0x0804, upgrade::kLayoutYesNo, "否", upgrade::kAnswerNo},
        {0x0419, upgrade::kLayoutYesNo, "Да", upgrade::kAnswerYes},
        {0x0409, upgrade::kLayoutOk, "y", std::nullopt},
        {0x0409, upgrade::kLayoutOk, "confirm", upgrade::kAnswerOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.langid) + " '" + c.typed + "'");
        ui::SetUiLanguage(c.langid);
        const ui::MessageDialogView dialog = ui::BuildMessageDialog(u"?", c.layout);
        EXPECT_EQ(AnswerFromInput(c.typed, dialog), c.answer);
    }
}

TEST(TerminalText, LineEndsOfTheTexts) {
    EXPECT_EQ(TerminalText(u"a\r\nb\r\n\r\n"), "a\nb");
    EXPECT_EQ(TerminalText(u"Inizia l\u2019aggiornamento"), "Inizia l’aggiornamento");
    EXPECT_EQ(TerminalText(u""), "");
}

}  // namespace
}  // namespace tessel::ui::cli

namespace tessel::ui::cli {
namespace {

TEST(TerminalViewPhase, SaysWhatTheRunDoesAndHowLongItTakes) {
    using upgrade::UpgradePhase;
    const struct {
        upgrade::PhaseReport phase;
        const char* text;
    } cases[] = {
        {{upgrade::UpgradePhase::kNone, 0, 0, 0, std::nullopt}, ""},
        {{upgrade::UpgradePhase::kSendingFirmware, 0, 0, 0, std::nullopt}, "sending the firmware"},
        {{upgrade::UpgradePhase::kSendingFirmware, 10'200'000, 27'900'000, 1'200'000, 14},
         "sending the firmware: 10.2/27.9 MB, 1.2 MB/s, 0:14 left"},
        {{upgrade::UpgradePhase::kWaitingForRestart, 0, 0, 0, 114},
         "waiting for the printer to restart, 1:54 at most"},
        {{upgrade::UpgradePhase::kBurning, 0, 0, 0, 3},
         "burning into flash, 0:03 left: do not switch the printer off"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TerminalView::PhaseText(c.phase), c.text);
    }
}

// On a terminal the phase stands beside the bar, and a shorter line blanks what the longer
// one before it left.
TEST(TerminalViewPhase, StandsBesideTheBarOnATerminal) {
    TerminalView view(true);
    ui::MainDisplayView shown;
    shown.revision = 1;
    shown.progress.visible = true;
    shown.progress.position = 50;
    shown.phase = {upgrade::UpgradePhase::kBurning, 0, 0, 0, 100};
    const std::string first = view.Render(shown);
    EXPECT_NE(first.find(TerminalView::Bar(50) + "  burning into flash, 1:40 left"),
              std::string::npos)
        << first;
    shown.revision = 2;
    shown.phase = {upgrade::UpgradePhase::kCheckingPrinter, 0, 0, 0, std::nullopt};
    const std::string second = view.Render(shown);
    const std::string line = TerminalView::Bar(50) + "  checking the printer";
    ASSERT_NE(second.find("\r" + line), std::string::npos) << second;
    EXPECT_EQ(second.size() - second.find(line), TerminalView::Bar(50).size() +
                                                     std::string("  burning into flash, 1:40 left: do not switch the printer off").size());
}

// Once the run has ended, the bar's last line says so, not the burn's time left; a failed
// run's says where it stopped and why.
TEST(TerminalViewPhase, TheEndedRunsBarSaysItIsDone) {
    TerminalView view(true);
    ui::MainDisplayView shown;
    shown.revision = 1;
    shown.progress.visible = true;
    shown.progress.position = 99;
    shown.phase = {upgrade::UpgradePhase::kBurning, 0, 0, 0, 2};
    view.Render(shown);
    shown.revision = 2;
    shown.screen = ui::MainScreen::kSuccess;
    shown.progress.visible = false;
    shown.progress.position = 100;
    const std::string done = view.Render(shown);
    std::string bar(1, '\r');
    bar += TerminalView::Bar(100);
    bar += "  done";
    EXPECT_NE(done.find(bar), std::string::npos) << done;
    EXPECT_EQ(done.find("left"), std::string::npos) << done;

    TerminalView failed(false);
    shown = {};
    shown.revision = 1;
    shown.screen = ui::MainScreen::kFailure;
    shown.result_text.visible = true;
    shown.result_text.text = u"failed";
    shown.cause = upgrade::RunCause{upgrade::UpgradePhase::kWaitingForRestart,
                                    upgrade::RunReason::kNotBackAfterRestart};
    const std::string why = "Cause: the printer did not come back after its restart (while "
                            "waiting for the printer to restart).\n";
    const std::string out = failed.Render(shown);
    std::string lines = "failed\n";
    lines += why;
    EXPECT_NE(out.find(lines), std::string::npos) << out;
    shown.revision = 2;
    EXPECT_EQ(failed.Render(shown).find(why), std::string::npos);  // once
}

}  // namespace
}  // namespace tessel::ui::cli
