#include "ui/console_placement.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool Inside(const ScreenBox& inner, const ScreenBox& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

bool Overlap(const ScreenBox& a, const ScreenBox& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The common screens at 100, 125 and 150 % with the dialog centred on them. The dialog and the
// console (80 by 25 cells of 8 by 16 pixels at 96 dpi) are the sizes measured under Wine, grown
// with the scale; the taskbar takes 40 pixels at 96 dpi.
TEST(ConsolePlacementTest, DialogAndConsoleAreWhollyVisibleApartOnCommonScreensAtEveryScale) {
    for (const auto& [width, height] : {std::pair{1024L, 768L}, {1366L, 768L}, {1920L, 1080L}}) {
        for (const long dpi : {96L, 120L, 144L}) {
            const auto scaled = [dpi](long pixels) { return pixels * dpi / 96; };
            const ScreenBox work = {0, 0, width, height - scaled(40)};
            const long dialogWidth = scaled(486);
            const long dialogHeight = scaled(350);
            const ScreenBox dialog = {(width - dialogWidth) / 2, (work.bottom - dialogHeight) / 2,
                                      (width + dialogWidth) / 2, (work.bottom + dialogHeight) / 2};
            ConsoleShape console;
            console.cellWidth = scaled(8);
            console.cellHeight = scaled(16);
            console.box = {0, 0, 80 * console.cellWidth + scaled(25),
                           25 * console.cellHeight + scaled(44)};

            const ConsolePlacement place = PlaceConsole(work, dialog, console);
            const std::string where = std::to_string(width) + "x" + std::to_string(height) +
                                      " at " + std::to_string(dpi) + " dpi";
            EXPECT_TRUE(Inside(place.dialog, work)) << where;
            EXPECT_TRUE(Inside(place.console, work)) << where;
            EXPECT_FALSE(Overlap(place.dialog, place.console)) << where;
            EXPECT_EQ(place.dialog.Width(), dialogWidth) << where;
            // What is left still shows a line or more of text at a time.
            EXPECT_GE(place.columns * place.rows, 80 * 5) << where;
            if (width == 1920) {
                EXPECT_EQ(place.columns, 80) << where;
                EXPECT_EQ(place.rows, 25) << where;
            }
        }
    }
}

}  // namespace
