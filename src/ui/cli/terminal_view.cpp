#include "ui/cli/terminal_view.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "platform/text.h"
#include "ui/tool_text.h"
#include "upgrade/upgrade_display.h"

namespace tessel::ui::cli {
namespace {

constexpr int kBarCells = 40;
// Plain output prints the bar once per this many steps.
constexpr int kPlainBarStep = 10;

// Characters of UTF-8 text, for the width of a line on the terminal.
std::size_t Utf8Length(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string Lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) {
        s.remove_prefix(1);
    }
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) {
        s.remove_suffix(1);
    }
    return s;
}

}  // namespace

std::string TerminalText(std::u16string_view text) {
    std::string utf8 = platform::Utf16ToUtf8(text);
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') {
            continue;
        }
        out.push_back(utf8[i]);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) {
        out.pop_back();
    }
    return out;
}

std::optional<std::int32_t> AnswerFromInput(std::string_view line,
                                            const ui::MessageDialogView& dialog) {
    const std::string typed = Lower(Trim(line));
    if (typed.empty()) {
        return std::nullopt;
    }
    const bool yes_no = dialog.layout == upgrade::kLayoutYesNo;
    if (yes_no && (typed == "y" || typed == "yes")) {
        return upgrade::kAnswerYes;
    }
    if (yes_no && (typed == "n" || typed == "no")) {
        return upgrade::kAnswerNo;
    }
    // A label typed out. Two buttons may share one (Japanese Yes and OK both read "OK"), so
    // only a label that names exactly one visible button counts.
    std::optional<std::int32_t> found;
    for (const ui::MessageButtonView& button : dialog.buttons) {
        if (button.visible && Lower(TerminalText(button.label)) == typed) {
            if (found) {
                return std::nullopt;
            }
            found = button.answer;
        }
    }
    return found;
}

TerminalView::TerminalView(bool redraw_in_place) : in_place_(redraw_in_place) {}

std::string TerminalView::Bar(int position) {
    const int clamped = std::clamp(position, 0, 100);
    const int filled = clamped * kBarCells / 100;
    char percent[8];
    std::snprintf(percent, sizeof percent, "%3d%%", clamped);
    std::string bar = "[";
    bar.append(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kBarCells - filled), '.');
    bar += "] ";
    bar += percent;
    return bar;
}

std::string TerminalView::Choices(const ui::MessageDialogView& dialog) {
    const ui::MessageButtonView* yes = dialog.Button(upgrade::kAnswerYes);
    const ui::MessageButtonView* no = dialog.Button(upgrade::kAnswerNo);
    return "[y] " + (yes ? TerminalText(yes->label) : std::string()) + "   [n] " +
           (no ? TerminalText(no->label) : std::string());
}

void TerminalView::ClearBar(std::string& out) {
    if (bar_on_line_) {
        out += '\r';
        out.append(bar_width_, ' ');
        out += '\r';
        bar_on_line_ = false;
    }
}

std::string TerminalView::BarLine(int position) const {
    return phase_text_.empty() ? Bar(position) : Bar(position) + "  " + phase_text_;
}

void TerminalView::DrawBar(std::string& out, int position) {
    if (in_place_) {
        const std::string line = BarLine(position);
        out += '\r';
        out += line;
        // A shorter line leaves the end of the longer one before it: blank it.
        const std::size_t width = Utf8Length(line);
        if (bar_on_line_ && width < bar_width_) {
            out.append(bar_width_ - width, ' ');
        }
        bar_width_ = std::max(width, bar_on_line_ ? bar_width_ : 0);
        bar_on_line_ = true;
    } else {
        out += Bar(position);
        out += '\n';
    }
    last_bar_position_ = position;
}

void TerminalView::TextLine(std::string& out, const ui::TextControlView& control, Shown& shown) {
    if (control.visible && (!shown.visible || control.text_serial != shown.serial)) {
        const std::string text = TerminalText(control.text);
        if (!text.empty()) {
            out += text + "\n";
        }
    }
    shown.visible = control.visible;
    shown.serial = control.text_serial;
}

std::string TerminalView::Render(const ui::MainDisplayView& view) {
    if (started_ && view.revision <= revision_) {
        return {};
    }
    revision_ = view.revision;
    // Lines go above the bar: take the bar off its line, print, and draw it again below.
    std::string lines;
    if (!started_) {
        started_ = true;
        lines += TerminalText(view.title) + "\n";
    }
    TextLine(lines, view.status_line, status_);
    TextLine(lines, view.result_text, result_);
    TextLine(lines, view.message, message_);
    // Why the run ended, under the end display's texts.
    const bool ended =
        view.screen == ui::MainScreen::kFailure || view.screen == ui::MainScreen::kNotReady;
    if (ended && view.cause && !cause_shown_) {
        lines += platform::Utf16ToUtf8(ui::RunCauseText(*view.cause, ui::UiLanguageBlock())) + "\n";
    }
    cause_shown_ = ended && view.cause;
    if (view.message_dialog.has_value() != dialog_shown_) {
        dialog_shown_ = view.message_dialog.has_value();
        if (dialog_shown_) {
            lines += TerminalText(view.message_dialog->text) + "\n";
            if (view.message_dialog->layout == upgrade::kLayoutYesNo) {
                lines += Choices(*view.message_dialog) + "\n";
            }
        }
    }

    // The phase: beside the bar on a terminal, a line of its own when it begins elsewhere.
    // Once the run has ended, the bar says so rather than the last phase's time left.
    std::string phase_text = PhaseText(view.phase);
    if (!phase_text.empty() && view.screen == ui::MainScreen::kSuccess) {
        phase_text = ui::ToolTextUtf8(ui::ToolText::kPhaseDone);
    } else if (!phase_text.empty() && (view.screen == ui::MainScreen::kFailure ||
                                       view.screen == ui::MainScreen::kNotReady)) {
        phase_text = ui::ToolTextUtf8(ui::ToolText::kPhaseStopped);
    }
    const bool phase_changed = phase_text != phase_text_;
    if (!in_place_ && view.phase.phase != phase_ && !phase_text.empty()) {
        lines += "-- " + phase_text + "\n";
    }
    phase_ = view.phase.phase;
    phase_text_ = phase_text;

    std::string out;
    const int position = view.progress.position;
    if (view.progress.visible) {
        const bool due =
            in_place_ ? !progress_visible_ || position != last_bar_position_ || !lines.empty() ||
                            phase_changed
                      : !progress_visible_ ||
                            position / kPlainBarStep != last_bar_position_ / kPlainBarStep;
        if (!lines.empty()) {
            ClearBar(out);
            out += lines;
        }
        if (due) {
            DrawBar(out, position);
        }
    } else {
        if (progress_visible_) {
            // The bar's last word: where it ended (full after a success).
            if (in_place_) {
                DrawBar(out, position);
                out += "\n";
                bar_on_line_ = false;
            } else if (position / kPlainBarStep != last_bar_position_ / kPlainBarStep) {
                DrawBar(out, position);
            }
        }
        out += lines;
    }
    progress_visible_ = view.progress.visible;
    return out;
}

std::string TerminalView::PhaseText(const upgrade::PhaseReport& phase) {
    using ui::GetToolText;
    using ui::ToolText;
    const auto time = [&](ToolText wording) {
        return phase.seconds_left ? GetToolText(wording, {ui::MinutesSeconds(*phase.seconds_left)})
                                  : std::u16string();
    };
    const auto sending = [&](ToolText what) {
        std::u16string text = GetToolText(what);
        if (phase.bytes_total > 0) {
            text += GetToolText(ToolText::kPhaseAmount, {ui::Megabytes(phase.bytes_sent),
                                                         ui::Megabytes(phase.bytes_total)});
            if (phase.bytes_per_second > 0) {
                text += GetToolText(ToolText::kPhaseRate, {ui::Megabytes(phase.bytes_per_second)});
            }
            text += time(ToolText::kPhaseTimeLeft);
        }
        return text;
    };
    std::u16string text;
    switch (phase.phase) {
        case upgrade::UpgradePhase::kNone:
            break;
        case upgrade::UpgradePhase::kCheckingPrinter:
            text = GetToolText(ToolText::kPhaseCheckingPrinter);
            break;
        case upgrade::UpgradePhase::kReadingVersion:
            text = GetToolText(ToolText::kPhaseReadingVersion);
            break;
        case upgrade::UpgradePhase::kSendingLoader:
            text = sending(ToolText::kPhaseSendingLoader);
            break;
        case upgrade::UpgradePhase::kWaitingForRestart:
            text = GetToolText(ToolText::kPhaseWaitingForRestart) + time(ToolText::kPhaseAtMost);
            break;
        case upgrade::UpgradePhase::kSendingFirmware:
            text = sending(ToolText::kPhaseSendingFirmware);
            break;
        case upgrade::UpgradePhase::kBurning:
            text = GetToolText(ToolText::kPhaseBurning) + time(ToolText::kPhaseTimeLeft) +
                   GetToolText(ToolText::kPhaseBurnWarning);
            break;
        case upgrade::UpgradePhase::kConfirming:
            text = GetToolText(ToolText::kPhaseConfirming);
            break;
    }
    return platform::Utf16ToUtf8(text);
}

std::string TerminalView::Line(std::string_view utf8) {
    std::string out;
    const bool redraw = bar_on_line_;
    ClearBar(out);
    out += std::string(utf8) + "\n";
    if (redraw) {
        DrawBar(out, last_bar_position_);
    }
    return out;
}

std::string TerminalView::Finish() {
    if (!bar_on_line_) {
        return {};
    }
    bar_on_line_ = false;
    return "\n";
}

}  // namespace tessel::ui::cli
