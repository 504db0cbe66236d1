#include "core/file_converter.h"

#include <algorithm>
#include <cstdint>

#include "core/conversion_settings.h"
#include "core/number_format.h"
#include "core/number_scan.h"
#include "core/text_file.h"

namespace {

constexpr int kHeaderLines = 3;
constexpr std::string_view kOutputHeader = "Freq(Hz), Gamma(tau)\n";
// Every output begins with the line by which ConvertFile recognises a converted table.
static_assert(kOutputHeader.substr(0, kConvertedTableHeader.size()) == kConvertedTableHeader &&
              kOutputHeader.substr(kConvertedTableHeader.size()) == "\n");

// True when the line holds nothing but white space.
bool IsBlank(std::string_view line) {
    for (const char c : line) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\v' && c != '\f') {
            return false;
        }
    }
    return true;
}

// Deletes the temporary output, once created, unless it has replaced the output. Declared before
// the file object that writes it, so that the file is closed before it is deleted.
class TemporaryFile {
  public:
    explicit TemporaryFile(std::string path) : m_path(std::move(path)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (m_created) {
            NativeRemove(m_path);
        }
    }

    // Records that the file now exists and is ours to delete.
    void Created() { m_created = true; }

    // Moves the file over `target`.
    void MoveOver(const std::string& target) {
        CFile::ReplaceFile(m_path, target);
        m_created = false;
    }

  private:
    std::string m_path;
    bool m_created = false;
};

// Converts the data lines of `input` into rows of `output`.
ConversionReport ConvertRows(CTextFile& input, CTextFile& output) {
    ConversionReport report;
    const std::uint64_t length = input.GetLength();
    std::string line;
    // ConvertFile has read the first header line.
    for (int i = 1; i < kHeaderLines; ++i) {
        input.ReadLine(line);
    }
    output.WriteText(kOutputHeader);

    const bool scaled = g_areaSet == 1;
    const float area = g_area;
    long lineNumber = kHeaderLines;
    char row[kMaxRowLength];
    // Ends at the length taken at the start, or earlier where the input's text ends (a Ctrl-Z,
    // or a file that shrank meanwhile).
    while (input.GetPosition() < length && input.ReadLine(line)) {
        ++lineNumber;
        float gamma = 0.0f;
        float tau = 0.0f;
        if (!ScanGammaTau(line.c_str(), gamma, tau)) {
            if (!IsBlank(line) && report.skippedLines++ == 0) {
                report.firstSkippedLine = lineNumber;
            }
            continue;
        }
        if (scaled) {
            gamma = area * gamma;
        }
        const char* end = FormatRow(K / static_cast<double>(tau), static_cast<double>(gamma), row);
        output.WriteText(std::string_view(row, static_cast<std::size_t>(end - row)));
        ++report.rows;
    }
    report.length = length;
    report.textEnd = std::min(input.GetPosition(), length);
    return report;
}

}  // namespace

std::string TemporaryOutputPath(const std::string& outputPath) {
    return outputPath + ".partial";
}

ConversionReport ConvertFile(std::string inputPath, std::string outputPath) {
    CFileException error;
    CTextFile input;
    if (!input.Open(inputPath, CFile::modeRead, &error)) {
        throw error;
    }
    // A table this program wrote is not converted again; nothing is created for it.
    std::string firstLine;
    if (input.ReadLine(firstLine) && firstLine == kConvertedTableHeader) {
        ConversionReport skipped;
        skipped.convertedTable = true;
        return skipped;
    }
    const std::string temporaryPath = TemporaryOutputPath(outputPath);
    TemporaryFile temporary(temporaryPath);
    CTextFile output;
    if (!output.Open(temporaryPath, CFile::modeCreate | CFile::modeReadWrite, &error)) {
        throw CFileException(error.m_cause, error.m_lOsError, outputPath);
    }
    temporary.Created();
    // Failures of the temporary file are reported under the output's name, which the user knows.
    output.SetFilePath(outputPath);

    const ConversionReport report = ConvertRows(input, output);
    input.Close();
    output.Close();
    temporary.MoveOver(outputPath);
    return report;
}
