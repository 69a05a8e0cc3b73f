// Places and alignment shared by the display models. The dialogs are laid out in two units:
// client-area pixels for the controls the main display creates and moves, and the template's
// dialog units for the controls that come from the dialog templates. ToPixels turns either into
// the pixels of a window on a given monitor.
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

// The DPI at which a pixel place is the place as written.
inline constexpr int kReferenceDpi = 96;

// What a window needs to turn places into its own pixels.
struct DialogMetrics {
    // The dialog base units: the template font's average character width and its character
    // height, in pixels, as measured on the window's monitor (the dialog manager's measure:
    // the width of "A".."Z" "a".."z" over 52, rounded, and the text metric's height).
    int base_x = 0;
    int base_y = 0;
    int dpi = kReferenceDpi;  // the window's monitor
};

// A rectangle in a window's client pixels.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// `place` in the window's pixels. Dialog units are mapped as the dialog manager maps a
// template's controls: x and width by base_x / 4, y and height by base_y / 8, each rounded to
// the nearest pixel. Pixel places scale by dpi / 96, so the controls created in code keep their
// size against the template's controls and the fonts, which grow with the DPI too; at 96 DPI
// they are exactly as written. A bitmap keeps its own size (only its origin is a place).
PixelRect ToPixels(const Place& place, const DialogMetrics& metrics);

// a * b / c rounded to the nearest integer, halves away from zero (c must not be 0).
int MulDivRound(int a, int b, int c);

// Horizontal alignment of a text control's lines. Right is what right-to-left languages use
// for the controls that are otherwise left-aligned.
enum class TextAlign { kLeft, kCenter, kRight };

}  // namespace tessel::ui
