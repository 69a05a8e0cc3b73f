#include "ui/message_dialog_model.h"

#include "ui/ui_text.h"

namespace tessel::ui {

const MessageButtonView* MessageDialogView::Button(std::int32_t answer) const {
    for (const MessageButtonView& button : buttons) {
        if (button.answer == answer) {
            return &button;
        }
    }
    return nullptr;
}

std::int32_t DismissedAnswer(std::int32_t layout) {
    return layout == upgrade::kLayoutYesNo ? upgrade::kAnswerNo : upgrade::kAnswerOk;
}

std::int32_t SanitizeAnswer(std::int32_t layout, std::int32_t answer) {
    const bool offered = layout == upgrade::kLayoutYesNo
                             ? (answer == upgrade::kAnswerYes || answer == upgrade::kAnswerNo)
                             : answer == upgrade::kAnswerOk;
    return offered ? answer : DismissedAnswer(layout);
}

MessageDialogView BuildMessageDialog(std::u16string_view text, std::int32_t layout) {
    // Any layout but Yes/No is shown as the notice: the OK and No buttons share a place, so
    // showing all three would put two buttons on top of each other.
    const bool yes_no = layout == upgrade::kLayoutYesNo;
    const bool rtl = UiLanguageIsRightToLeft();

    MessageDialogView view;
    view.text = std::u16string(text);
    view.layout = yes_no ? upgrade::kLayoutYesNo : upgrade::kLayoutOk;
    view.text_align = rtl ? TextAlign::kRight : TextAlign::kLeft;
    view.rtl_reading = rtl;
    view.text_place = DialogUnits(41, 20, 180, 37);
    view.icon_place = DialogUnits(8, 15, 26, 23);
    view.buttons[0] = {upgrade::kAnswerOk, GetUiText(kTextOk), DialogUnits(188, 62, 50, 14),
                       !yes_no, true};
    view.buttons[1] = {upgrade::kAnswerNo, GetUiText(kTextNo), DialogUnits(188, 62, 50, 14), yes_no,
                       false};
    view.buttons[2] = {upgrade::kAnswerYes, GetUiText(kTextYes), DialogUnits(134, 62, 50, 14),
                       yes_no, false};
    view.dismissed_answer = DismissedAnswer(view.layout);
    return view;
}

}  // namespace tessel::ui
