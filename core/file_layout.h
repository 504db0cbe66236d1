#pragma once

#include <cstdint>
#include <string>

#include "core/data_row.h"
#include "core/input_lines.h"
#include "core/input_reading.h"

// The lines at the top of every input that are header lines whatever they hold, unless a column
// header on line 1 or 2 names the columns: rows may then follow it at once.
inline constexpr long kHeaderLines = 3;

// The most lines, from the first row's on, that tell how an input's rows are read: every row of
// any real export, and a bounded share of a large file. A line that a CR splits counts as two.
inline constexpr std::size_t kSampleLines = 4096;

// How one input's rows are read, decided from its first lines before anything is written.
struct FileLayout {
    long firstRowLine = 0;             // the line, from 1, where the rows begin
    std::uint64_t firstRowOffset = 0;  // that line's byte offset in the file
    RowReading rows;
    InputReading reading;
    // Lines below the header lines and above the rows that hold text but no row, the column
    // header aside, and the first of them (0 for none).
    long skippedLines = 0;
    long firstSkippedLine = 0;
    // Header lines that either decimal sign reads as a row, which are not converted, and the
    // first of them (0 for none): a file of rows alone loses its first rows to the header lines.
    long rowsInHeaderLines = 0;
    long firstRowInHeaderLines = 0;
};

// Decides how the input read by `input` (whose first line, `firstLine`, was read) is read, from its
// lines that start before the byte offset `length`:
// - the column header is the last line before the first row whose names ReadColumnHeader
//   recognises or refuses; the rows begin at the first line after the header lines, or after a
//   column header on line 1 or 2, that either decimal sign reads as a row;
// - the decimal sign is the one that reads more rows of the first kSampleLines lines;
// - τ is the column that runs as τ does (RunsLikeTauGrid) over those rows, when exactly one does:
//   it decides the order when neither the header nor g_columnOrder names one, and fails a file
//   whose header names the other order; otherwise the header, then the setting, then γ first.
// Leaves `input` at the first row's line. Raises CFileException naming `inputPath`, nothing having
// been written, when the header refuses the file, disagrees with the data, or names fewer columns
// than comma-separated rows without a decimal point hold, and when no line reads as a row.
FileLayout DecideLayout(InputLines& input, std::string firstLine, std::uint64_t length,
                        const std::string& inputPath);
