#include "ui/display_geometry.h"

#include <cstdint>

namespace tessel::ui {

int MulDivRound(int a, int b, int c) {
    const std::int64_t product = std::int64_t{a} * b;
    const std::int64_t half = (c < 0 ? -std::int64_t{c} : c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t magnitude =
        ((product < 0 ? -product : product) + half) / (c < 0 ? -std::int64_t{c} : c);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

PixelRect ToPixels(const Place& place, const DialogMetrics& metrics) {
    if (place.units == Units::kDialogUnits) {
        return {MulDivRound(place.x, metrics.base_x, 4), MulDivRound(place.y, metrics.base_y, 8),
                MulDivRound(place.width, metrics.base_x, 4),
                MulDivRound(place.height, metrics.base_y, 8)};
    }
    return {MulDivRound(place.x, metrics.dpi, kReferenceDpi),
            MulDivRound(place.y, metrics.dpi, kReferenceDpi),
            MulDivRound(place.width, metrics.dpi, kReferenceDpi),
            MulDivRound(place.height, metrics.dpi, kReferenceDpi)};
}

}  // namespace tessel::ui
