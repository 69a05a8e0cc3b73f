// Which controls of the main display differ between two snapshots, so a window updates only
// those: a text is pushed into its control only when the model set it again (its text_serial),
// everything else of a control (shown, place, alignment, reading order, font) when it differs.
#pragma once

#include <array>

#include "ui/main_display_model.h"

namespace tessel::ui {

struct TextControlChanges {
    bool text = false;   // set again: push the text
    bool state = false;  // shown, place, alignment, reading order or font

    bool Any() const { return text || state; }
    friend bool operator==(const TextControlChanges&, const TextControlChanges&) = default;
};

struct ViewChanges {
    bool window = false;  // title, font face, reading order
    // One a row of kTextControls.
    std::array<TextControlChanges, kTextControls.size()> texts{};
    const TextControlChanges& Of(TextControlView MainDisplayView::* control) const {
        return texts.at(TextControlIndex(control));
    }
    bool progress = false;
    bool result_image = false;
    bool start_button = false;
    bool exit_button = false;
    bool close_item = false;  // present or not, its text
    bool printer_list = false;
    bool message_dialog = false;  // opened, closed or another one

    // Everything: what a window's first rendering must set.
    static ViewChanges All();
    bool Any() const;
    friend bool operator==(const ViewChanges&, const ViewChanges&) = default;
};

// What changed from `before` to `after`. The bookkeeping of the view (revision, screen,
// animation, worker and burn flags) is not a control and is not compared.
ViewChanges DiffViews(const MainDisplayView& before, const MainDisplayView& after);

}  // namespace tessel::ui
