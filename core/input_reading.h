#pragma once

#include <string>

#include "core/data_row.h"
#include "core/input_lines.h"

// Where the order of an input's columns came from.
enum class OrderSource : unsigned char {
    standard,  // none named it: γ first, τ second
    header,    // its column header named the columns
    setting,   // the column order setting, the header naming no order
    data,      // the first rows, where one column runs as τ does, nothing else naming an order
};

// How an input was read.
struct InputReading {
    TextEncoding encoding = TextEncoding::bytes;
    bool crLineEnds = false;
    // A bit (1 << RowLayout) for each layout met among the data rows.
    unsigned layouts = 0;
    DecimalSign sign = DecimalSign::point;
    bool labelColumn = false;  // a label field comes before the numbers of every row
    bool tauFirst = false;
    OrderSource order = OrderSource::standard;
    long headerLine = 0;      // the line of the column header that named the columns, or 0
    std::string columnNames;  // the names it gave the first two columns, as written
    // The column that ran as τ does over the first rows (RunsLikeTauGrid), 1 or 2; 0 when
    // neither or both did.
    int gridColumn = 0;
    // A line before the rows that named τ in a way not recognised, when neither the header, the
    // setting nor the data told the order; or 0.
    long unreadHeaderLine = 0;
};

// One sentence on how an input was read, when that was otherwise than as white-space-separated
// γ τ rows of single-byte text with line feeds (decimal commas, other separators, a label column,
// τ first, UTF-16, CR line ends), or when the order was told by the data, went against them or
// could not be told: e.g. "Read as comma-separated columns tau, gamma (header at line 3)". Empty
// otherwise.
std::string DescribeReading(const InputReading& reading);
