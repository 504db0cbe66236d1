#pragma once

#include <string_view>

// Reads a data line as glibc's sscanf(line, "%g %g", &gamma, &tau) does into two floats; the line
// ends at its first NUL byte. True when both numbers were read; on false the outputs keep nothing
// meaningful. Behaves the same on every platform.
bool ScanGammaTau(std::string_view line, float& gamma, float& tau);

// ScanGammaTau on the NUL-terminated text at `line`, read in place.
bool ScanGammaTau(const char* line, float& gamma, float& tau);

// Where the numbers of a "%g %g" scan ended; null for a number not read.
struct PairEnds {
    const char* gamma;
    const char* tau;
};

// ScanGammaTau on the NUL-terminated `line`, telling where each number ended.
PairEnds ScanGammaTauEnds(const char* line, float& gamma, float& tau);

// ScanGammaTau with every value taken through the exact conversion, never through a fast path.
bool ScanGammaTauExact(std::string_view line, float& gamma, float& tau);

// Reads one "%g" conversion at the start of the NUL-terminated `text` as glibc's scanf consumes
// it, without skipping white space first, storing the float its strtof makes of what was read.
// Returns the first character not consumed, or null when no number starts there.
const char* ScanFloat(const char* text, float& value);
