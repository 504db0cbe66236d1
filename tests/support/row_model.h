#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "core/data_row.h"

// A plain model of ReadDataRow, built on glibc's sscanf, for the row fuzzer and the tests: the line
// ends at its first NUL byte; "%g %g" reading two numbers makes a row of blanks; else, when the
// line holds a comma, its fields split at every comma must each be one "%g" number with nothing but
// white space after it (the last field may be blank instead) and be two or more; else the same for
// fields split at every ';' (at every tab when there is no ';') with commas read as points.
// Stores the first two numbers in `first` and `second` and the layout in `layout`; true for a row.

namespace row_model {

// True when `text` holds nothing but white space from `from` on.
inline bool WhiteFrom(const std::string& text, std::size_t from) {
    return text.find_first_not_of(" \t\n\v\f\r", from) == std::string::npos;
}

// Reads `text` split at every `separator`, commas turned into points when `decimalCommas`.
inline bool ReadFields(const std::string& text, char separator, bool decimalCommas, float& first,
                       float& second) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        fields.push_back(text.substr(start, end - start));
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    int numbers = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        std::string field = fields[i];
        if (decimalCommas) {
            for (char& c : field) {
                c = c == ',' ? '.' : c;
            }
        }
        float value = 0.0f;
        int used = -1;
        if (std::sscanf(field.c_str(), "%g%n", &value, &used) == 1 && used >= 0) {
            if (!WhiteFrom(field, static_cast<std::size_t>(used))) {
                return false;
            }
            if (numbers == 0) {
                first = value;
            } else if (numbers == 1) {
                second = value;
            }
            ++numbers;
        } else if (i + 1 != fields.size() || !WhiteFrom(field, 0)) {
            return false;
        }
    }
    return numbers >= 2;
}

}  // namespace row_model

inline bool ModelDataRow(const std::string& line, float& first, float& second, RowLayout& layout) {
    const std::string text(line.c_str());
    layout = RowLayout::none;
    if (std::sscanf(text.c_str(), "%g %g", &first, &second) == 2) {
        layout = RowLayout::blanks;
    } else if (text.find(',') != std::string::npos &&
               row_model::ReadFields(text, ',', false, first, second)) {
        layout = RowLayout::commas;
    } else if (text.find(';') != std::string::npos) {
        if (row_model::ReadFields(text, ';', true, first, second)) {
            layout = RowLayout::semicolons;
        }
    } else if (text.find('\t') != std::string::npos &&
               row_model::ReadFields(text, '\t', true, first, second)) {
        layout = RowLayout::tabs;
    }
    return layout != RowLayout::none;
}
