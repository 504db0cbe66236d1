#pragma once

#include <cctype>
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

// True when a comma in `text` stands between two digits.
inline bool CommaBetweenDigits(const std::string& text) {
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        if (text[i] == ',' && std::isdigit(static_cast<unsigned char>(text[i - 1])) &&
            std::isdigit(static_cast<unsigned char>(text[i + 1]))) {
            return true;
        }
    }
    return false;
}

// The model of a row of a file of decimal points.
inline RowLayout PointRow(const std::string& text, float& first, float& second) {
    int end = 0;
    if (std::sscanf(text.c_str(), "%g %g%n", &first, &second, &end) == 2) {
        const char after = text.c_str()[end];
        const char next = after == '\0' ? '\0' : text.c_str()[end + 1];
        const bool ends = after == '\0' || IsSpace(after) || after == ';' ||
                          (after == ',' && !std::isdigit(static_cast<unsigned char>(next)));
        return ends ? RowLayout::blanks : RowLayout::none;
    }
    if (text.find(';') != std::string::npos) {
        return ReadFields(text, ';', first, second) ? RowLayout::semicolons : RowLayout::none;
    }
    if (text.find('\t') != std::string::npos &&
        (NumbersOrBlanks(text, '\t') || CommaBetweenDigits(text))) {
        return RowLayout::none;
    }
    if (text.find(',') != std::string::npos && ReadFields(text, ',', first, second)) {
        return RowLayout::commas;
    }
    return RowLayout::none;
}

}  // namespace row_model

// Reads `line` as ReadDataRow does, by the rules as written: after the label field, if any; in a
// file of decimal commas, no row when it holds a point, else as a file of points reads it with its
// commas made points; in a file of points, "%g %g" when its second number is followed by nothing,
// white space, ';' or a comma that no digit follows, else by fields at ';', else, unless a line of
// tabs is numbers or blanks or holds a comma between digits, by fields at commas. Returns whether
// it is a row.
inline bool ModelDataRow(const std::string& line, const RowReading& reading, float& first,
                         float& second, RowLayout& layout) {
    // Like the C library, the model sees the line up to its first NUL byte.
    std::string text(line.c_str());
    layout = RowLayout::none;
    if (reading.labelSeparator != 0) {
        const std::size_t label = text.find(reading.labelSeparator);
        if (label == std::string::npos) {
            return false;
        }
        text.erase(0, label + 1);
    }
    if (reading.sign == DecimalSign::comma) {
        if (text.find('.') != std::string::npos) {
            return false;
        }
        text = row_model::Points(text);
    }
    layout = row_model::PointRow(text, first, second);
    return layout != RowLayout::none;
}
