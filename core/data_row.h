#pragma once

#include <cstring>
#include <string>

#include "core/c_space.h"
#include "core/number_scan.h"

// How the numbers of a data row are separated.
enum class RowLayout : unsigned char {
    none,        // not a data row
    blanks,      // white space, as "%g %g" reads two numbers
    commas,      // commas, each field one number
    semicolons,  // ';', each field one number
};

// The decimal sign of a file's numbers.
enum class DecimalSign : unsigned char { point, comma };

// How every row of one file is read: its decimal sign, and the separator after a first field that
// is a row's label (pandas' index, R's row names) and no number, or 0 when there is none.
struct RowReading {
    DecimalSign sign = DecimalSign::point;
    char labelSeparator = 0;
};

// ReadPointRow for a NUL-terminated line that "%g %g" does not read as two numbers; `firstEnd` is
// where "%g %g" ended the first number, stored in `first`, or null when it read none.
RowLayout ReadSeparatedRow(const char* line, const char* firstEnd, float& first, float& second);

// ReadPointRow for a line that "%g %g" reads as two numbers followed directly by `*end`, which is
// no NUL: white space or ';' ends the row there; a comma ends it unless a digit follows (a decimal
// comma cut short); anything else shows a number cut short, and the line is no row.
RowLayout EndBlankRow(const char* end);

// Reads the NUL-terminated `line` as a row of a file of decimal points, storing its first two
// numbers in `first` and `second`, and returns its layout. A line "%g %g" reads as two numbers is
// a row of blanks unless its second number is followed directly by text that cannot end a number
// (EndBlankRow); `rest` is then set to where that number ended, unless it ended the line.
// Otherwise a line with ';' is a row when its fields at ';' each hold one number (white space
// around it allowed), followed by nothing but blank fields; any other line when its fields at
// commas do, unless it holds tabs and a comma between two digits or its tab fields are each a
// number or nothing (an empty cell before its numbers). A comma is never read as a decimal sign.
inline RowLayout ReadPointRow(const char* line, float& first, float& second, const char*& rest) {
    const PairEnds ends = ScanGammaTauEnds(line, first, second);
    if (ends.tau == nullptr) {
        return ReadSeparatedRow(line, ends.gamma, first, second);
    }
    if (*ends.tau != '\0') [[unlikely]] {
        rest = ends.tau;
        return EndBlankRow(ends.tau);
    }
    return RowLayout::blanks;
}

// Reads the NUL-terminated `line` as a row of a file of decimal commas: a line holding a point is
// no row; any other is read as ReadPointRow reads it with its commas made points (in `scratch`).
// `rest` is set as ReadPointRow sets it, in `line`.
RowLayout ReadCommaRow(const char* line, std::string& scratch, float& first, float& second,
                       const char*& rest);

// Reads the NUL-terminated `line` as a row read as `reading` says: after a label field when there
// is one (a line without its separator is no row), with the decimal sign given. `rest` is set
// where the numbers of a row of blanks were followed by more text, and left alone otherwise.
template <DecimalSign kSign, bool kLabel>
inline RowLayout ReadRowAs(const char* line, char labelSeparator, std::string& scratch,
                           float& first, float& second, const char*& rest) {
    if constexpr (kLabel) {
        line = std::strchr(line, labelSeparator);
        if (line == nullptr) {
            return RowLayout::none;
        }
        ++line;
    }
    if constexpr (kSign == DecimalSign::point) {
        return ReadPointRow(line, first, second, rest);
    } else {
        return ReadCommaRow(line, scratch, first, second, rest);
    }
}

// ReadRowAs for `reading` chosen at run time.
RowLayout ReadDataRow(const char* line, const RowReading& reading, std::string& scratch,
                      float& first, float& second, const char*& rest);

// ReadDataRow on `line`, up to its first NUL byte, without telling where a row of blanks ended.
RowLayout ReadDataRow(const std::string& line, const RowReading& reading, std::string& scratch,
                      float& first, float& second);

// Where the line that holds `line`'s row, or that is no row, ends early: after the numbers of a row
// of blanks (`rest`, or null), or anywhere in a line that is no row, a CR followed by more than
// white space ends it, as in a text whose lines end in CR. Returns the first character after that
// CR, or null when the line is whole.
inline const char* NextAfterCr(const char* line, RowLayout layout, const char* rest) {
    const char* from = layout == RowLayout::none ? line : rest;
    if (from == nullptr) {
        return nullptr;
    }
    const char* const cr = std::strchr(from, '\r');
    return cr != nullptr && !IsBlank(cr + 1) ? cr + 1 : nullptr;
}

// Reads the NUL-terminated `line` with `read` (a call as ReadRowAs, without its label separator
// and scratch) and tells in `next` where a CR followed by more text ends it early (NextAfterCr),
// or null. A line that is no row is then read again up to that CR, from a copy in `piece`.
template <class Read>
inline RowLayout ReadRowLine(const Read& read, const char* line, std::string& piece, float& first,
                             float& second, const char*& next) {
    const char* rest = nullptr;
    RowLayout layout = read(line, first, second, rest);
    if (layout != RowLayout::none && rest == nullptr) [[likely]] {
        next = nullptr;
        return layout;
    }
    next = NextAfterCr(line, layout, rest);
    if (next != nullptr && layout == RowLayout::none) {
        piece.assign(line, static_cast<std::size_t>(next - 1 - line));
        rest = nullptr;
        layout = read(piece.c_str(), first, second, rest);
    }
    return layout;
}
