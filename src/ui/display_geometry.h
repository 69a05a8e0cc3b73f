// Places and alignment shared by the display models. The dialogs are laid out in two units:
// client-area pixels for the controls the main display creates and moves, and the template's
// dialog units for the controls that come from the dialog templates (front ends convert them
// with their font metrics, as the dialog manager would).
#pragma once

namespace tessel::ui {

enum class Units { kPixels, kDialogUnits };

struct Place {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    Units units = Units::kPixels;

    friend bool operator==(const Place&, const Place&) = default;
};

// A place in pixels given by its edges (left, top, right, bottom).
constexpr Place PixelEdges(int left, int top, int right, int bottom) {
    return Place{left, top, right - left, bottom - top, Units::kPixels};
}
constexpr Place Pixels(int x, int y, int width, int height) {
    return Place{x, y, width, height, Units::kPixels};
}
constexpr Place DialogUnits(int x, int y, int width, int height) {
    return Place{x, y, width, height, Units::kDialogUnits};
}

// Horizontal alignment of a text control's lines. Right is what right-to-left languages use
// for the controls that are otherwise left-aligned.
enum class TextAlign { kLeft, kCenter, kRight };

}  // namespace tessel::ui
