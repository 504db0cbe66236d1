#include "core/file_layout.h"

#include <string_view>
#include <utility>
#include <vector>

#include "core/c_space.h"
#include "core/column_header.h"
#include "core/conversion_settings.h"
#include "core/tau_grid.h"
#include "framework/file_exception.h"

namespace {

// Reads rows as `reading` says, in the form ReadRowLine takes.
struct RowReader {
    RowReading reading;
    std::string& scratch;

    RowLayout operator()(const char* line, float& first, float& second, const char*& rest) const {
        return ReadDataRow(line, reading, scratch, first, second, rest);
    }
};

// The first rows of an input, read with either decimal sign.
struct RowSample {
    std::vector<float> first[2];
    std::vector<float> second[2];
    // The line of the first comma-separated row without a decimal point that holds more fields
    // than the column header names, or 0.
    long widerThanHeader = 0;

    void Add(int sign, float a, float b) {
        first[sign].push_back(a);
        second[sign].push_back(b);
    }
    std::size_t Rows(int sign) const { return first[sign].size(); }
};

// The fields of `text` split at commas, up to the last that is not blank.
int FieldsUpToLastNumber(std::string_view text) {
    int fields = 0;
    int counted = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(',', start);
        ++fields;
        if (!IsBlank(text.substr(start, end - start))) {
            counted = fields;
        }
        if (end == std::string_view::npos) {
            return counted;
        }
        start = end + 1;
    }
}

// Reads the rows of the first kSampleLines lines, or pieces of lines, of `input` from `line`, line
// `number`, with both decimal signs and the label separator `label`.
RowSample SampleRows(InputLines& input, std::string line, long number, std::uint64_t length,
                     char label, const ColumnHeader& header) {
    RowSample sample;
    std::string scratch;
    std::string piece;
    std::string text;
    const RowReader point{{DecimalSign::point, label}, scratch};
    const RowReader comma{{DecimalSign::comma, label}, scratch};
    std::size_t pieces = 0;
    for (;;) {
        for (const char* at = line.c_str(); at != nullptr && pieces < kSampleLines; ++pieces) {
            float first = 0.0f;
            float second = 0.0f;
            const char* next = nullptr;
            const RowLayout layout = ReadRowLine(point, at, piece, first, second, next);
            if (layout != RowLayout::none) {
                sample.Add(0, first, second);
            }
            text.assign(at, next != nullptr ? static_cast<std::size_t>(next - 1 - at)
                                            : std::char_traits<char>::length(at));
            const char* rest = nullptr;
            if (comma(text.c_str(), first, second, rest) != RowLayout::none) {
                sample.Add(1, first, second);
            }
            if (layout == RowLayout::commas && header.separator == ',' &&
                sample.widerThanHeader == 0 && text.find('.') == std::string::npos &&
                FieldsUpToLastNumber(text) > header.nameCount) {
                sample.widerThanHeader = number;
            }
            at = next;
        }
        if (pieces >= kSampleLines || input.Position() >= length || !input.Next(line)) {
            return sample;
        }
        ++number;
    }
}

// True when either decimal sign reads `line` as a row, or a piece of it that a CR ends.
bool HoldsRow(const std::string& line, char label, std::string& scratch) {
    std::string piece;
    for (const DecimalSign sign : {DecimalSign::point, DecimalSign::comma}) {
        const RowReader reader{{sign, label}, scratch};
        for (const char* at = line.c_str(); at != nullptr;) {
            float first = 0.0f;
            float second = 0.0f;
            const char* next = nullptr;
            if (ReadRowLine(reader, at, piece, first, second, next) != RowLayout::none) {
                return true;
            }
            at = next;
        }
    }
    return false;
}

[[noreturn]] void Refuse(const std::string& inputPath, const std::string& reason) {
    throw CFileException(CFileException::generic, inputPath, reason + "; nothing was written");
}

// "the first column" or "the second column".
std::string Column(int column) {
    return column == 1 ? "the first column" : "the second column";
}

// The lines above an input's rows: its column header, the last line of text (whose empty first
// name also marks a label column), the last that named τ unread, the skipped lines among them,
// and the line where the rows begin, if any.
struct LinesAbove {
    ColumnHeader header;
    long headerLine = 0;
    ColumnHeader last;
    long unreadLine = 0;
    long skippedLines = 0;
    long firstSkippedLine = 0;
    long rowsInHeaderLines = 0;
    long firstRowInHeaderLines = 0;
    bool rowFound = false;
    long rowLine = 0;
    std::uint64_t rowOffset = 0;
    std::string rowText;

    // The separator after the label field of every row, or 0 for none.
    char Label() const {
        const ColumnHeader& names = headerLine > 0 ? header : last;
        return names.labelColumn ? names.separator : '\0';
    }
    void CountSkipped(long number) {
        if (skippedLines++ == 0 || number < firstSkippedLine) {
            firstSkippedLine = number;
        }
    }
};

// Reads the lines of `input` from its first, `line`, up to the first that holds a row.
LinesAbove ReadLinesAbove(InputLines& input, std::string line, std::uint64_t length) {
    LinesAbove above;
    std::string scratch;
    std::uint64_t lineStart = 0;
    for (long number = 1;; ++number) {
        const bool rowsMayStart =
            number > kHeaderLines || (above.header.recognised && above.headerLine > 0);
        if (HoldsRow(line, above.Label(), scratch)) {
            if (rowsMayStart) {
                above.rowFound = true;
                above.rowLine = number;
                above.rowOffset = lineStart;
                above.rowText = std::move(line);
                return above;
            }
            if (above.rowsInHeaderLines++ == 0) {
                above.firstRowInHeaderLines = number;
            }
        }
        if (!IsBlank(line)) {
            ColumnHeader names = ReadColumnHeader(line);
            if (names.recognised || !names.refusal.empty()) {
                // A column header below the header lines is no skipped line, unless a later one
                // takes its place.
                if (above.headerLine > kHeaderLines) {
                    above.CountSkipped(above.headerLine);
                }
                above.header = names;
                above.headerLine = number;
            } else {
                above.unreadLine = names.namesTau ? number : above.unreadLine;
                if (number > kHeaderLines) {
                    above.CountSkipped(number);
                }
            }
            above.last = std::move(names);
        }
        lineStart = input.Position();
        if (lineStart >= length || !input.Next(line)) {
            return above;
        }
    }
}

}  // namespace

FileLayout DecideLayout(InputLines& input, std::string firstLine, std::uint64_t length,
                        const std::string& inputPath) {
    FileLayout layout;
    InputReading& reading = layout.reading;
    reading.encoding = input.Encoding();
    reading.crLineEnds = input.CrLineEnds();
    LinesAbove above = ReadLinesAbove(input, std::move(firstLine), length);
    const ColumnHeader& header = above.header;
    const std::string headerLine = std::to_string(above.headerLine);
    if (!header.refusal.empty()) {
        Refuse(inputPath, header.refusal + " (column header at line " + headerLine + ")");
    }
    if (!above.rowFound) {
        std::string reason = "it holds no rows of γ and τ";
        if (above.skippedLines == 1) {
            reason += ": its only line of text below the header lines (line " +
                      std::to_string(above.firstSkippedLine) + ") does not hold two numbers";
        } else if (above.skippedLines > 1) {
            reason += ": none of its " + std::to_string(above.skippedLines) +
                      " lines of text below the header lines, from line " +
                      std::to_string(above.firstSkippedLine) + " on, holds two numbers";
        }
        Refuse(inputPath, reason);
    }
    layout.firstRowLine = above.rowLine;
    layout.firstRowOffset = above.rowOffset;
    layout.skippedLines = above.skippedLines;
    layout.firstSkippedLine = above.firstSkippedLine;
    layout.rowsInHeaderLines = above.rowsInHeaderLines;
    layout.firstRowInHeaderLines = above.firstRowInHeaderLines;

    const char label = above.Label();
    const RowSample sample =
        SampleRows(input, std::move(above.rowText), above.rowLine, length, label, header);
    const int sign = sample.Rows(1) > sample.Rows(0) ? 1 : 0;
    layout.rows = {sign == 1 ? DecimalSign::comma : DecimalSign::point, label};
    reading.sign = layout.rows.sign;
    reading.labelColumn = label != 0;
    if (sign == 0 && sample.widerThanHeader > 0) {
        Refuse(inputPath,
               "its rows hold more comma-separated fields than its column header (line " +
                   headerLine + ") names, without a decimal point, from line " +
                   std::to_string(sample.widerThanHeader) +
                   " on: they may be numbers with decimal commas, which commas cannot also "
                   "separate; export with decimal points, or with ';' or tabs between the "
                   "columns");
    }
    const bool firstIsGrid = RunsLikeTauGrid(sample.first[sign]);
    const bool secondIsGrid = RunsLikeTauGrid(sample.second[sign]);
    reading.gridColumn = firstIsGrid == secondIsGrid ? 0 : firstIsGrid ? 1 : 2;

    if (header.recognised) {
        reading.order = OrderSource::header;
        reading.tauFirst = header.tauFirst;
        reading.headerLine = above.headerLine;
        reading.columnNames = header.names;
        if (reading.gridColumn == (header.tauFirst ? 2 : 1)) {
            Refuse(inputPath, "its column header (line " + headerLine + ") names the columns " +
                                  header.names + ", " + (header.tauFirst ? "τ" : "γ") +
                                  " first, but " + Column(reading.gridColumn) +
                                  " runs evenly on a log scale, as τ does");
        }
    } else if (g_columnOrder != ColumnOrder::byFile) {
        reading.order = OrderSource::setting;
        reading.tauFirst = g_columnOrder == ColumnOrder::tauGamma;
    } else if (reading.gridColumn == 1) {
        reading.order = OrderSource::data;
        reading.tauFirst = true;
    } else if (reading.gridColumn == 0) {
        reading.unreadHeaderLine = above.unreadLine;
    }
    input.Rewind(layout.firstRowOffset);
    return layout;
}
