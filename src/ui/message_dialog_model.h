// What the message dialog shows, decided once for every front end: the text, its alignment,
// which buttons are there, their labels in the current language and their places.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "ui/display_geometry.h"
#include "upgrade/upgrade_display.h"

namespace tessel::ui {

struct MessageButtonView {
    std::int32_t answer = 0;  // kAnswerOk, kAnswerYes or kAnswerNo
    std::u16string label;
    Place place;  // dialog units of the message dialog's template
    bool visible = false;
    bool is_default = false;

    friend bool operator==(const MessageButtonView&, const MessageButtonView&) = default;
};

struct MessageDialogView {
    std::u16string caption;  // always empty
    std::u16string text;
    std::int32_t layout = 0;  // kLayoutOk or kLayoutYesNo
    TextAlign text_align = TextAlign::kLeft;
    bool rtl_reading = false;  // the dialog and its text read right to left (Hebrew)
    Place text_place;
    Place icon_place;
    // In template order: OK, No, Yes. Layout kLayoutYesNo shows Yes (left) and No (right, in
    // the OK button's place); every other layout shows OK alone.
    std::array<MessageButtonView, 3> buttons;
    // The answer when the dialog is closed without a button (see DismissedAnswer).
    std::int32_t dismissed_answer = 0;

    // The button that gives `answer`, or null.
    const MessageButtonView* Button(std::int32_t answer) const;

    friend bool operator==(const MessageDialogView&, const MessageDialogView&) = default;
};

// Template sizes of the message dialog, in its dialog units.
inline constexpr int kMessageDialogWidthDu = 245;
inline constexpr int kMessageDialogHeightDu = 83;
inline constexpr int kBitmapMessageIcon = 177;  // 45 x 40 pixels, drawn at its own size
inline constexpr std::uint32_t kMessageBackgroundRgb = 0xFFFFFF;  // ground of dialog and text

// The answer of a dialog that nobody answered (closed with Escape, no front end to ask, no
// terminal): OK for the notice, No for the question. These are the answers that stop an
// upgrade, so a dialog that was not answered never lets one go on.
std::int32_t DismissedAnswer(std::int32_t layout);

// `answer` when the layout offers that button, otherwise the dismissed answer: whatever a
// front end returns, the caller only ever sees an answer the user could have given.
std::int32_t SanitizeAnswer(std::int32_t layout, std::int32_t answer);

// The dialog for `text` and `layout` in the current language.
MessageDialogView BuildMessageDialog(std::u16string_view text, std::int32_t layout);

// Shows a message dialog and blocks until it is answered; runs on the calling (worker)
// thread. Front ends install one: a GUI shows its dialog, the command line prompts.
using MessageDialogHandler = std::function<std::int32_t(const MessageDialogView&)>;

}  // namespace tessel::ui
