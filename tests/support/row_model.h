#pragma once

#include <cstdio>
#include <string>

#include "core/data_row.h"

// A plain model of ReadDataRow, built on the C library's sscanf: the reference its fast reading is
// checked against. It agrees with ReadDataRow where the C library is glibc.

namespace row_model {

inline bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// True when `field` is exactly one "%g" number with white space around it; stores it in `value`.
inline bool ReadField(const std::string& field, float& value) {
    int consumed = 0;
    if (std::sscanf(field.c_str(), "%g%n", &value, &consumed) != 1) {
        return false;
    }
    for (std::size_t i = static_cast<std::size_t>(consumed); i < field.size(); ++i) {
        if (!IsSpace(field[i])) {
            return false;
        }
    }
    return true;
}

// True when `text`, split at every `separator`, is two or more numbers and at most one blank last
// field; stores the first two.
inline bool ReadFields(const std::string& text, char separator, float& first, float& second) {
    std::string field;
    int numbers = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        field = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        float value = 0.0f;
        if (ReadField(field, value)) {
            if (numbers == 0) {
                first = value;
            } else if (numbers == 1) {
                second = value;
            }
            ++numbers;
        } else {
            bool blank = true;
            for (const char c : field) {
                blank = blank && IsSpace(c);
            }
            return blank && end == std::string::npos && numbers >= 2;
        }
        if (end == std::string::npos) {
            return numbers >= 2;
        }
        start = end + 1;
    }
}

}  // namespace row_model

// Reads `line` as ReadDataRow does, by the rules as written: "%g %g" first (unless a comma right
// after its second number shows tab-separated decimal commas), then fields at commas, then fields
// at ';' (or tabs) with commas taken for decimal points. Returns whether it is a row.
inline bool ModelDataRow(const std::string& line, float& first, float& second, RowLayout& layout) {
    // Like the C library, the model sees the line up to its first NUL byte.
    const std::string text(line.c_str());
    layout = RowLayout::none;
    int end = 0;
    if (std::sscanf(text.c_str(), "%g %g%n", &first, &second, &end) == 2) {
        layout = RowLayout::blanks;
        // Tab-separated numbers with decimal commas whose first has none ("1E-06\t0,0125").
        if (text[static_cast<std::size_t>(end)] == ',' && text.find(';') == std::string::npos &&
            text.find('\t') != std::string::npos) {
            std::string points = text;
            for (char& c : points) {
                c = c == ',' ? '.' : c;
            }
            float tabFirst = 0.0f;
            float tabSecond = 0.0f;
            if (row_model::ReadFields(points, '\t', tabFirst, tabSecond)) {
                first = tabFirst;
                second = tabSecond;
                layout = RowLayout::tabs;
            }
        }
    } else if (text.find(',') != std::string::npos &&
               row_model::ReadFields(text, ',', first, second)) {
        layout = RowLayout::commas;
    } else {
        const bool semicolons = text.find(';') != std::string::npos;
        if (semicolons || text.find('\t') != std::string::npos) {
            std::string points = text;
            for (char& c : points) {
                c = c == ',' ? '.' : c;
            }
            if (row_model::ReadFields(points, semicolons ? ';' : '\t', first, second)) {
                layout = semicolons ? RowLayout::semicolons : RowLayout::tabs;
            }
        }
    }
    return layout != RowLayout::none;
}
