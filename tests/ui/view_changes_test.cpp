#include "ui/view_changes.h"

#include <gtest/gtest.h>

#include "language_state.h"
#include "virtual_clock.h"

namespace tessel::ui {
namespace {

class ViewChangesTest : public testing::LanguageStateTest {
  protected:
    void SetUp() override {
        LanguageStateTest::SetUp();
        model_.Initialise(0x0409);
    }
    // What one call of the model changes.
    template <typename F>
    ViewChanges After(F call) {
        const MainDisplayView before = model_.Snapshot();
        call();
        return DiffViews(before, model_.Snapshot());
    }

    tessel::testing::VirtualClock clock_;
    MainDisplayModel model_{clock_};
};

TEST_F(ViewChangesTest, OnlyTheControlsACallChanged) {
    ViewChanges first = After([&] { model_.ShowUpgradeState(upgrade::kStateProgress, 0); });
    EXPECT_TRUE(first.Of(&MainDisplayView::status_line).text && first.Of(&MainDisplayView::status_line).state);
    EXPECT_TRUE(first.Of(&MainDisplayView::message).text && first.Of(&MainDisplayView::message).state);
    EXPECT_TRUE(first.Of(&MainDisplayView::tips).state && !first.Of(&MainDisplayView::tips).text);  // hidden, text untouched
    EXPECT_TRUE(first.progress && first.start_button);
    EXPECT_FALSE(first.exit_button || first.Of(&MainDisplayView::result_text).Any() || first.window || first.close_item ||
                 first.message_dialog || first.printer_list);

    // A further step moves the bar only: the texts are not pushed again.
    ViewChanges expected;
    expected.progress = true;
    EXPECT_EQ(After([&] { model_.ShowUpgradeState(upgrade::kStateProgress, 37); }), expected);

    expected = {};
    expected.close_item = true;
    EXPECT_EQ(After([&] { model_.EnableCloseItem(false); }), expected);

    expected = {};
    expected.printer_list = true;
    EXPECT_EQ(After([&] { model_.ShowPrinterList({{u"Bexlot r7200 Series"}, 0}); }), expected);

    // Bookkeeping alone is no control's change.
    EXPECT_FALSE(After([&] { model_.SetWorkerRunning(true); }).Any());
    EXPECT_FALSE(After([&] { model_.ShowUpgradeState(upgrade::kStateAnimation, 0); }).Any());
}

TEST_F(ViewChangesTest, ATextSetAgainIsPushedAgain) {
    model_.ShowUpgradeState(upgrade::kStateFailed, 0);
    const ViewChanges again = After([&] { model_.ShowUpgradeState(upgrade::kStateFailed, 0); });
    EXPECT_TRUE(again.Of(&MainDisplayView::message).text);
    EXPECT_TRUE(again.Of(&MainDisplayView::result_text).text);
    EXPECT_FALSE(again.Of(&MainDisplayView::message).state);
}

}  // namespace
}  // namespace tessel::ui
