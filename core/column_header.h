#pragma once

#include <string>
#include <string_view>

// What a column header line says of the data rows below it.
struct ColumnHeader {
    // True when its names are recognised as γ and τ, in either order.
    bool recognised = false;
    // True when they name τ first and γ second.
    bool tauFirst = false;
    // Why such rows must not be converted (they are not γ against τ), or empty.
    std::string refusal;
    // The first two names as written, joined by ", ".
    std::string names;
};

// Reads the names of `line`, split at commas if it has any, else at tabs, else at ';', else at
// runs of blanks outside brackets; each name is trimmed and loses one trailing unit in brackets
// after a blank
// ("tau [s]"), and names compare without regard to ASCII case. A first name "tau" or "τ" with a
// second "gamma", "gamma(tau)", "map gamma", "map", "γ" or "γ(τ)" is τ first; the reverse is γ
// first. Names of g = γ·f, of a Hilbert-transform run's parts, or a frequency first are refused.
ColumnHeader ReadColumnHeader(std::string_view line);
