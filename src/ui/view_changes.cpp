#include "ui/view_changes.h"

#include <algorithm>

namespace tessel::ui {
namespace {

TextControlChanges DiffText(const TextControlView& before, const TextControlView& after) {
    TextControlChanges changes;
    changes.text = before.text_serial != after.text_serial || before.text != after.text;
    changes.state = before.visible != after.visible || before.place != after.place ||
                    before.align != after.align || before.rtl_reading != after.rtl_reading ||
                    before.font != after.font;
    return changes;
}

}  // namespace

ViewChanges ViewChanges::All() {
    ViewChanges all{.window = true,
                    .progress = true,
                    .result_image = true,
                    .start_button = true,
                    .exit_button = true,
                    .close_item = true,
                    .printer_list = true,
                    .message_dialog = true};
    all.texts.fill({true, true});
    return all;
}

bool ViewChanges::Any() const {
    return window ||
           std::any_of(texts.begin(), texts.end(),
                       [](const TextControlChanges& text) { return text.Any(); }) ||
           progress || result_image || start_button || exit_button || close_item || printer_list ||
           message_dialog;
}

ViewChanges DiffViews(const MainDisplayView& before, const MainDisplayView& after) {
    ViewChanges changes;
    changes.window = before.title != after.title || before.font_face != after.font_face ||
                     before.rtl_reading != after.rtl_reading;
    for (std::size_t i = 0; i < kTextControls.size(); ++i) {
        changes.texts[i] = DiffText(before.*kTextControls[i], after.*kTextControls[i]);
    }
    changes.progress = before.progress != after.progress;
    changes.result_image = before.result_image != after.result_image;
    changes.start_button = before.start_button != after.start_button;
    changes.exit_button = before.exit_button != after.exit_button;
    changes.close_item = before.close_item_present != after.close_item_present ||
                         before.close_item_text != after.close_item_text;
    changes.printer_list = before.printer_list != after.printer_list;
    changes.message_dialog = before.message_dialog != after.message_dialog;
    return changes;
}

}  // namespace tessel::ui
