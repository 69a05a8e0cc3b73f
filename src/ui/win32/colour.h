// Colours of the portable models (0xRRGGBB) as Windows colour references.
#pragma once

#include <windows.h>

#include <cstdint>

namespace tessel::ui::win32 {

constexpr COLORREF ColourRef(std::uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

}  // namespace tessel::ui::win32
