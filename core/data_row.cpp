#include "core/data_row.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "core/c_space.h"
#include "core/number_scan.h"

namespace {

inline bool IsBlankIn(char c, char separator) {
    return c != separator && IsCSpace(c);
}

inline const char* SkipBlanks(const char* p, char separator) {
    while (IsBlankIn(*p, separator)) {
        ++p;
    }
    return p;
}

// What the fields of a line split at one separator hold.
struct Fields {
    int numbers = 0;     // fields holding one number
    bool whole = false;  // every field holds one number or nothing but blanks
    bool gap = false;    // a field holding nothing comes before one holding a number

    // Two numbers or more, followed by nothing but blank fields.
    bool Row() const { return whole && !gap && numbers >= 2; }
};

// Reads the NUL-terminated text at `p`, split at `separator`, into fields that each hold one
// number with blanks around it, or nothing but blanks, storing the first two numbers. `numbers`
// of them were read already, the last ending at `p`; with none, `p` starts the first field.
Fields ReadFields(const char* p, char separator, int numbers, float& first, float& second) {
    Fields fields;
    fields.numbers = numbers;
    bool blankField = false;
    for (bool afterNumber = numbers > 0;;) {
        if (afterNumber) {
            p = SkipBlanks(p, separator);
            if (*p != separator) {
                fields.whole = *p == '\0';
                return fields;
            }
            ++p;
        }
        p = SkipBlanks(p, separator);
        float value = 0.0f;
        const char* end = ScanFloat(p, value);
        if (end == nullptr) {
            if (*p != separator) {
                fields.whole = *p == '\0';
                return fields;
            }
            blankField = true;
            ++p;
            afterNumber = false;
            continue;
        }
        fields.gap = fields.gap || blankField;
        if (fields.numbers == 0) {
            first = value;
        } else if (fields.numbers == 1) {
            second = value;
        }
        ++fields.numbers;
        p = end;
        afterNumber = true;
    }
}

// The fields of `text` split at `separator`, with its commas read as decimal points.
Fields ReadDecimalCommaFields(std::string_view text, char separator, std::string& scratch,
                              float& first, float& second) {
    scratch.assign(text);
    std::replace(scratch.begin(), scratch.end(), ',', '.');
    return ReadFields(scratch.c_str(), separator, 0, first, second);
}

}  // namespace

RowLayout ReadDecimalCommaTabRow(const char* line, std::string& scratch, float& first,
                                 float& second) {
    const std::string_view text(line);
    if (text.find(';') != std::string_view::npos || text.find('\t') == std::string_view::npos) {
        return RowLayout::blanks;
    }
    // "%g %g" stopped at a comma right after the second number of a line of tabs, a decimal
    // comma all but surely: the line is read by its tab fields or not at all.
    float tabFirst = 0.0f;
    float tabSecond = 0.0f;
    if (!ReadDecimalCommaFields(text, '\t', scratch, tabFirst, tabSecond).Row()) {
        return RowLayout::none;
    }
    first = tabFirst;
    second = tabSecond;
    return RowLayout::tabs;
}

RowLayout ReadSeparatedRow(const char* line, const char* firstEnd, std::string& scratch,
                           float& first, float& second) {
    // The first field of a comma row is the number "%g %g" read, the same white space skipped
    // before it; the rest is read from where it ended.
    const bool commaRow = firstEnd != nullptr && *SkipBlanks(firstEnd, ',') == ',' &&
                          ReadFields(firstEnd, ',', 1, first, second).Row();
    if (commaRow && std::strchr(line, '\t') == nullptr) {
        return RowLayout::commas;
    }
    // The line ends at its first NUL byte, as for the scan above.
    const std::string_view text(line);
    const bool semicolons = text.find(';') != std::string_view::npos;
    if (!semicolons && text.find('\t') != std::string_view::npos) {
        // A line whose tab fields are each a number with decimal commas or empty is read by them
        // alone: with an empty field before its numbers it is no row, whatever its commas say.
        float tabFirst = 0.0f;
        float tabSecond = 0.0f;
        const Fields cells = ReadDecimalCommaFields(text, '\t', scratch, tabFirst, tabSecond);
        if (cells.whole) {
            if (!cells.Row()) {
                return RowLayout::none;
            }
            first = tabFirst;
            second = tabSecond;
            return RowLayout::tabs;
        }
    }
    if (commaRow) {
        return RowLayout::commas;
    }
    if (!semicolons || !ReadDecimalCommaFields(text, ';', scratch, first, second).Row()) {
        return RowLayout::none;
    }
    return RowLayout::semicolons;
}
