#pragma once

#include <algorithm>
#include <string_view>

// True for the white space of the C locale: blank, tab, line feed, vertical tab, form feed, CR.
constexpr bool IsCSpace(char c) {
    return c == ' ' || static_cast<unsigned>(static_cast<unsigned char>(c) - '\t') < 5u;
}

// True when `text` holds nothing but white space.
inline bool IsBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsCSpace);
}
