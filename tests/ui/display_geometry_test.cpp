#include "ui/display_geometry.h"

#include <gtest/gtest.h>

#include "ui/display_fonts.h"
#include "ui/main_display_model.h"

namespace tessel::ui {
namespace {

// The template font ("MS Shell Dlg") as a window measures it: its dialog base units at 96 DPI
// and on a 144 DPI monitor.
constexpr DialogMetrics k8pt96{6, 13, 96};
constexpr DialogMetrics k8pt144{9, 20, 144};
constexpr DialogMetrics k9pt96{7, 15, 96};
constexpr DialogMetrics k9pt144{10, 22, 144};

TEST(DisplayGeometry, DialogUnitsAndPixelsToAWindowsPixels) {
    struct Case {
        Place place;
        DialogMetrics metrics;
        PixelRect expected;
    };
    const Case cases[] = {
        // The start button's template place: x by base_x / 4, y by base_y / 8.
        {DialogUnits(178, 207, 50, 14), k8pt96, {267, 336, 75, 23}},
        {DialogUnits(178, 207, 50, 14), k9pt96, {312, 388, 88, 26}},
        {DialogUnits(178, 207, 50, 14), k9pt144, {445, 569, 125, 39}},
        // Halves round up, as the dialog manager's do: 228 * 13 / 8 = 370.5.
        {DialogUnits(0, 0, kMainDialogWidthDu, kMainDialogHeightDu), k8pt96, {0, 0, 402, 371}},
        {DialogUnits(0, 0, kMainDialogWidthDu, kMainDialogHeightDu), k8pt144, {0, 0, 603, 570}},
        // Created controls: as written at 96 DPI, by half again at 144 DPI.
        {PixelEdges(30, 20, 430, 170), k8pt96, {30, 20, 400, 150}},
        {PixelEdges(30, 20, 430, 170), k9pt144, {45, 30, 600, 225}},
        {Pixels(290, 362, 120, 25), k8pt144, {435, 543, 180, 38}},  // 37.5 rounds up
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.place.x << "," << c.place.y << " at " << c.metrics.dpi << " DPI");
        EXPECT_EQ(ToPixels(c.place, c.metrics), c.expected);
    }
}

TEST(DisplayFonts, EachKindAndItsHeightAtADpi) {
    const FontSpec normal = FontFor(FontKind::kNormal, u"Arial");
    EXPECT_EQ(normal, (FontSpec{u"Arial", 10, 0, 400, kCharsetDefault, kFamilyDontCare}));
    EXPECT_EQ(normal.LogicalHeight(96), -13);  // 13.33 pixels of character height
    EXPECT_EQ(normal.LogicalHeight(144), -20);

    const FontSpec bold = FontFor(FontKind::kBold, u"Arial");
    EXPECT_EQ(bold, (FontSpec{u"Arial", 0, 15, 700, kCharsetAnsi, kFamilySwiss}));
    EXPECT_EQ(bold.LogicalHeight(96), 15);  // a cell height
    EXPECT_EQ(bold.LogicalHeight(144), 23);

    const FontSpec dialog = FontFor(FontKind::kTemplate, u"Arial");
    EXPECT_EQ(dialog.face, u"MS Shell Dlg");
    EXPECT_EQ(dialog.points, 9);
    EXPECT_EQ(dialog.LogicalHeight(96), -12);
    EXPECT_EQ(dialog.LogicalHeight(144), -18);
}

}  // namespace
}  // namespace tessel::ui
