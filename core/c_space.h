#pragma once

// True for the white space of the C locale: blank, tab, line feed, vertical tab, form feed, CR.
constexpr bool IsCSpace(char c) {
    return c == ' ' || static_cast<unsigned>(static_cast<unsigned char>(c) - '\t') < 5u;
}
