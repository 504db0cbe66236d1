#include "batch/batch_run.h"

#include <exception>
#include <unordered_set>

#include "batch/file_table.h"
#include "core/file_converter.h"
#include "framework/console_text.h"
#include "framework/file_exception.h"

namespace {

// The console's line on the lines that did not hold two numbers, of which there were some.
std::string SkippedLinesText(const ConversionReport& report) {
    if (report.rows == 0) {
        if (report.skippedLines == 1) {
            return "No rows written: the only non-blank line after the header does not hold two "
                   "numbers";
        }
        return "No rows written: none of the " + std::to_string(report.skippedLines) +
               " non-blank lines after the header holds two numbers";
    }
    if (report.skippedLines == 1) {
        return "Skipped 1 line that does not hold two numbers: line " +
               std::to_string(report.firstSkippedLine);
    }
    return "Skipped " + std::to_string(report.skippedLines) +
           " lines that do not hold two numbers, the first at line " +
           std::to_string(report.firstSkippedLine);
}

// Why the conversion of `inputPath` failed; names the file concerned when it is not the input.
std::string FailureReason(const CFileException& error, const std::string& inputPath) {
    if (error.m_strFileName == inputPath) {
        return error.Reason();
    }
    return error.what();
}

// Writes `text` and `lineEnd` to `stream` and flushes it.
void WriteLine(std::FILE* stream, const std::string& text, const char* lineEnd) {
    WriteConsoleText(stream, text + lineEnd);
}

// The input and output of one row of a run.
struct RunRow {
    std::string input;
    std::string output;
};

// The last of `rows` of `table` whose output is `outputPath`, or -1.
int LastRowWithOutput(const std::vector<RunRow>& table, const std::vector<int>& rows,
                      const std::string& outputPath) {
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        if (SameFilePath(table[static_cast<std::size_t>(*row)].output, outputPath)) {
            return *row;
        }
    }
    return -1;
}

// Converts row `i` of the run's `table`, reporting it on `console`; `written` lists the rows whose
// output the run has written so far, `inputs` the keys of the run's inputs.
void ConvertRow(ProgressConsole& console, const std::vector<RunRow>& table, int i,
                const std::unordered_set<std::string>& inputs, std::vector<int>& written,
                std::vector<FileFailure>& failures) {
    const std::string& inputPath = table[static_cast<std::size_t>(i)].input;
    const std::string& outputPath = table[static_cast<std::size_t>(i)].output;
    // An input of the run that is the user's own data, not an earlier table, is never replaced by
    // another row's output.
    if (inputs.count(FilePathKey(outputPath)) != 0 && HoldsOtherData(outputPath)) {
        const CFileException refusal(CFileException::accessDenied, outputPath,
                                     "this output would replace a file chosen as an input, which "
                                     "is not a converted table; nothing was written");
        console.Line("Failed to process file: " + inputPath + ": " + refusal.what());
        failures.push_back({inputPath, refusal.what()});
        return;
    }
    ConvertReported(console, inputPath, inputPath, outputPath, failures, [&] {
        const int earlier = LastRowWithOutput(table, written, outputPath);
        if (earlier >= 0) {
            console.Warning(inputPath + ": replaces the output of " +
                            table[static_cast<std::size_t>(earlier)].input);
        }
        written.push_back(i);
    });
}

}  // namespace

void ProgressConsole::Line(const std::string& text) {
    WriteLine(m_stream, text, m_lineEnd);
}

void ProgressConsole::Warning(const std::string& text) {
    WriteLine(m_stream, text, m_lineEnd);
    if (m_warnings != nullptr) {
        WriteLine(m_warnings, text, m_lineEnd);
    }
}

bool ConvertReported(ProgressConsole& console, const std::string& name,
                     const std::string& inputPath, const std::string& outputPath,
                     std::vector<FileFailure>& failures, const std::function<void()>& onWritten) {
    std::string reason;
    try {
        const ConversionReport report = ConvertFile(inputPath, outputPath);
        if (report.convertedTable) {
            console.Line("Skipped " + name +
                         ": it is already a converted table (its first line is \"" +
                         std::string(kConvertedTableHeader) + "\")");
            return true;
        }
        console.Line("Finished Processing file: " + name);
        const std::string reading = DescribeReading(report.reading);
        if (!reading.empty()) {
            console.Line(reading);
        }
        if (onWritten) {
            onWritten();
        }
        if (report.skippedLines > 0) {
            console.Line(SkippedLinesText(report));
        }
        if (report.textEnd < report.length) {
            console.Line("The text ended at byte " + std::to_string(report.textEnd) + " of " +
                         std::to_string(report.length) +
                         " (a Ctrl-Z byte); the rest was not converted");
        }
        return true;
    } catch (const CFileException& error) {
        reason = FailureReason(error, inputPath);
    } catch (const std::exception& error) {
        reason = error.what();
    }
    console.Line("Failed to process file: " + name + ": " + reason);
    failures.push_back({name, std::move(reason)});
    return false;
}

void RunBatch(ProgressConsole& console, RunEndSignal& signal, RunMonitor* monitor) {
    std::vector<RunRow> table;
    std::unordered_set<std::string> inputs;
    for (int i = 0; i < g_fileCount; ++i) {
        table.push_back({g_inputFiles[i].path, g_outputFiles[i].path});
        inputs.insert(FilePathKey(g_inputFiles[i].path));
    }
    const int total = static_cast<int>(table.size());
    std::vector<FileFailure> failures;
    std::vector<int> written;
    for (int i = 0; i < total; ++i) {
        if (monitor != nullptr && monitor->StopRequested()) {
            console.Line("Stopped after " + std::to_string(i) + " of " + std::to_string(total) +
                         " files");
            break;
        }
        ConvertRow(console, table, i, inputs, written, failures);
        if (monitor != nullptr) {
            monitor->OnFileDone(i + 1, total);
        }
    }
    signal.OnRunEnd(failures);
}
