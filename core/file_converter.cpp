#include "core/file_converter.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "core/c_space.h"
#include "core/column_header.h"
#include "core/conversion_settings.h"
#include "core/data_row.h"
#include "core/input_lines.h"
#include "core/number_format.h"
#include "core/text_file.h"
#include "framework/interrupt.h"
#include "framework/os_error.h"

namespace {

constexpr int kHeaderLines = 3;
// The most of a line kept: a data line's two numbers are at its start, and the rest of a longer
// line is read and dropped, so that an input without line feeds never fills the memory.
constexpr std::size_t kMaxLineLength = 1024 * 1024;
constexpr std::string_view kOutputHeader = "Freq(Hz), Gamma(tau)\n";
// How every temporary output of this program begins, in the file.
constexpr std::string_view kOutputSignature = kConvertedTableHeader;
// The temporary output is the output's name with this extension in place of its own ".txt", so
// that it is never longer than the output's name.
constexpr std::string_view kTemporaryExtension = ".tmp";
// Every output begins with the line by which ConvertFile recognises a converted table.
static_assert(kOutputHeader.substr(0, kConvertedTableHeader.size()) == kConvertedTableHeader &&
              kOutputHeader.substr(kConvertedTableHeader.size()) == "\n");

// True when the line holds nothing but white space.
bool IsBlank(std::string_view line) {
    return std::all_of(line.begin(), line.end(), IsCSpace);
}

// Removes the temporary output unless it has become the output. Declared after the file object
// that writes it, so that it is removed while that file still holds it: once closed, the name may
// already belong to another run's temporary.
class TemporaryFile {
  public:
    TemporaryFile(std::string path, const std::string& inputPath)
        : m_path(std::move(path)),
          m_cleanup(ArmInterruptCleanup(m_path, "Interrupted while converting " + inputPath +
                                                    "; its earlier output is kept")) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        InterruptHold hold;
        if (!m_forgotten) {
            NativeRemove(m_path);
        }
        DisarmInterruptCleanup(m_cleanup);
    }

    // Moves the file over `target`, where it stays; a name that no longer holds this file is
    // left alone.
    void MoveOver(CFile& file, const std::string& target) {
        InterruptHold hold;
        try {
            file.CommitTemporary(m_path, target);
        } catch (const CFileException& error) {
            m_forgotten = error.m_lOsError == kErrorTemporaryTakenAway;
            throw;
        }
        m_forgotten = true;
        DisarmInterruptCleanup(m_cleanup);
    }

  private:
    std::string m_path;
    int m_cleanup;
    bool m_forgotten = false;
};

// Counts `line`, number `lineNumber`, among the skipped lines when it is not blank.
void CountSkipped(std::string_view line, long lineNumber, ConversionReport& report) {
    if (!IsBlank(line) && report.skippedLines++ == 0) {
        report.firstSkippedLine = lineNumber;
    }
}

// Settles the order of the columns of `inputPath` from its column header `header` at line
// `headerLine` (0 when there is none); raises CFileException when the header refuses the file.
void OrderColumns(const std::string& header, long headerLine, const std::string& inputPath,
                  ConversionReport& report) {
    const ColumnHeader columns = headerLine > 0 ? ReadColumnHeader(header) : ColumnHeader();
    if (!columns.refusal.empty()) {
        throw CFileException(CFileException::generic, inputPath,
                             columns.refusal + " (column header at line " +
                                 std::to_string(headerLine) + "); nothing was written");
    }
    InputReading& reading = report.reading;
    if (columns.recognised) {
        reading.order = OrderSource::header;
        reading.tauFirst = columns.tauFirst;
        reading.headerLine = headerLine;
        reading.columnNames = columns.names;
        // A header below the header lines was counted as a skipped line; it is none.
        if (headerLine > kHeaderLines && --report.skippedLines == 0) {
            report.firstSkippedLine = 0;
        }
    } else if (g_columnOrder == ColumnOrder::tauGamma) {
        reading.order = OrderSource::setting;
        reading.tauFirst = true;
    }
}

// Converts the data lines of `input`, `length` bytes long when it was opened, into rows of
// `output`; `firstLine` is the input's first line, already read.
ConversionReport ConvertRows(InputLines& input, std::uint64_t length, std::string firstLine,
                             const std::string& inputPath, CTextFile& output) {
    ConversionReport report;
    report.reading.encoding = input.Encoding();
    report.reading.crLineEnds = input.CrLineEnds();
    // The last non-blank line before the first data row names the columns.
    std::string header = std::move(firstLine);
    long headerLine = IsBlank(header) ? 0 : 1;
    std::string line;
    for (int i = 2; i <= kHeaderLines; ++i) {
        input.Next(line);
        if (!IsBlank(line)) {
            header.swap(line);
            headerLine = i;
        }
    }
    output.WriteText(kOutputHeader);

    const bool scaled = g_areaSet == 1;
    const float area = g_area;
    // Settled at the first data row; kept here while the rows are read, where it can stay in a
    // register, as are the layouts seen and the row count, stored in the report at the end.
    enum class Order : unsigned char { unsettled, gammaFirst, tauFirst };
    Order order = Order::unsettled;
    // Every line read is a row or not; the rows are counted, and the others, so that the line
    // number is known without counting every line. The layouts other than blanks are noted per
    // row, blanks by their count: the rows less those of the other layouts.
    long rows = 0;
    long otherLines = 0;
    long otherLayoutRows = 0;
    unsigned layouts = 0;
    std::string scratch;
    char row[kMaxRowLength];
    // The lines are read in place in the input's buffer where they lie whole there, and the rows
    // written in place in the output's buffer where it has room: the state of both is kept here,
    // in registers, and handed back to the files before anything else reads or writes them. The
    // output is in text mode: a row written in place ends in CR LF. Lines crossing the buffer's
    // end, and every line of other texts, are read into `line`; rows that do not fit are written
    // by WriteText. Either way a line is NUL-terminated, as the row reader reads it, and is read
    // by the same code. The reading ends at the length taken at the start, or earlier where the
    // input's text ends (a Ctrl-Z, or a file that shrank meanwhile, which ConvertFile then fails).
    InPlaceLines lines = input.BeginInPlace(length);
    OutputPlace place = output.BeginPlace();
    constexpr std::size_t kMaxRowInPlace = kMaxRowLength + 1;
    for (;;) {
        std::string_view text;
        if (!lines.Next(text)) [[unlikely]] {
            input.EndInPlace(lines);
            if (input.Position() >= length || !input.Next(line)) {
                break;
            }
            text = line;
            lines = input.BeginInPlace(length);
        }
        // ReadDataRow sets both whenever it reads a row, and they are read only then.
        float gamma;
        float tau;
        const RowLayout layout = ReadDataRow(text.data(), scratch, gamma, tau);
        if (layout == RowLayout::none) {
            const long lineNumber = kHeaderLines + rows + ++otherLines;
            CountSkipped(text, lineNumber, report);
            if (order == Order::unsettled && !IsBlank(text)) {
                header.assign(text);
                headerLine = lineNumber;
            }
            continue;
        }
        if (layout != RowLayout::blanks) [[unlikely]] {
            layouts |= 1u << static_cast<unsigned>(layout);
            ++otherLayoutRows;
        }
        if (order != Order::gammaFirst) [[unlikely]] {
            if (order == Order::unsettled) {
                OrderColumns(header, headerLine, inputPath, report);
                order = report.reading.tauFirst ? Order::tauFirst : Order::gammaFirst;
            }
            if (order == Order::tauFirst) {
                std::swap(gamma, tau);
            }
        }
        if (scaled) {
            gamma = area * gamma;
        }
        const double frequency = K / static_cast<double>(tau);
        if (place.Fits(kMaxRowInPlace)) [[likely]] {
            place.next = FormatRowCrLf(frequency, static_cast<double>(gamma), place.next);
        } else {
            output.EndPlace(place);
            const char* end = FormatRow(frequency, static_cast<double>(gamma), row);
            output.WriteText(std::string_view(row, static_cast<std::size_t>(end - row)));
            place = output.BeginPlace();
        }
        ++rows;
    }
    output.EndPlace(place);
    if (rows > otherLayoutRows) {
        layouts |= 1u << static_cast<unsigned>(RowLayout::blanks);
    }
    report.reading.layouts = layouts;
    report.rows = rows;
    // A header that refuses the file refuses it with no rows too: its earlier output is kept.
    if (order == Order::unsettled && headerLine > 0) {
        const std::string refusal = ReadColumnHeader(header).refusal;
        if (!refusal.empty()) {
            OrderColumns(header, headerLine, inputPath, report);
        }
    }
    report.length = length;
    report.textEnd = std::min(input.Position(), length);
    return report;
}

}  // namespace

bool HoldsOtherData(const std::string& path) {
    CTextFile file;
    CFileException error;
    if (!file.Open(path, CFile::modeRead, &error)) {
        return error.m_cause != CFileException::fileNotFound;
    }
    std::string firstLine;
    try {
        return !file.ReadLinePrefix(firstLine, kConvertedTableHeader.size() + 1) ||
               firstLine != kConvertedTableHeader;
    } catch (const CFileException&) {
        return true;
    }
}

std::string TemporaryOutputPath(const std::string& outputPath) {
    const std::size_t name = outputPath.find_last_of("\\/:") + 1;
    const std::size_t dot = outputPath.rfind('.');
    const std::size_t stem = dot != std::string::npos && dot > name ? dot : outputPath.size();
    return outputPath.substr(0, stem) + kTemporaryExtension.data();
}

ConversionReport ConvertFile(std::string inputPath, std::string outputPath) {
    // The temporary first: on Windows an input held open without sharing would keep a further
    // name of it, standing at the temporary's name, from being cleared.
    CFileException error;
    const std::string temporaryPath = TemporaryOutputPath(outputPath);
    CTextFile output;
    // Created and armed for interruptions as one step.
    InterruptHold hold;
    if (!output.OpenTemporary(temporaryPath, kOutputSignature, &error)) {
        // What stands in the way is named itself; other failures concern the output.
        if (error.m_lOsError == kErrorFolderInTheWay ||
            error.m_lOsError == kErrorForeignFileInTheWay) {
            throw error;
        }
        throw CFileException(error.m_cause, error.m_lOsError, outputPath);
    }
    TemporaryFile temporary(temporaryPath, inputPath);
    hold.Release();
    // Failures of the temporary file are reported under the output's name, which the user knows.
    output.SetFilePath(outputPath);
    CTextFile input;
    if (!input.Open(inputPath, CFile::modeRead, &error)) {
        throw error;
    }
    const std::uint64_t length = input.GetLength();
    InputLines lines(input, kMaxLineLength);
    // A table this program wrote is not converted again; nothing is written for it.
    std::string firstLine;
    if (lines.Next(firstLine) && firstLine == kConvertedTableHeader) {
        ConversionReport skipped;
        skipped.convertedTable = true;
        return skipped;
    }

    const ConversionReport report =
        ConvertRows(lines, length, std::move(firstLine), inputPath, output);
    const std::uint64_t lengthAtEnd = input.GetLength();
    if (lengthAtEnd != report.length) {
        throw CFileException(CFileException::generic, inputPath,
                             "the file changed while it was converted (" +
                                 std::to_string(report.length) + " bytes at the start, " +
                                 std::to_string(lengthAtEnd) + " at the end)");
    }
    input.Close();
    temporary.MoveOver(output, outputPath);
    output.Close();
    return report;
}
