#pragma once

#include <string>

#include "core/number_scan.h"

// How the numbers of a data row are separated.
enum class RowLayout : unsigned char {
    none,        // not a data row
    blanks,      // white space, as "%g %g" reads two numbers
    commas,      // commas, each field one number
    semicolons,  // ';', each field one number with decimal commas
    tabs,        // tabs, each field one number with decimal commas
};

// The number of row layouts.
inline constexpr unsigned kRowLayoutCount = static_cast<unsigned>(RowLayout::tabs) + 1;

// ReadDataRow for a line that "%g %g" does not read: its rows of commas, ';' or tabs.
RowLayout ReadSeparatedRow(const std::string& line, std::string& scratch, float& first,
                           float& second);

// Reads `line` as a data row, storing its first two numbers in `first` and `second`, and returns
// its layout. A line "%g %g" reads as two numbers is read so. Otherwise a line whose fields, split
// at every comma, are two or more that each hold exactly one number as "%g" reads it (white space
// around it allowed, and one blank last field) is a row of those numbers; failing that, the same
// with fields split at every ';' (or at every tab when there is no ';') and commas read as
// decimal points. `scratch` is working space, kept between calls to save allocations.
// Inline, so that a plain row costs the converter's loop no further call.
inline RowLayout ReadDataRow(const std::string& line, std::string& scratch, float& first,
                             float& second) {
    if (ScanGammaTau(line.c_str(), first, second)) {
        return RowLayout::blanks;
    }
    return ReadSeparatedRow(line, scratch, first, second);
}
