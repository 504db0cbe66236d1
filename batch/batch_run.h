#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// A file that a batch run could not convert, and why.
struct FileFailure {
    std::string path;
    std::string reason;
};

// Writes the console's progress lines, each flushed at once so it shows while the run goes on.
class ProgressConsole {
  public:
    // Lines go to `stream`, each ended with `lineEnd`; warnings go to `warnings` as well, if given.
    ProgressConsole(std::FILE* stream, const char* lineEnd, std::FILE* warnings = nullptr)
        : m_stream(stream), m_lineEnd(lineEnd), m_warnings(warnings) {}

    // Writes one line.
    void Line(const std::string& text);

    // Writes one line telling of an output this run wrote and then lost, on both streams.
    void Warning(const std::string& text);

  private:
    std::FILE* m_stream;
    const char* m_lineEnd;
    std::FILE* m_warnings;
};

// Converts `inputPath` into `outputPath` as a run converts each file, reporting it on `console`
// under `name`: a failure is reported and added to `failures` (false), a converted table given as
// input is reported as skipped; `onWritten` runs once the output is written, before the lines on
// skipped rows and an early end of the text.
bool ConvertReported(ProgressConsole& console, const std::string& name,
                     const std::string& inputPath, const std::string& outputPath,
                     std::vector<FileFailure>& failures,
                     const std::function<void()>& onWritten = nullptr);

// Learns how a batch run ended.
class RunEndSignal {
  public:
    virtual ~RunEndSignal() = default;
    // Called once at the end of a run with the files that failed, in table order (empty when every
    // file converted).
    virtual void OnRunEnd(const std::vector<FileFailure>& failures) = 0;
};

// Asked by a run before each file whether to go on, and told after each file.
class RunMonitor {
  public:
    virtual ~RunMonitor() = default;
    // True when the run is to stop before its next file.
    virtual bool StopRequested() = 0;
    // Called after each file with how many of the run's `total` files are done.
    virtual void OnFileDone(int done, int total) = 0;
};

// Converts every row of the file table, as it stands when the run starts, in order, reporting each
// file on `console`, then tells `signal` how the run ended. A failing file is reported and the run
// goes on with the next; a converted table given as input is reported as skipped, neither
// converted nor failed. A row whose output an earlier row of the run wrote replaces that output
// and gives a warning. When `monitor` asks for a stop, the run ends before its next file with
// "Stopped after N of M files".
void RunBatch(ProgressConsole& console, RunEndSignal& signal, RunMonitor* monitor = nullptr);
