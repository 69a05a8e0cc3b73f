#include "ui/message_dialog_model.h"

#include <gtest/gtest.h>

#include "language_state.h"

namespace tessel::ui {
namespace {

using MessageDialogModelTest = testing::LanguageStateTest;

TEST_F(MessageDialogModelTest, NoticeShowsOneOkButtonAtTheRight) {
    SetUiLanguage(0x0409);
    const MessageDialogView view = BuildMessageDialog(u"text", kLayoutOk);
    EXPECT_EQ(view.caption, u"");
    EXPECT_EQ(view.text, u"text");
    EXPECT_EQ(view.text_align, TextAlign::kLeft);
    EXPECT_FALSE(view.rtl_reading);
    const MessageButtonView* ok = view.Button(kAnswerOk);
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->visible);
    EXPECT_EQ(ok->label, u"Confirm");
    EXPECT_EQ(ok->place, DialogUnits(188, 62, 50, 14));
    EXPECT_FALSE(view.Button(kAnswerYes)->visible);
    EXPECT_FALSE(view.Button(kAnswerNo)->visible);
}

TEST_F(MessageDialogModelTest, QuestionShowsYesLeftAndNoInTheOkPlace) {
    SetUiLanguage(0x0411);  // Japanese: Yes reads the same as OK
    const MessageDialogView view = BuildMessageDialog(u"?", kLayoutYesNo);
    EXPECT_FALSE(view.Button(kAnswerOk)->visible);
    const MessageButtonView* yes = view.Button(kAnswerYes);
    const MessageButtonView* no = view.Button(kAnswerNo);
    EXPECT_TRUE(yes->visible);
    EXPECT_TRUE(no->visible);
    EXPECT_EQ(yes->label, u"OK");
    EXPECT_EQ(no->label, u"\u30AD\u30E3\u30F3\u30BB\u30EB");
    EXPECT_EQ(yes->place, DialogUnits(134, 62, 50, 14));
    EXPECT_EQ(no->place, view.Button(kAnswerOk)->place);
}

TEST_F(MessageDialogModelTest, HebrewReadsRightToLeft) {
    SetUiLanguage(0x040D);
    const MessageDialogView view = BuildMessageDialog(u"x", kLayoutOk);
    EXPECT_EQ(view.text_align, TextAlign::kRight);
    EXPECT_TRUE(view.rtl_reading);
    EXPECT_EQ(view.caption, u"");
}

TEST_F(MessageDialogModelTest, UnknownLayoutIsShownAsNotice) {
    const MessageDialogView view = BuildMessageDialog(u"x", 3);
    EXPECT_EQ(view.layout, kLayoutOk);
    int visible = 0;
    for (const MessageButtonView& b : view.buttons) {
        visible += b.visible ? 1 : 0;
    }
    EXPECT_EQ(visible, 1);
    EXPECT_TRUE(view.Button(kAnswerOk)->visible);
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
        {kLayoutOk, kAnswerOk, kAnswerOk},
        {kLayoutOk, kAnswerYes, kAnswerOk},
        {kLayoutOk, 0, kAnswerOk},
        {kLayoutYesNo, kAnswerYes, kAnswerYes},
        {kLayoutYesNo, kAnswerNo, kAnswerNo},
        {kLayoutYesNo, kAnswerOk, kAnswerNo},
        {kLayoutYesNo, 2 /* IDCANCEL */, kAnswerNo},
        {kLayoutYesNo, -1, kAnswerNo},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SanitizeAnswer(c.layout, c.answer), c.expected)
            << "layout " << c.layout << " answer " << c.answer;
    }
    EXPECT_EQ(BuildMessageDialog(u"", kLayoutOk).dismissed_answer, kAnswerOk);
    EXPECT_EQ(BuildMessageDialog(u"", kLayoutYesNo).dismissed_answer, kAnswerNo);
}

}  // namespace
}  // namespace tessel::ui
