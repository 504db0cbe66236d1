#include "core/data_row.h"

#include <algorithm>
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

// Reads the NUL-terminated text at `p`, split at `separator`, into fields that each hold one number
// with blanks around it; the last field may be blank. `numbers` of them were read already, the
// last ending at `p`; with none, `p` starts the first field. True when two or more numbers were
// read in all.
bool ReadFields(const char* p, char separator, int numbers, float& first, float& second) {
    for (bool afterNumber = numbers > 0;; afterNumber = true) {
        if (afterNumber) {
            p = SkipBlanks(p, separator);
            if (*p != separator) {
                return *p == '\0' && numbers >= 2;
            }
            ++p;
        }
        p = SkipBlanks(p, separator);
        float value = 0.0f;
        const char* end = ScanFloat(p, value);
        if (end == nullptr) {
            return *p == '\0' && numbers >= 2;
        }
        if (numbers == 0) {
            first = value;
        } else if (numbers == 1) {
            second = value;
        }
        ++numbers;
        p = end;
    }
}

}  // namespace

RowLayout ReadDecimalCommaTabRow(const char* line, std::string& scratch, float& first,
                                 float& second) {
    const std::string_view text(line);
    if (text.find(';') == std::string_view::npos && text.find('\t') != std::string_view::npos) {
        scratch.assign(text);
        std::replace(scratch.begin(), scratch.end(), ',', '.');
        float tabFirst = 0.0f;
        float tabSecond = 0.0f;
        if (ReadFields(scratch.c_str(), '\t', 0, tabFirst, tabSecond)) {
            first = tabFirst;
            second = tabSecond;
            return RowLayout::tabs;
        }
    }
    return RowLayout::blanks;
}

RowLayout ReadSeparatedRow(const char* line, const char* firstEnd, std::string& scratch,
                           float& first, float& second) {
    // The first field of a comma row is the number "%g %g" read, the same white space skipped
    // before it; the rest is read from where it ended.
    if (firstEnd != nullptr && *SkipBlanks(firstEnd, ',') == ',' &&
        ReadFields(firstEnd, ',', 1, first, second)) {
        return RowLayout::commas;
    }
    // The line ends at its first NUL byte, as for the scan above.
    const std::string_view text(line);
    const bool semicolons = text.find(';') != std::string_view::npos;
    if (!semicolons && text.find('\t') == std::string_view::npos) {
        return RowLayout::none;
    }
    scratch.assign(text);
    std::replace(scratch.begin(), scratch.end(), ',', '.');
    if (!ReadFields(scratch.c_str(), semicolons ? ';' : '\t', 0, first, second)) {
        return RowLayout::none;
    }
    return semicolons ? RowLayout::semicolons : RowLayout::tabs;
}
