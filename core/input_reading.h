#pragma once

#include <string>

#include "core/data_row.h"
#include "core/input_lines.h"

// Where the order of an input's columns came from.
enum class OrderSource : unsigned char {
    standard,  // none named it: γ first, τ second
    header,    // its column header named the columns
    setting,   // the column order setting put τ first, the header naming no order
};

// How an input was read.
struct InputReading {
    TextEncoding encoding = TextEncoding::bytes;
    bool crLineEnds = false;
    // A bit (1 << RowLayout) for each layout met among the data rows.
    unsigned layouts = 0;
    bool tauFirst = false;
    OrderSource order = OrderSource::standard;
    long headerLine = 0;      // the line of the column header that named the columns, or 0
    std::string columnNames;  // the names it gave the first two columns, as written
};

// One sentence on how an input was read, when that was otherwise than as white-space-separated
// γ τ rows of single-byte text with line feeds (decimal commas, other separators, τ first, UTF-16,
// CR line ends): e.g. "Read as comma-separated columns tau, gamma (header at line 3)". Empty
// otherwise.
std::string DescribeReading(const InputReading& reading);
