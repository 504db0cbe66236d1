#pragma once

// A rectangle on the screen in pixels: left and top inside, right and bottom just outside.
struct ScreenBox {
    long left = 0;
    long top = 0;
    long right = 0;
    long bottom = 0;

    long Width() const { return right - left; }
    long Height() const { return bottom - top; }
};

// The console's window: its outer box, the text it shows in character cells, and a cell's size.
struct ConsoleShape {
    ScreenBox box;
    long columns = 80;
    long rows = 25;
    long cellWidth = 8;
    long cellHeight = 16;
};

// Where the dialog and the console go, and how many cells the console shows there.
struct ConsolePlacement {
    ScreenBox dialog;
    ScreenBox console;
    long columns = 0;
    long rows = 0;
};

// Places the console beside or below the dialog within `work` (a monitor's work area) so that
// neither covers the other. Where neither fits whole, the dialog moves to the work area's edge
// and the console shows fewer columns (beside) or rows (below), whichever leaves it more text.
ConsolePlacement PlaceConsole(const ScreenBox& work, const ScreenBox& dialog,
                              const ConsoleShape& console);
