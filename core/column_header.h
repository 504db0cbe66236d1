#pragma once

#include <string>
#include <string_view>

// What a column header line says of the data rows below it.
struct ColumnHeader {
    // Its names are γ and τ, in either order.
    bool recognised = false;
    // They name τ first and γ second.
    bool tauFirst = false;
    // Why such rows must not be converted (they are not γ against τ), or empty.
    std::string refusal;
    // The first two names after any label column, as written without quotes, joined by ", ".
    std::string names;
    // Some name mentions τ ("tau" in any case, or "τ"), so a header that could not be read named τ.
    bool namesTau = false;
    // Its first name is empty and at least two follow: a row-label column (",tau,gamma").
    bool labelColumn = false;
    // What its names were split at: ',', '\t', ';', or ' ' for runs of blanks; 0 for no names.
    char separator = 0;
    // How many names it has, a label column included.
    int nameCount = 0;
};

// Reads the names of `line`, after any '#' or '%' comment sign, as τ and γ in either order, without
// regard to ASCII case or units; names of g = γ·f, Hilbert parts, logarithms or f first are
// refused.
ColumnHeader ReadColumnHeader(std::string_view line);
