// The main display model drawn as text. Each snapshot becomes the text that brings the
// terminal up to date: one line per new display text, a progress bar, the message dialog's
// question. On an interactive terminal the bar is redrawn in place on one line; elsewhere
// (a pipe, a log file) it is printed as a line of its own every ten steps. Portable: it
// only makes text, the caller writes it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/main_display_model.h"
#include "ui/message_dialog_model.h"

namespace tessel::ui::cli {

class TerminalView {
  public:
    // `redraw_in_place`: the output is an interactive terminal that honours a carriage return.
    explicit TerminalView(bool redraw_in_place);

    // The text that shows `view`, given what earlier calls produced. A snapshot older than
    // the last one drawn gives nothing, so snapshots taken on several threads may arrive out
    // of order.
    std::string Render(const ui::MainDisplayView& view);

    // A line of the front end's own (an answer, a notice), kept above the progress bar.
    std::string Line(std::string_view utf8);

    // Text that leaves the cursor at the start of a fresh line (ends a bar drawn in place).
    std::string Finish();

    // The progress bar as drawn for `position` (1 to 100).
    static std::string Bar(int position);

    // The phase beside the bar, in the current language: "sending the firmware: 10.2/27.9 MB,
    // 1.2 MB/s, 0:15 left". Empty when no upgrade phase is under way.
    static std::string PhaseText(const upgrade::PhaseReport& phase);

    // The question line of a yes/no dialog with its button labels in the current language.
    static std::string Choices(const ui::MessageDialogView& dialog);

  private:
    struct Shown {
        bool visible = false;
        std::uint32_t serial = 0;
    };
    void TextLine(std::string& out, const ui::TextControlView& control, Shown& shown);
    void ClearBar(std::string& out);
    void DrawBar(std::string& out, int position);
    // The bar as drawn now: with the phase beside it on a terminal.
    std::string BarLine(int position) const;

    bool in_place_;
    bool started_ = false;
    std::uint64_t revision_ = 0;
    Shown status_;
    Shown result_;
    Shown message_;
    bool dialog_shown_ = false;
    bool cause_shown_ = false;
    bool progress_visible_ = false;
    int last_bar_position_ = -1;  // in place: the bar on screen; otherwise the last bar printed
    bool bar_on_line_ = false;    // in place: the bar occupies the current line
    std::size_t bar_width_ = 0;   // in place: the characters the bar line took
    std::string phase_text_;      // beside the bar
    upgrade::UpgradePhase phase_ = upgrade::UpgradePhase::kNone;
};

// UTF-8 of a display text as terminal lines: "\r\n" becomes "\n", trailing line ends go.
std::string TerminalText(std::u16string_view text);

// The answer that a typed line gives to `dialog`: "y"/"yes" or "n"/"no" in any case, or the
// label of one of its visible buttons. Nothing when the line gives none.
std::optional<std::int32_t> AnswerFromInput(std::string_view line,
                                            const ui::MessageDialogView& dialog);

}  // namespace tessel::ui::cli
