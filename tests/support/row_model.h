#pragma once

#include <cstdio>
#include <string>
#include <vector>

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

// True when `field` holds nothing but white space.
inline bool Blank(const std::string& field) {
    for (const char c : field) {
        if (!IsSpace(c)) {
            return false;
        }
    }
    return true;
}

// The fields of `text` split at every `separator`.
inline std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string::npos;
         start = end + 1) {
        fields.push_back(text.substr(start, end - start));
    }
    fields.push_back(text.substr(start));
    return fields;
}

// True when every field of `text` split at `separator` is one number or blank.
inline bool NumbersOrBlanks(const std::string& text, char separator) {
    float value = 0.0f;
    for (const std::string& field : Split(text, separator)) {
        if (!Blank(field) && !ReadField(field, value)) {
            return false;
        }
    }
    return true;
}

// True when `text`, split at every `separator`, is two or more numbers followed by nothing but
// blank fields; stores the first two.
inline bool ReadFields(const std::string& text, char separator, float& first, float& second) {
    int numbers = 0;
    bool blankSeen = false;
    for (const std::string& field : Split(text, separator)) {
        float value = 0.0f;
        if (Blank(field)) {
            blankSeen = true;
        } else if (!blankSeen && ReadField(field, value)) {
            if (numbers == 0) {
                first = value;
            } else if (numbers == 1) {
                second = value;
            }
            ++numbers;
        } else {
            return false;
        }
    }
    return numbers >= 2;
}

// `text` with its commas made decimal points.
inline std::string Points(std::string text) {
    for (char& c : text) {
        c = c == ',' ? '.' : c;
    }
    return text;
}

}  // namespace row_model

// Reads `line` as ReadDataRow does, by the rules as written: "%g %g" first (unless a comma right
// after its second number in a line of tabs shows tab-separated decimal commas), then a line of
// tabs whose tab fields are numbers or blank by those alone, then fields at commas, then fields at
// ';' with commas taken for decimal points. Returns whether it is a row.
inline bool ModelDataRow(const std::string& line, float& first, float& second, RowLayout& layout) {
    // Like the C library, the model sees the line up to its first NUL byte.
    const std::string text(line.c_str());
    const bool semicolons = text.find(';') != std::string::npos;
    const bool tabs = !semicolons && text.find('\t') != std::string::npos;
    layout = RowLayout::none;
    int end = 0;
    if (std::sscanf(text.c_str(), "%g %g%n", &first, &second, &end) == 2) {
        layout = RowLayout::blanks;
        if (text[static_cast<std::size_t>(end)] == ',' && tabs) {
            layout = row_model::ReadFields(row_model::Points(text), '\t', first, second)
                         ? RowLayout::tabs
                         : RowLayout::none;
        }
    } else if (tabs && row_model::NumbersOrBlanks(row_model::Points(text), '\t')) {
        if (row_model::ReadFields(row_model::Points(text), '\t', first, second)) {
            layout = RowLayout::tabs;
        }
    } else if (text.find(',') != std::string::npos &&
               row_model::ReadFields(text, ',', first, second)) {
        layout = RowLayout::commas;
    } else if (semicolons && row_model::ReadFields(row_model::Points(text), ';', first, second)) {
        layout = RowLayout::semicolons;
    }
    return layout != RowLayout::none;
}
