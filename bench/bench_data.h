#pragma once

#include <cstdint>
#include <string>

// Data-line notations the generator cycles through, each a printf format for "γ τ" and CR LF.
inline constexpr int kNotationCount = 4;

// The printf format of notation `index` (taken modulo kNotationCount).
const char* NotationFormat(int index);

// How the lines of a generated DRT export are laid out.
enum class DrtLayout {
    // Three header lines, then "γ τ" lines in the notations of NotationFormat.
    gammaTau,
    // As the DRTtools 2020 export: "L, %e" and "R, %e" lines, the column header "tau, gamma(tau) ",
    // then "τ, γ " lines in "%e, %e " (the precision of notation 0); the notations are not used.
    commaTauFirst,
};

// The shape of one generated DRT export.
struct DrtFileShape {
    long dataLines = 0;      // data lines after the three header lines
    std::uint32_t seed = 1;  // seed of the γ curve and its jitter; equal seeds give equal values
    int firstNotation = 0;   // notation of the first run of lines
    long notationRun = 0;    // lines per run of one notation; 0 keeps one notation throughout
    DrtLayout layout = DrtLayout::gammaTau;
};

// Lines per run of one notation in MixedShape.
inline constexpr long kMixedNotationRun = 10000;

// The shape of the large benchmark file, and of the files that count_instructions.sh measures:
// `dataLines` lines whose notation changes every kMixedNotationRun lines, with a fixed seed.
DrtFileShape MixedShape(long dataLines);

// The shape of the comma-separated τ-first benchmark file: `dataLines` lines, the seed of
// MixedShape.
DrtFileShape CommaShape(long dataLines);

// A file of the values of CommaShape(dataLines) written as plain "γ τ" lines in notation 0, whose
// conversion must equal that of the comma file byte for byte.
DrtFileShape CommaTwinShape(long dataLines);

// What WriteDrtFile wrote.
struct DrtFileSize {
    long dataLines = 0;       // data lines written
    std::uint64_t bytes = 0;  // bytes of the whole file, header included
};

// Writes a DRT export to `path` laid out as `shape.layout` says: three header lines, then
// `shape.dataLines` lines of γ and τ with CR LF ends. τ runs log-spaced from 1e-7 s to 1e3 s; γ
// follows a smooth curve of magnitudes between 1e-4 and 10 with jitter and some negative values.
// Throws std::runtime_error on any failure.
DrtFileSize WriteDrtFile(const std::string& path, const DrtFileShape& shape);
