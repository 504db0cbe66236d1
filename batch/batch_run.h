#pragma once

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "batch/file_spectrum.h"

class InterruptNotice;

// A file that a batch run could not convert, and why.
struct FileFailure {
    std::string path;
    std::string reason;
};

// Where the lines telling of a run's progress go.
class ProgressLines {
  public:
    virtual ~ProgressLines() = default;
    // Takes one line.
    virtual void Line(const std::string& text) = 0;
    // Takes one line telling of an output this run wrote and then lost.
    virtual void Warning(const std::string& text) = 0;
};

// Writes the console's progress lines, each flushed at once so it shows while the run goes on.
class ProgressConsole : public ProgressLines {
  public:
    // Lines go to `stream`, each ended with `lineEnd`; warnings go to `warnings` as well, if given.
    ProgressConsole(std::FILE* stream, const char* lineEnd, std::FILE* warnings = nullptr)
        : m_stream(stream), m_lineEnd(lineEnd), m_warnings(warnings) {}

    // Writes one line.
    void Line(const std::string& text) override;

    // Writes one line on both streams.
    void Warning(const std::string& text) override;

  private:
    std::FILE* m_stream;
    const char* m_lineEnd;
    std::FILE* m_warnings;
};

// What became of one file of a run.
enum class FileOutcome { converted, skipped, failed };

// What a run, or several runs of one command, did with their files.
struct RunCounts {
    int files = 0;  // the files it was given
    int converted = 0;
    int skipped = 0;  // converted tables given as inputs
    int failed = 0;
    bool stopped = false;  // it stopped, as asked, before its last file
    double seconds = 0.0;

    // Counts one file with its outcome.
    void Add(FileOutcome outcome);
    // Adds the counts of a later run of the same command.
    RunCounts& operator+=(const RunCounts& later);
};

// The line that ends every run: e.g. "Converted 998 of 1000 files at area 2.5 in 3.1 s; 2 failed,
// 1 skipped (see above)", `area` being the area that multiplied γ.
std::string RunSummaryText(const RunCounts& counts, float area);

// Converts `inputPath` into `outputPath` as a run converts each file, reporting it on `console`
// under `name`: a failure is reported and added to `failures`, a converted table given as input
// is reported as skipped. Once the output is written, `beforeFinished` runs before the "Finished"
// line (what it raises fails the file), and `onWritten` after it, before the lines on header lines
// that hold a row, skipped rows, rows whose τ is not above 0 and an early end of the text.
// From the output's commit, an interruption tells that the file was converted: until the
// "Finished" line, or, when `converted` is given, until the caller ends that notice once the
// lines recorded on `console` are out. A converted file's lines end with its figures
// (FiguresLine); its spectrum goes to `spectrum` when given.
FileOutcome ConvertReported(ProgressLines& console, const std::string& name,
                            const std::string& inputPath, const std::string& outputPath,
                            std::vector<FileFailure>& failures,
                            const std::function<void()>& onWritten = nullptr,
                            const std::function<void()>& beforeFinished = nullptr,
                            InterruptNotice* converted = nullptr,
                            std::optional<FileSpectrum>* spectrum = nullptr);

// Learns how a batch run ended.
class RunEndSignal {
  public:
    virtual ~RunEndSignal() = default;
    // Called once at the end of a run with the files that failed, in table order (empty when every
    // file converted).
    virtual void OnRunEnd(const std::vector<FileFailure>& failures) = 0;
};

// Asked by a run before each file whether to go on, and told after each file. Each of its calls
// comes from one thread at a time, not always the same one; a StopRequested may come while an
// OnFileDone is under way on another thread.
class RunMonitor {
  public:
    virtual ~RunMonitor() = default;
    // True when the run is to start no further file.
    virtual bool StopRequested() = 0;
    // Called after each file, in table order, with how many of the run's `total` files are done.
    virtual void OnFileDone(int done, int total) = 0;
};

// How many files a run of `files` rows converts at once: ThreadsToUse(), at most `files`.
int BatchThreads(int files);

// Converts every row of the file table, as it stands when the run starts, reporting each file on
// `console`, then tells `signal` how the run ended. Up to ThreadsToUse() files are converted at
// once, but rows that share a file (an input, an output, or an output's temporary, however their
// paths spell it) one after the other in table order, and every file's lines are written in
// table order once it is done. A failing file is reported and the run goes on; a converted table
// given as input is reported as skipped, neither converted nor failed. A row whose output an
// earlier row of the run wrote replaces that output and gives a warning. When `monitor` asks for a
// stop, the files begun are finished and the run ends with "Stopped after N of M files". Returns
// what the run did, which the caller sums up (RunSummaryText) once its command is done; the
// converted files' spectra are added to `spectra`, in table order, when it is given.
RunCounts RunBatch(ProgressLines& console, RunEndSignal& signal, RunMonitor* monitor = nullptr,
                   std::vector<FileSpectrum>* spectra = nullptr);
