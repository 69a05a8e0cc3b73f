#include "ui/message_dialog_model.h"

#include <gtest/gtest.h>

#include "language_state.h"

namespace tessel::ui {
namespace {

using MessageDialogModelTest = testing::LanguageStateTest;

TEST_F(MessageDialogModelTest, NoticeShowsOneOkButtonAtTheRight) {
    SetUiLanguage(0x0409);
    const MessageDialogView view = BuildMessageDialog(u"text", upgrade::kLayoutOk);
    EXPECT_EQ(view.caption, u"");
    EXPECT_EQ(view.text, u"text");
    EXPECT_EQ(view.text_align, TextAlign::kLeft);
    EXPECT_FALSE(view.rtl_reading);
    const MessageButtonView* ok = view.Button(upgrade::kAnswerOk);
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->visible);
    EXPECT_EQ(ok->label, u"Confirm");
    EXPECT_EQ(ok->place, DialogUnits(188, 62, 50, 14));
    EXPECT_FALSE(view.Button(upgrade::kAnswerYes)->visible);
    EXPECT_FALSE(view.Button(upgrade::kAnswerNo)->visible);
}

TEST_F(MessageDialogModelTest, QuestionShowsYesLeftAndNoInTheOkPlace) {
    SetUiLanguage(0x0411);  // Japanese: Yes reads the same as OK
    const MessageDialogView view = BuildMessageDialog(u"?", upgrade::kLayoutYesNo);
    EXPECT_FALSE(view.Button(upgrade::kAnswerOk)->visible);
    const MessageButtonView* yes = view.Button(upgrade::kAnswerYes);
    const MessageButtonView* no = view.Button(upgrade::kAnswerNo);
    EXPECT_TRUE(yes->visible);
    EXPECT_TRUE(no->visible);
    EXPECT_EQ(yes->label, u"OK");
    EXPECT_EQ(no->label, u"\u30AD\u30E3\u30F3\u30BB\u30EB");
    EXPECT_EQ(yes->place, DialogUnits(134, 62, 50, 14));
    EXPECT_EQ(no->place, view.Button(upgrade::kAnswerOk)->place);
}

TEST_F(MessageDialogModelTest, HebrewReadsRightToLeft) {
    SetUiLanguage(0x040D);
    const MessageDialogView view = BuildMessageDialog(u"x", upgrade::kLayoutOk);
    EXPECT_EQ(view.text_align, TextAlign::kRight);
    EXPECT_TRUE(view.rtl_reading);
    EXPECT_EQ(view.caption, u"");
}

TEST_F(MessageDialogModelTest, UnknownLayoutIsShownAsNotice) {
    const MessageDialogView view = BuildMessageDialog(u"x", 3);
    EXPECT_EQ(view.layout, upgrade::kLayoutOk);
    int visible = 0;
    for (const MessageButtonView& b : view.buttons) {
        visible += b.visible ? 1 : 0;
    }
    EXPECT_EQ(visible, 1);
    EXPECT_TRUE(view.Button(upgrade::kAnswerOk)->visible);
}

// A dialog closed without a button, or an answer its layout does not offer, must come back
// as the answer that stops an upgrade (OK on the notice, No on the question).
TEST_F(MessageDialogModelTest, AnswersAreLimitedToTheLayoutsButtons) {
    struct Case {
        std::int32_t layout;
        std::int32_t answer;
        std::int32_t expected;
    };
    const Case cases[] = {
        {upgrade::kLayoutOk, upgrade::kAnswerOk, upgrade::kAnswerOk},
        {upgrade::kLayoutOk, upgrade::kAnswerYes, upgrade::kAnswerOk},
        {upgrade::kLayoutOk, 0, upgrade::kAnswerOk},
        {upgrade::kLayoutYesNo, upgrade::kAnswerYes, upgrade::kAnswerYes},
        {upgrade::kLayoutYesNo, upgrade::kAnswerNo, upgrade::kAnswerNo},
        {upgrade::kLayoutYesNo, upgrade::kAnswerOk, upgrade::kAnswerNo},
        {upgrade::kLayoutYesNo, 2 /* IDCANCEL */, upgrade::kAnswerNo},
        {upgrade::kLayoutYesNo, -1, upgrade::kAnswerNo},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SanitizeAnswer(c.layout, c.answer), c.expected)
            << "layout " << c.layout << " answer " << c.answer;
    }
    EXPECT_EQ(BuildMessageDialog(u"", upgrade::kLayoutOk).dismissed_answer, upgrade::kAnswerOk);
    EXPECT_EQ(BuildMessageDialog(u"", upgrade::kLayoutYesNo).dismissed_answer, upgrade::kAnswerNo);
}

}  // namespace
}  // namespace tessel::ui
