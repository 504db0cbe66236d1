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

// The number of layouts above.
inline constexpr unsigned kRowLayoutCount = static_cast<unsigned>(RowLayout::tabs) + 1;

// ReadDataRow for a NUL-terminated line that "%g %g" does not read as two numbers; `firstEnd` is
// where "%g %g" ended the first number, stored in `first`, or null when it read none.
RowLayout ReadSeparatedRow(const char* line, const char* firstEnd, std::string& scratch,
                           float& first, float& second);

// ReadDataRow for a NUL-terminated line that "%g %g" reads as two numbers with a comma right after
// the second: a line with tabs and no ';' is read by its tab fields with decimal commas
// ("1E-06\t0,0125", as a spreadsheet writes a whole number) or is no row; any other line is read
// as "%g %g" read it.
RowLayout ReadDecimalCommaTabRow(const char* line, std::string& scratch, float& first,
                                 float& second);

// Reads `line` as a data row, storing its first two numbers in `first` and `second`, and returns
// its layout. A line "%g %g" reads as two numbers is read so, unless a comma right after the
// second number shows tab-separated numbers with decimal commas, of which "%g" would read only the
// whole part. Otherwise a line with tabs and no ';' whose tab fields each hold one number (commas
// read as decimal points) or nothing is read by them alone. Failing that, a line whose fields,
// split at every comma, are two or more that each hold exactly one number as "%g" reads it (white
// space around it allowed), followed by nothing but blank fields, is a row of those numbers; and
// failing that, the same with fields split at every ';' and commas read as decimal points.
// `scratch` is working space, kept between calls to save allocations.
inline RowLayout ReadDataRow(const std::string& line, std::string& scratch, float& first,
                             float& second);

// ReadDataRow on the NUL-terminated text at `line`, read in place; the line ends at that NUL.
inline RowLayout ReadDataRow(const char* line, std::string& scratch, float& first, float& second) {
    const PairEnds ends = ScanGammaTauEnds(line, first, second);
    if (ends.tau == nullptr) {
        return ReadSeparatedRow(line, ends.gamma, scratch, first, second);
    }
    if (*ends.tau == ',') [[unlikely]] {
        return ReadDecimalCommaTabRow(line, scratch, first, second);
    }
    return RowLayout::blanks;
}

inline RowLayout ReadDataRow(const std::string& line, std::string& scratch, float& first,
                             float& second) {
    return ReadDataRow(line.c_str(), scratch, first, second);
}
