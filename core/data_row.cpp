#include "core/data_row.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "core/c_space.h"
#include "core/number_scan.h"

namespace {

inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

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

// True when a comma in `text` stands between two digits.
bool HoldsCommaBetweenDigits(std::string_view text) {
    for (std::size_t comma = text.find(','); comma != std::string_view::npos;
         comma = text.find(',', comma + 1)) {
        if (comma > 0 && comma + 1 < text.size() && IsDigit(text[comma - 1]) &&
            IsDigit(text[comma + 1])) {
            return true;
        }
    }
    return false;
}

}  // namespace

RowLayout EndBlankRow(const char* end) {
    if (IsCSpace(*end) || *end == ';' || (*end == ',' && !IsDigit(end[1]))) {
        return RowLayout::blanks;
    }
    return RowLayout::none;
}

RowLayout ReadSeparatedRow(const char* line, const char* firstEnd, float& first, float& second) {
    // The first field of a comma row is the number "%g %g" read, the same white space skipped
    // before it; the rest is read from where it ended. Its fields leave no room for a ';'.
    const bool commaRow = firstEnd != nullptr && *SkipBlanks(firstEnd, ',') == ',' &&
                          ReadFields(firstEnd, ',', 1, first, second).Row();
    if (commaRow && std::strchr(line, '\t') == nullptr) {
        return RowLayout::commas;
    }
    // The line ends at its first NUL byte, as for the scan.
    const std::string_view text(line);
    if (!commaRow && text.find(';') != std::string_view::npos) {
        return ReadFields(line, ';', 0, first, second).Row() ? RowLayout::semicolons
                                                             : RowLayout::none;
    }
    // "%g %g" read a line of tabs whose tab fields are each a number or nothing as two numbers
    // when it could: otherwise it has an empty cell before its numbers, and is no row whatever its
    // commas say. Nor is a line of tabs with a comma between digits, a decimal comma.
    if (text.find('\t') != std::string_view::npos) {
        float cellFirst = 0.0f;
        float cellSecond = 0.0f;
        if (ReadFields(line, '\t', 0, cellFirst, cellSecond).whole ||
            HoldsCommaBetweenDigits(text)) {
            return RowLayout::none;
        }
    }
    return commaRow ? RowLayout::commas : RowLayout::none;
}

RowLayout ReadCommaRow(const char* line, std::string& scratch, float& first, float& second,
                       const char*& rest) {
    const std::string_view text(line);
    if (text.find('.') != std::string_view::npos) {
        return RowLayout::none;
    }
    scratch.assign(text);
    std::replace(scratch.begin(), scratch.end(), ',', '.');
    const char* copyRest = nullptr;
    const RowLayout layout = ReadPointRow(scratch.c_str(), first, second, copyRest);
    if (copyRest != nullptr) {
        rest = line + (copyRest - scratch.c_str());
    }
    return layout;
}

RowLayout ReadDataRow(const char* line, const RowReading& reading, std::string& scratch,
                      float& first, float& second, const char*& rest) {
    const char separator = reading.labelSeparator;
    if (reading.sign == DecimalSign::point) {
        return separator != 0
                   ? ReadRowAs<DecimalSign::point, true>(line, separator, scratch, first, second,
                                                         rest)
                   : ReadRowAs<DecimalSign::point, false>(line, 0, scratch, first, second, rest);
    }
    return separator != 0
               ? ReadRowAs<DecimalSign::comma, true>(line, separator, scratch, first, second, rest)
               : ReadRowAs<DecimalSign::comma, false>(line, 0, scratch, first, second, rest);
}

RowLayout ReadDataRow(const std::string& line, const RowReading& reading, std::string& scratch,
                      float& first, float& second) {
    const char* rest = nullptr;
    return ReadDataRow(line.c_str(), reading, scratch, first, second, rest);
}
