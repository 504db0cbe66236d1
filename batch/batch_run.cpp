#include "batch/batch_run.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "batch/file_table.h"
#include "core/conversion_settings.h"
#include "core/file_converter.h"
#include "framework/console_text.h"
#include "framework/file_exception.h"
#include "framework/interrupt.h"
#include "framework/path_keys.h"

namespace {

// The console's line on the lines that did not hold two numbers, of which there were some.
std::string SkippedLinesText(const ConversionReport& report) {
    if (report.skippedLines == 1) {
        return "Skipped 1 line that does not hold two numbers: line " +
               std::to_string(report.firstSkippedLine);
    }
    return "Skipped " + std::to_string(report.skippedLines) +
           " lines that do not hold two numbers, the first at line " +
           std::to_string(report.firstSkippedLine);
}

// The console's line on the header lines that hold a row, of which there were some.
std::string RowsInHeaderLinesText(const ConversionReport& report) {
    if (report.rowsInHeaderLines == 1) {
        return "Line " + std::to_string(report.firstRowInHeaderLines) +
               " holds two numbers but is a header line: it was not converted";
    }
    return std::to_string(report.rowsInHeaderLines) +
           " header lines hold two numbers, the first at line " +
           std::to_string(report.firstRowInHeaderLines) + ": they were not converted";
}

// The console's line on the rows whose τ is 0 or below, of which there were some.
std::string NonPositiveTauText(const ConversionReport& report) {
    const std::string line = std::to_string(report.firstNonPositiveTauLine);
    if (report.nonPositiveTauRows == 1) {
        return "1 row has τ ≤ 0, at line " + line + "; its frequency is infinite or negative";
    }
    return std::to_string(report.nonPositiveTauRows) + " rows have τ ≤ 0, the first at line " +
           line + "; their frequencies are infinite or negative";
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

// A file's lines, kept until the lines of the files before it have been written.
class RecordedLines : public ProgressLines {
  public:
    void Line(const std::string& text) override { m_lines.push_back({text, false}); }
    void Warning(const std::string& text) override { m_lines.push_back({text, true}); }

    // Hands the lines to `console`, in the order they came.
    void WriteTo(ProgressLines& console) const {
        for (const auto& [text, warning] : m_lines) {
            if (warning) {
                console.Warning(text);
            } else {
                console.Line(text);
            }
        }
    }

  private:
    std::vector<std::pair<std::string, bool>> m_lines;
};

// What converting one row left: its lines, its outcome and its failure, if it failed.
struct RowResult {
    RecordedLines lines;
    FileOutcome outcome = FileOutcome::failed;
    std::vector<FileFailure> failures;
    // Tells an interruption that the file was converted until its lines are written.
    std::unique_ptr<InterruptNotice> converted = std::make_unique<InterruptNotice>();
    std::optional<FileSpectrum> spectrum;
};

// One run of a table, shared by the threads that convert its rows. Rows are begun in table
// order; a row waits for the earlier rows that share a file with it. Whichever thread finishes
// the next row to report writes the lines of every finished row from there on.
class BatchRun {
  public:
    BatchRun(std::vector<RunRow> table, ProgressLines& console, RunMonitor* monitor,
             std::vector<FileSpectrum>* spectra)
        : m_table(std::move(table)),
          m_console(console),
          m_monitor(monitor),
          m_spectra(spectra),
          m_total(static_cast<int>(m_table.size())),
          m_after(m_table.size()),
          m_done(m_table.size(), false),
          m_results(m_table.size()) {
        // Each row waits for the last earlier row that has its input, its output or its output's
        // temporary among its own; rows sharing a file wait for each other along a chain.
        PathKeys pathKeys;
        std::unordered_map<std::string, int> lastRowOf;
        for (int i = 0; i < m_total; ++i) {
            const RunRow& row = m_table[static_cast<std::size_t>(i)];
            const std::string& outputKey = m_outputKeys.emplace_back(pathKeys.Key(row.output));
            const std::string keys[] = {*m_inputs.insert(pathKeys.Key(row.input)).first, outputKey,
                                        pathKeys.Key(TemporaryOutputPath(row.output))};
            for (const std::string& key : keys) {
                auto [last, added] = lastRowOf.try_emplace(key, i);
                if (!added && last->second != i) {
                    m_after[static_cast<std::size_t>(i)].push_back(last->second);
                    last->second = i;
                }
            }
        }
    }

    // Converts rows until none is left to begin, or a stop was asked for, each conversion on at
    // most `threads` threads.
    void Work(int threads) {
        const ThreadBudget budget(threads);
        std::unique_lock<std::mutex> lock(m_lock);
        while (m_next < m_total && !m_stopped && !m_error) {
            if (m_monitor != nullptr && m_monitor->StopRequested()) {
                m_stopped = true;
                break;
            }
            const int i = m_next++;
            const std::vector<int>& after = m_after[static_cast<std::size_t>(i)];
            m_changed.wait(lock, [&] {
                return std::all_of(after.begin(), after.end(),
                                   [&](int row) { return m_done[static_cast<std::size_t>(row)]; });
            });
            lock.unlock();
            RowResult result;
            std::exception_ptr error;
            try {
                ConvertRow(i, result);
            } catch (...) {
                error = std::current_exception();
            }
            lock.lock();
            if (error && !m_error) {
                m_error = error;
            }
            m_results[static_cast<std::size_t>(i)] = std::move(result);
            m_done[static_cast<std::size_t>(i)] = true;
            m_changed.notify_all();
            WriteFinished(lock);
        }
    }

    // After every thread's Work: the end of the run, told to `signal`, and its counts; raises
    // what a row raised outside its conversion.
    RunCounts End(RunEndSignal& signal) {
        if (m_error) {
            std::rethrow_exception(m_error);
        }
        if (m_stopped) {
            m_console.Line("Stopped after " + std::to_string(m_next) + " of " +
                           std::to_string(m_total) + " files");
        }
        signal.OnRunEnd(m_failures);
        RunCounts counts;
        for (int i = 0; i < m_next; ++i) {
            counts.Add(m_results[static_cast<std::size_t>(i)].outcome);
        }
        counts.files = m_total;
        counts.stopped = m_stopped;
        return counts;
    }

    int Total() const { return m_total; }

  private:
    // Converts row `i`, into `result`.
    void ConvertRow(int i, RowResult& result) {
        const std::string& inputPath = m_table[static_cast<std::size_t>(i)].input;
        const std::string& outputPath = m_table[static_cast<std::size_t>(i)].output;
        // An input of the run that is the user's own data, not an earlier table, is never
        // replaced by another row's output.
        const std::string& outputKey = m_outputKeys[static_cast<std::size_t>(i)];
        if (m_inputs.count(outputKey) != 0 && HoldsOtherData(outputPath)) {
            const CFileException refusal(CFileException::accessDenied, outputPath,
                                         "this output would replace a file chosen as an input, "
                                         "which is not a converted table; nothing was written");
            result.lines.Line("Failed to process file: " + inputPath + ": " + refusal.what());
            result.failures.push_back({inputPath, refusal.what()});
            return;
        }
        result.outcome = ConvertReported(
            result.lines, inputPath, inputPath, outputPath, result.failures,
            [&] {
                const std::lock_guard<std::mutex> hold(m_lock);
                const auto [earlier, first] = m_lastWriterOf.try_emplace(outputKey, i);
                if (!first) {
                    result.lines.Warning(inputPath + ": replaces the output of " +
                                         m_table[static_cast<std::size_t>(earlier->second)].input);
                    earlier->second = i;
                }
            },
            nullptr, result.converted.get(), m_spectra != nullptr ? &result.spectrum : nullptr);
    }

    // Writes the lines of the finished rows that follow those written, unless another thread is
    // writing them; `lock` holds m_lock and does again on return.
    void WriteFinished(std::unique_lock<std::mutex>& lock) {
        if (m_writing) {
            return;
        }
        m_writing = true;
        while (m_reported < m_total && m_done[static_cast<std::size_t>(m_reported)]) {
            const int row = m_reported;
            RowResult result = std::move(m_results[static_cast<std::size_t>(row)]);
            lock.unlock();
            result.lines.WriteTo(m_console);
            result.converted.reset();
            if (m_monitor != nullptr) {
                m_monitor->OnFileDone(row + 1, m_total);
            }
            lock.lock();
            m_failures.insert(m_failures.end(), result.failures.begin(), result.failures.end());
            if (result.spectrum) {
                m_spectra->push_back(std::move(*result.spectrum));
            }
            ++m_reported;
        }
        m_writing = false;
    }

    const std::vector<RunRow> m_table;
    ProgressLines& m_console;
    RunMonitor* const m_monitor;
    // Where the spectra of the converted files go, in table order, when the caller wants them.
    std::vector<FileSpectrum>* const m_spectra;
    const int m_total;
    std::vector<std::string> m_outputKeys;  // the key of each row's output
    std::unordered_set<std::string> m_inputs;
    // For each row, the earlier rows it waits for.
    std::vector<std::vector<int>> m_after;

    std::mutex m_lock;
    std::condition_variable m_changed;
    int m_next = 0;            // the next row to begin
    std::vector<bool> m_done;  // rows finished
    std::vector<RowResult> m_results;
    int m_reported = 0;      // rows whose lines are written
    bool m_writing = false;  // a thread is writing lines
    bool m_stopped = false;
    std::exception_ptr m_error;
    // For each output written so far, the row that last wrote it.
    std::unordered_map<std::string, int> m_lastWriterOf;
    std::vector<FileFailure> m_failures;
};

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

void RunCounts::Add(FileOutcome outcome) {
    ++files;
    switch (outcome) {
        case FileOutcome::converted:
            ++converted;
            break;
        case FileOutcome::skipped:
            ++skipped;
            break;
        case FileOutcome::failed:
            ++failed;
            break;
    }
}

RunCounts& RunCounts::operator+=(const RunCounts& later) {
    files += later.files;
    converted += later.converted;
    skipped += later.skipped;
    failed += later.failed;
    stopped = stopped || later.stopped;
    seconds += later.seconds;
    return *this;
}

std::string RunSummaryText(const RunCounts& counts, float area) {
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, " at area %g in %.1f s", static_cast<double>(area),
                  counts.seconds);
    std::string text = "Converted " + std::to_string(counts.converted) + " of " +
                       std::to_string(counts.files) + (counts.files == 1 ? " file" : " files") +
                       numbers;
    std::string others;
    const auto add = [&others](int count, const char* what) {
        if (count > 0) {
            others += (others.empty() ? "" : ", ") + std::to_string(count) + " " + what;
        }
    };
    add(counts.failed, "failed");
    add(counts.skipped, "skipped");
    const int left = counts.files - counts.converted - counts.failed - counts.skipped;
    add(counts.stopped ? left : 0, "not begun");
    return others.empty() ? text : text + "; " + others + " (see above)";
}

FileOutcome ConvertReported(ProgressLines& console, const std::string& name,
                            const std::string& inputPath, const std::string& outputPath,
                            std::vector<FileFailure>& failures,
                            const std::function<void()>& onWritten,
                            const std::function<void()>& beforeFinished, InterruptNotice* converted,
                            std::optional<FileSpectrum>* spectrum) {
    InterruptNotice untilFinished;
    InterruptNotice& notice = converted != nullptr ? *converted : untilFinished;
    std::string reason;
    try {
        SpectrumWatch watch;
        const ConversionReport report = ConvertFile(inputPath, outputPath, name, &notice, &watch);
        if (report.convertedTable) {
            console.Line("Skipped " + name +
                         ": it is already a converted table (its first line is \"" +
                         std::string(kConvertedTableHeader) + "\")");
            return FileOutcome::skipped;
        }
        if (beforeFinished) {
            // What it does next tells an interruption itself.
            notice.Disarm();
            beforeFinished();
        }
        console.Line("Finished Processing file: " + name);
        untilFinished.Disarm();
        const std::string reading = DescribeReading(report.reading);
        if (!reading.empty()) {
            console.Line(reading);
        }
        if (onWritten) {
            onWritten();
        }
        if (report.rowsInHeaderLines > 0) {
            console.Line(RowsInHeaderLinesText(report));
        }
        if (report.skippedLines > 0) {
            console.Line(SkippedLinesText(report));
        }
        if (report.nonPositiveTauRows > 0) {
            console.Line(NonPositiveTauText(report));
        }
        if (report.textEnd < report.length) {
            console.Line("The text ended at byte " + std::to_string(report.textEnd) + " of " +
                         std::to_string(report.length) +
                         " (a Ctrl-Z byte); the rest was not converted");
        }
        FileSpectrum found = watch.Spectrum(name, outputPath);
        console.Line(FiguresLine(found.figures));
        if (spectrum != nullptr) {
            *spectrum = std::move(found);
        }
        return FileOutcome::converted;
    } catch (const CFileException& error) {
        reason = FailureReason(error, inputPath);
    } catch (const std::exception& error) {
        reason = error.what();
    }
    console.Line("Failed to process file: " + name + ": " + reason);
    failures.push_back({name, std::move(reason)});
    return FileOutcome::failed;
}

int BatchThreads(int files) {
    return std::min(ThreadsToUse(), files);
}

RunCounts RunBatch(ProgressLines& console, RunEndSignal& signal, RunMonitor* monitor,
                   std::vector<FileSpectrum>* spectra) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<RunRow> table;
    for (int i = 0; i < g_fileCount; ++i) {
        table.push_back({g_inputFiles[i].path, g_outputFiles[i].path});
    }
    BatchRun run(std::move(table), console, monitor, spectra);
    const int workers = BatchThreads(run.Total());
    // The processors are shared among the files converted at once.
    const int threadsPerFile = std::max(ThreadsToUse() / std::max(workers, 1), 1);
    std::vector<std::thread> helpers;
    for (int i = 1; i < workers; ++i) {
        try {
            helpers.emplace_back([&run, threadsPerFile] { run.Work(threadsPerFile); });
        } catch (const std::system_error&) {
            break;
        }
    }
    run.Work(threadsPerFile);
    for (std::thread& helper : helpers) {
        helper.join();
    }
    RunCounts counts = run.End(signal);
    counts.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return counts;
}
