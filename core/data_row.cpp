#include "core/data_row.h"

#include <algorithm>
#include <string_view>

#include "core/number_scan.h"

namespace {

inline bool IsBlankIn(char c, char separator) {
    const unsigned byte = static_cast<unsigned char>(c);
    return c != separator && (byte == ' ' || byte - '\t' < 5u);
}

inline const char* SkipBlanks(const char* p, char separator) {
    while (IsBlankIn(*p, separator)) {
        ++p;
    }
    return p;
}

// Reads the NUL-terminated `text` split at `separator` into fields that each hold one number with
// blanks around it; the last field may be blank. True when two or more numbers were read.
bool ReadFields(const char* p, char separator, float& first, float& second) {
    int numbers = 0;
    for (;;) {
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
        p = SkipBlanks(end, separator);
        if (*p != separator) {
            return *p == '\0' && numbers >= 2;
        }
        ++p;
    }
}

}  // namespace

RowLayout ReadSeparatedRow(const std::string& line, std::string& scratch, float& first,
                           float& second) {
    // The line ends at its first NUL byte, as for the scan above.
    const std::string_view text(line.c_str());
    if (text.find(',') != std::string_view::npos && ReadFields(text.data(), ',', first, second)) {
        return RowLayout::commas;
    }
    const bool semicolons = text.find(';') != std::string_view::npos;
    if (!semicolons && text.find('\t') == std::string_view::npos) {
        return RowLayout::none;
    }
    scratch.assign(text);
    std::replace(scratch.begin(), scratch.end(), ',', '.');
    if (!ReadFields(scratch.c_str(), semicolons ? ';' : '\t', first, second)) {
        return RowLayout::none;
    }
    return semicolons ? RowLayout::semicolons : RowLayout::tabs;
}
