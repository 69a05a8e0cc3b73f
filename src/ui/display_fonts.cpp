#include "ui/display_fonts.h"

#include "ui/display_geometry.h"

namespace tessel::ui {
namespace {

constexpr int kPointsPerInch = 72;

}  // namespace

int FontSpec::LogicalHeight(int dpi) const {
    if (points > 0) {
        return -MulDivRound(points, dpi, kPointsPerInch);
    }
    return MulDivRound(cell_height_px, dpi, kReferenceDpi);
}

FontSpec FontFor(FontKind kind, std::u16string_view face) {
    switch (kind) {
        case FontKind::kNormal:
            return {std::u16string(face), 10, 0, kFontWeightNormal, kCharsetDefault,
                    kFamilyDontCare};
        case FontKind::kBold:
            return {std::u16string(face), 0, 15, kFontWeightBold, kCharsetAnsi, kFamilySwiss};
        case FontKind::kTemplate:
            break;
    }
    return {u"MS Shell Dlg", 9, 0, kFontWeightNormal, kCharsetAnsi, kFamilyDontCare};
}

}  // namespace tessel::ui
