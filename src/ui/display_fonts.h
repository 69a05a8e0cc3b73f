// The fonts of the main display and the message dialog, decided once for every front end: which
// face, size, weight, character set and family each text control uses, and the height a window
// asks for on a monitor of a given DPI.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessel::ui {

enum class FontKind {
    kNormal,    // the texts the main display creates
    kBold,      // the result text
    kTemplate,  // the dialog templates' own font (buttons, the message dialog's text)
};

inline constexpr int kFontWeightNormal = 400;
inline constexpr int kFontWeightBold = 700;
// Character sets and the family, as the system's font mapper numbers them.
inline constexpr std::uint8_t kCharsetAnsi = 0;
inline constexpr std::uint8_t kCharsetDefault = 1;
inline constexpr std::uint8_t kFamilyDontCare = 0x00;
inline constexpr std::uint8_t kFamilySwiss = 0x20;  // proportional, without serifs

struct FontSpec {
    std::u16string face;
    int points = 0;          // the size in points, or 0 when the size is a cell height
    int cell_height_px = 0;  // the cell height in pixels at 96 DPI, when `points` is 0
    int weight = kFontWeightNormal;
    std::uint8_t charset = kCharsetDefault;
    std::uint8_t family = kFamilyDontCare;  // pitch and family; the pitch is always the default

    // The height to ask the font mapper for at `dpi`: a point size as a negative character
    // height (points * dpi / 72), a cell height as a positive one scaled by dpi / 96, like
    // every pixel place, each rounded to the nearest pixel.
    int LogicalHeight(int dpi) const;

    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// The font of `kind`; `face` is the face of the current language (text 19, the view's
// font_face), which the normal and the bold font use. The template font keeps its own face.
FontSpec FontFor(FontKind kind, std::u16string_view face);

}  // namespace tessel::ui
