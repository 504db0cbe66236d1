#include "ui/console_placement.h"

#include <algorithm>

namespace {

// The offset of a span of `size` that starts at `wanted`, moved as little as needed to lie within
// [low, high) where it fits.
long Clamp(long wanted, long size, long low, long high) {
    return std::max(low, std::min(wanted, high - size));
}

// `box` moved to start at (`left`, `top`).
ScreenBox MovedTo(const ScreenBox& box, long left, long top) {
    return {left, top, left + box.Width(), top + box.Height()};
}

// The console's box at (`left`, `top`) showing `columns` by `rows` cells.
ScreenBox ConsoleBox(const ConsoleShape& console, long left, long top, long columns, long rows) {
    const long frameWidth = console.box.Width() - console.columns * console.cellWidth;
    const long frameHeight = console.box.Height() - console.rows * console.cellHeight;
    return {left, top, left + frameWidth + columns * console.cellWidth,
            top + frameHeight + rows * console.cellHeight};
}

// The most cells of `cell` pixels, up to `cells`, that fit in `room` pixels beside a frame of
// `frame` pixels; at least one.
long CellsWithin(long room, long frame, long cell, long cells) {
    return std::clamp((room - frame) / std::max(cell, 1L), 1L, std::max(cells, 1L));
}

// How much of a progress line's text the console shows: columns past 80 show nothing more.
long ShownText(const ConsolePlacement& placement) {
    return std::min(placement.columns, 80L) * placement.rows;
}

}  // namespace

ConsolePlacement PlaceConsole(const ScreenBox& work, const ScreenBox& dialog,
                              const ConsoleShape& console) {
    const ScreenBox& own = console.box;
    const long height = std::min(own.Height(), work.Height());
    const long rows =
        height < own.Height()
            ? CellsWithin(work.Height(), own.Height() - console.rows * console.cellHeight,
                          console.cellHeight, console.rows)
            : console.rows;
    const long top = Clamp(dialog.top, height, work.top, work.bottom);
    const auto whole = [&](long left, long at) {
        return ConsolePlacement{dialog, ConsoleBox(console, left, at, console.columns, rows),
                                console.columns, rows};
    };
    if (dialog.right + own.Width() <= work.right) {
        return whole(dialog.right, top);
    }
    if (dialog.left - own.Width() >= work.left) {
        return whole(dialog.left - own.Width(), top);
    }
    const long left = Clamp(dialog.left, own.Width(), work.left, work.right);
    if (dialog.bottom + height <= work.bottom) {
        return whole(left, dialog.bottom);
    }
    if (dialog.top - height >= work.top) {
        return whole(left, dialog.top - height);
    }

    const long frameWidth = own.Width() - console.columns * console.cellWidth;
    const long frameHeight = own.Height() - console.rows * console.cellHeight;

    ConsolePlacement beside;
    beside.dialog =
        MovedTo(dialog, work.left, Clamp(dialog.top, dialog.Height(), work.top, work.bottom));
    beside.columns = CellsWithin(work.right - beside.dialog.right, frameWidth, console.cellWidth,
                                 console.columns);
    beside.rows = rows;
    beside.console = ConsoleBox(console, beside.dialog.right, top, beside.columns, beside.rows);

    ConsolePlacement below;
    below.dialog =
        MovedTo(dialog, Clamp(dialog.left, dialog.Width(), work.left, work.right), work.top);
    below.columns = CellsWithin(work.Width(), frameWidth, console.cellWidth, console.columns);
    below.rows = CellsWithin(work.bottom - below.dialog.bottom, frameHeight, console.cellHeight,
                             console.rows);
    below.console = ConsoleBox(console, 0, below.dialog.bottom, below.columns, below.rows);
    below.console = MovedTo(below.console,
                            Clamp(below.dialog.left, below.console.Width(), work.left, work.right),
                            below.dialog.bottom);
    return ShownText(below) > ShownText(beside) ? below : beside;
}
