#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "batch/batch_run.h"
#include "batch/file_spectrum.h"
#include "batch/file_table.h"
#include "bench/baseline_converter.h"
#include "bench/bench_data.h"
#include "core/conversion_settings.h"
#include "core/file_converter.h"
#include "framework/file.h"

namespace {

constexpr long kLargeFileLines = 3'000'000;
constexpr int kBatchFiles = kMaxFiles;
constexpr long kBatchFileLines = 200;
constexpr float kArea = 2.0f;
constexpr std::size_t kCopyBlock = std::size_t{1} << 20;

constexpr const char* kCopyName = "LargeFile/BlockCopy";
constexpr const char* kLargeBaselineName = "LargeFile/Baseline";
constexpr const char* kLargeConvertName = "LargeFile/ConvertFile";
constexpr const char* kLargeConvertOneThreadName = "LargeFile/ConvertFileOneThread";
constexpr const char* kLargeCommaName = "LargeFile/ConvertFileComma";
constexpr const char* kLargeFiguresName = "LargeFile/ConvertFileWithFigures";
constexpr const char* kLargeFiguresOneThreadName = "LargeFile/ConvertFileWithFiguresOneThread";
constexpr const char* kLargeCommaFiguresName = "LargeFile/ConvertFileCommaWithFigures";
constexpr const char* kLargeFiguresAloneName = "LargeFile/FiguresAloneComma";

// Whether each iteration of a batch benchmark finds the outputs of the one before it, to be
// replaced, or no outputs at all, as on a first conversion.
enum class Outputs { replace, fresh };

constexpr const char* kBatchCopyNames[] = {"Batch1000/BlockCopy/replace",
                                           "Batch1000/BlockCopy/fresh"};
constexpr const char* kBatchRenameCopyNames[] = {"Batch1000/BlockCopyViaRename/replace",
                                                 "Batch1000/BlockCopyViaRename/fresh"};
constexpr const char* kBatchThreadedRenameCopyNames[] = {
    "Batch1000/BlockCopyViaRenameThreaded/replace", "Batch1000/BlockCopyViaRenameThreaded/fresh"};
constexpr const char* kBatchThreadedSafeCopyNames[] = {"Batch1000/SafeCopyThreaded/replace",
                                                       "Batch1000/SafeCopyThreaded/fresh"};
constexpr const char* kBatchBaselineNames[] = {"Batch1000/Baseline/replace",
                                               "Batch1000/Baseline/fresh"};
constexpr const char* kBatchRunNames[] = {"Batch1000/RunBatch/replace", "Batch1000/RunBatch/fresh"};
constexpr const char* kBatchRunOneThreadNames[] = {"Batch1000/RunBatchOneThread/replace",
                                                   "Batch1000/RunBatchOneThread/fresh"};

namespace fs = std::filesystem;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

using FilePointer = std::unique_ptr<std::FILE, FileCloser>;

// A fresh folder inside `parent`, removed with everything in it when this object goes unless
// kept.
class TemporaryFolder {
  public:
    explicit TemporaryFolder(const fs::path& parent) {
        std::random_device entropy;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const fs::path candidate = parent / ("kelvane-bench-" + std::to_string(entropy()));
            if (fs::create_directory(candidate)) {
                m_path = candidate;
                return;
            }
        }
        throw std::runtime_error("cannot create a temporary folder");
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    ~TemporaryFolder() {
        if (!m_keep) {
            std::error_code ignored;
            fs::remove_all(m_path, ignored);
        }
    }

    const fs::path& Path() const { return m_path; }
    void Keep() { m_keep = true; }

  private:
    fs::path m_path;
    bool m_keep = false;
};

// The generated inputs and the outputs each benchmark writes.
struct BenchData {
    std::string largeInput;
    DrtFileSize largeSize;
    std::string largeBaselineOutput;
    std::string largeConvertOutput;
    std::string largeOneThreadOutput;
    std::string largeCopy;
    std::string commaInput;
    DrtFileSize commaSize;
    std::string commaConvertOutput;
    std::vector<std::string> batchInputs;
    std::vector<std::string> batchBaselineOutputs;
    std::vector<std::string> batchCopies;
    std::vector<std::string> batchRenamedCopies;
    std::vector<std::string> batchSafeCopies;
    std::vector<std::string> batchConvertOutputs;
    long batchLines = 0;
    std::uint64_t batchBytes = 0;
};

// Writes the large file and the batch files into `folder`, each batch file in one notation.
BenchData GenerateData(const fs::path& folder) {
    BenchData data;
    data.largeInput = (folder / "large.txt").string();
    data.largeSize = WriteDrtFile(data.largeInput, MixedShape(kLargeFileLines));
    data.largeBaselineOutput = (folder / "large+BASE.txt").string();
    data.largeConvertOutput = (folder / "large+PDRT.txt").string();
    data.largeOneThreadOutput = (folder / "large-one-thread+PDRT.txt").string();
    data.largeCopy = (folder / "large.copy").string();
    data.commaInput = (folder / "comma.txt").string();
    data.commaSize = WriteDrtFile(data.commaInput, CommaShape(kLargeFileLines));
    data.commaConvertOutput = (folder / "comma+PDRT.txt").string();

    const fs::path batchFolder = folder / "batch";
    fs::create_directory(batchFolder);
    for (int i = 0; i < kBatchFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "drt_%04d", i);
        DrtFileShape shape;
        shape.dataLines = kBatchFileLines;
        shape.seed = static_cast<std::uint32_t>(1000 + i);
        shape.firstNotation = i % kNotationCount;
        shape.notationRun = 0;
        const std::string input = (batchFolder / (std::string(name) + ".txt")).string();
        const DrtFileSize size = WriteDrtFile(input, shape);
        data.batchInputs.push_back(input);
        data.batchBaselineOutputs.push_back(
            (batchFolder / (std::string(name) + "+BASE.txt")).string());
        data.batchCopies.push_back((batchFolder / (std::string(name) + ".copy")).string());
        data.batchRenamedCopies.push_back(
            (batchFolder / (std::string(name) + ".renamed")).string());
        data.batchSafeCopies.push_back((batchFolder / (std::string(name) + "+SAFE.txt")).string());
        data.batchConvertOutputs.push_back(
            (batchFolder / (std::string(name) + "+PDRT.txt")).string());
        data.batchLines += size.dataLines;
        data.batchBytes += size.bytes;
    }
    return data;
}

// Reports lines per second as items and input bytes per second.
void SetThroughput(benchmark::State& state, long lines, std::uint64_t bytes) {
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(lines));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

// Copies `from` to `to` in blocks of kCopyBlock bytes; false on any failure.
bool BlockCopy(const std::string& from, const std::string& to, std::vector<char>& block) {
    const FilePointer in(std::fopen(from.c_str(), "rb"));
    FilePointer out(std::fopen(to.c_str(), "wb"));
    if (in == nullptr || out == nullptr) {
        return false;
    }
    std::setvbuf(in.get(), nullptr, _IONBF, 0);
    std::setvbuf(out.get(), nullptr, _IONBF, 0);
    for (;;) {
        const std::size_t got = std::fread(block.data(), 1, block.size(), in.get());
        if (got > 0 && std::fwrite(block.data(), 1, got, out.get()) != got) {
            return false;
        }
        if (got < block.size()) {
            break;
        }
    }
    return std::ferror(in.get()) == 0 && std::fclose(out.release()) == 0;
}

// The floor: the large file's bytes read and written again, with no conversion.
void BenchBlockCopy(benchmark::State& state, const BenchData& data) {
    std::vector<char> block(kCopyBlock);
    for (auto _ : state) {
        if (!BlockCopy(data.largeInput, data.largeCopy, block)) {
            state.SkipWithError("the block copy failed");
            break;
        }
    }
    SetThroughput(state, data.largeSize.dataLines, data.largeSize.bytes);
}

// Removes `paths` with the clock stopped when the iterations are to write fresh outputs.
void RemoveUntimed(benchmark::State& state, Outputs outputs,
                   const std::vector<std::string>& paths) {
    if (outputs == Outputs::fresh) {
        state.PauseTiming();
        for (const std::string& path : paths) {
            std::remove(path.c_str());
        }
        state.ResumeTiming();
    }
}

// The floor of the batch: each of its files copied in the same way.
void BenchBatchCopy(benchmark::State& state, const BenchData& data, Outputs outputs) {
    std::vector<char> block(kCopyBlock);
    for (auto _ : state) {
        RemoveUntimed(state, outputs, data.batchCopies);
        for (std::size_t i = 0; i < data.batchInputs.size(); ++i) {
            if (!BlockCopy(data.batchInputs[i], data.batchCopies[i], block)) {
                state.SkipWithError("the block copy failed");
                break;
            }
        }
    }
    SetThroughput(state, data.batchLines, data.batchBytes);
}

// Copies `from` to a temporary beside `to` and renames it over `to`; false on any failure.
bool RenameCopy(const std::string& from, const std::string& to, std::vector<char>& block) {
    const std::string temporary = to + ".partial";
    std::error_code error;
    if (!BlockCopy(from, temporary, block)) {
        return false;
    }
    fs::rename(temporary, to, error);
    return !error;
}

// Copies `from` to `to` as ConvertFile writes its output: read through CFile, written to a new
// temporary held by this copy alone, committed to the device and moved over `to`, with the
// checks that keep two runs apart. False on any failure.
bool SafeCopy(const std::string& from, const std::string& to, std::vector<char>& block) {
    try {
        CFile in;
        CFile out;
        const std::string temporary = TemporaryOutputPath(to);
        if (!in.Open(from, CFile::modeRead | CFile::typeBinary) ||
            !out.OpenTemporary(temporary, kConvertedTableHeader)) {
            return false;
        }
        for (unsigned got = 0; (got = in.Read(block.data(), kCopyBlock)) > 0;) {
            out.Write(block.data(), got);
        }
        in.Close();
        out.CommitTemporary(temporary, to);
        out.Close();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

using CopyFunction = bool (*)(const std::string&, const std::string&, std::vector<char>&);

// Copies each batch file into `copies` by `copy` on `threads` threads, each taking the next file;
// false when a copy failed.
bool CopyBatch(const BenchData& data, const std::vector<std::string>& copies, CopyFunction copy,
               int threads) {
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    const auto work = [&] {
        std::vector<char> block(kCopyBlock);
        for (std::size_t i = next++; i < data.batchInputs.size() && !failed; i = next++) {
            failed = failed || !copy(data.batchInputs[i], copies[i], block);
        }
    };
    std::vector<std::thread> helpers;
    for (int i = 1; i < threads; ++i) {
        helpers.emplace_back(work);
    }
    work();
    for (std::thread& helper : helpers) {
        helper.join();
    }
    return !failed;
}

// The floor of a batch whose outputs appear only once complete: each file copied to a temporary
// beside its copy, which is then renamed over the copy, as RunBatch writes its outputs; on one
// thread, or as many as RunBatch uses (the floor of a run converting several files at once).
void BenchBatchRenameCopy(benchmark::State& state, const BenchData& data, Outputs outputs,
                          int threads) {
    for (auto _ : state) {
        RemoveUntimed(state, outputs, data.batchRenamedCopies);
        if (!CopyBatch(data, data.batchRenamedCopies, RenameCopy, threads)) {
            state.SkipWithError("the block copy through a rename failed");
            break;
        }
    }
    SetThroughput(state, data.batchLines, data.batchBytes);
}

// The file-system floor of this program's safe writes: each batch file copied by SafeCopy, on
// as many threads as RunBatch uses.
void BenchBatchThreadedSafeCopy(benchmark::State& state, const BenchData& data, Outputs outputs) {
    for (auto _ : state) {
        RemoveUntimed(state, outputs, data.batchSafeCopies);
        if (!CopyBatch(data, data.batchSafeCopies, SafeCopy, BatchThreads(kBatchFiles))) {
            state.SkipWithError("the threaded safe copy failed");
            break;
        }
    }
    SetThroughput(state, data.batchLines, data.batchBytes);
}

// The C library reference on the large file.
void BenchLargeBaseline(benchmark::State& state, const BenchData& data) {
    for (auto _ : state) {
        if (!BaselineConvert(data.largeInput, data.largeBaselineOutput, kArea)) {
            state.SkipWithError("the baseline could not open its files");
            break;
        }
    }
    SetThroughput(state, data.largeSize.dataLines, data.largeSize.bytes);
}

// The converter on the large file, with at most `maxThreads` threads (0: the machine's), and,
// with `figures`, the spectrum's figures and plot curve gathered as a run gathers them.
void BenchLargeConvert(benchmark::State& state, const BenchData& data, int maxThreads,
                       bool figures) {
    g_maxThreads = maxThreads;
    state.counters["threads"] = ThreadsToUse();
    for (auto _ : state) {
        try {
            SpectrumWatch watch;
            const ConversionReport report =
                ConvertFile(data.largeInput,
                            maxThreads == 1 ? data.largeOneThreadOutput : data.largeConvertOutput,
                            std::string(), nullptr, figures ? &watch : nullptr);
            benchmark::DoNotOptimize(report.rows);
            if (figures) {
                benchmark::DoNotOptimize(watch.Spectrum("", "").figures.rPol);
            }
        } catch (const std::exception& error) {
            state.SkipWithError(error.what());
            break;
        }
    }
    g_maxThreads = 0;
    SetThroughput(state, data.largeSize.dataLines, data.largeSize.bytes);
}

// Keeps every row a conversion writes.
class RowCollector : public RowObserver {
  public:
    void OnRows(const ConvertedRow* rows, std::size_t count) override {
        m_rows.insert(m_rows.end(), rows, rows + count);
    }
    const std::vector<ConvertedRow>& Rows() const { return m_rows; }

  private:
    std::vector<ConvertedRow> m_rows;
};

// The spectrum's figures and plot curve alone, gathered from the comma file's rows as converted
// (read once, before timing), in the batches of 4096 rows the one-thread conversion hands on.
void BenchLargeFiguresAlone(benchmark::State& state, const BenchData& data) {
    RowCollector collector;
    try {
        ConvertFile(data.commaInput, data.commaConvertOutput, std::string(), nullptr, &collector);
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
        return;
    }
    const std::vector<ConvertedRow>& rows = collector.Rows();
    constexpr std::size_t kBatch = 4096;
    for (auto _ : state) {
        SpectrumWatch watch;
        for (std::size_t first = 0; first < rows.size(); first += kBatch) {
            watch.OnRows(rows.data() + first, std::min(kBatch, rows.size() - first));
        }
        benchmark::DoNotOptimize(watch.Spectrum("", "").figures.rPol);
    }
    SetThroughput(state, data.commaSize.dataLines, data.commaSize.bytes);
}

// The converter on the comma-separated τ-first file of as many lines, with `figures` as above.
// Its τ, printed to 7 digits, stays strictly monotonic, so that its spectrum has figures (the
// large file's τ, printed to 6 digits in a quarter of its lines, repeats, and its figures end at
// the first repeat).
void BenchLargeComma(benchmark::State& state, const BenchData& data, bool figures) {
    for (auto _ : state) {
        try {
            SpectrumWatch watch;
            const ConversionReport report =
                ConvertFile(data.commaInput, data.commaConvertOutput, std::string(), nullptr,
                            figures ? &watch : nullptr);
            benchmark::DoNotOptimize(report.rows);
            if (figures) {
                benchmark::DoNotOptimize(watch.Spectrum("", "").figures.rPol);
            }
        } catch (const std::exception& error) {
            state.SkipWithError(error.what());
            break;
        }
    }
    SetThroughput(state, data.commaSize.dataLines, data.commaSize.bytes);
}

// The C library reference on each batch file in turn, in this one process.
void BenchBatchBaseline(benchmark::State& state, const BenchData& data, Outputs outputs) {
    for (auto _ : state) {
        RemoveUntimed(state, outputs, data.batchBaselineOutputs);
        for (std::size_t i = 0; i < data.batchInputs.size(); ++i) {
            if (!BaselineConvert(data.batchInputs[i], data.batchBaselineOutputs[i], kArea)) {
                state.SkipWithError("the baseline could not open its files");
                break;
            }
        }
    }
    SetThroughput(state, data.batchLines, data.batchBytes);
}

// Counts the files of a batch run that failed.
class FailureCount : public RunEndSignal {
  public:
    void OnRunEnd(const std::vector<FileFailure>& failures) override {
        m_count = failures.size();
        if (!failures.empty()) {
            m_first = failures.front().path + ": " + failures.front().reason;
        }
    }

    std::size_t Count() const { return m_count; }
    const std::string& First() const { return m_first; }

  private:
    std::size_t m_count = 0;
    std::string m_first;
};

// The batch job on the batch files: the file table filled afresh, then one run, progress lines
// going to `console`; on at most `maxThreads` threads (0: as many as RunBatch takes).
void BenchBatchRun(benchmark::State& state, const BenchData& data, Outputs outputs,
                   std::FILE* console, int maxThreads) {
    ProgressConsole progress(console, "\n");
    FailureCount failures;
    g_maxThreads = maxThreads;
    for (auto _ : state) {
        RemoveUntimed(state, outputs, data.batchConvertOutputs);
        ClearFileTable();
        AppendFiles(data.batchInputs);
        RunBatch(progress, failures);
        if (failures.Count() != 0) {
            state.SkipWithError(failures.First().c_str());
            break;
        }
    }
    g_maxThreads = 0;
    SetThroughput(state, data.batchLines, data.batchBytes);
}

// The console report, remembering the wall time per iteration of each benchmark: the median
// when repetitions give one, else the mean over the repetitions.
class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    RecordingReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& reports) override {
        ConsoleReporter::ReportRuns(reports);
        for (const Run& run : reports) {
            if (run.error_occurred || run.iterations == 0) {
                continue;
            }
            const double seconds = run.real_accumulated_time / static_cast<double>(run.iterations);
            Timing& timing = m_timings[run.run_name.function_name];
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median") {
                    timing.median = seconds;
                }
            } else {
                timing.sum += seconds;
                ++timing.count;
            }
        }
    }

    // Seconds per iteration of `name`, or a negative value when it did not run.
    double Seconds(const std::string& name) const {
        const auto found = m_timings.find(name);
        if (found == m_timings.end()) {
            return -1.0;
        }
        const Timing& timing = found->second;
        if (timing.median > 0.0) {
            return timing.median;
        }
        return timing.count > 0 ? timing.sum / timing.count : -1.0;
    }

  private:
    struct Timing {
        double median = -1.0;
        double sum = 0.0;
        int count = 0;
    };
    std::map<std::string, Timing> m_timings;
};

// True when both files exist and hold the same bytes.
bool SameBytes(const std::string& first, const std::string& second) {
    std::ifstream a(first, std::ios::binary);
    std::ifstream b(second, std::ios::binary);
    if (!a || !b) {
        return false;
    }
    std::vector<char> blockA(kCopyBlock);
    std::vector<char> blockB(kCopyBlock);
    for (;;) {
        a.read(blockA.data(), static_cast<std::streamsize>(blockA.size()));
        b.read(blockB.data(), static_cast<std::streamsize>(blockB.size()));
        if (a.gcount() != b.gcount() ||
            std::memcmp(blockA.data(), blockB.data(), static_cast<std::size_t>(a.gcount())) != 0) {
            return false;
        }
        if (a.gcount() == 0 || !a || !b) {
            return !a && !b;
        }
    }
}

// The value of the field `key` ("VmRSS:", "VmHWM:") of /proc/self/status in KiB, or -1.
long StatusKiB(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == key) {
            long value = -1;
            status >> value;
            return value;
        }
    }
    return -1;
}

// How far the resident set grew beyond its size at the start while `work` ran, in KiB; -1 where
// the system cannot reset its peak (Linux 4.0 and later can).
long PeakGrowthKiB(const std::function<void()>& work) {
    {
        std::ofstream reset("/proc/self/clear_refs");
        reset << "5";
        reset.flush();
        if (!reset) {
            work();
            return -1;
        }
    }
    const long before = StatusKiB("VmRSS:");
    work();
    const long peak = StatusKiB("VmHWM:");
    return before < 0 || peak < 0 ? -1 : peak - before;
}

// Whether a ratio's target is a floor or a ceiling.
enum class Bound { atLeast, atMost };

// Prints one row of the ratio table: numerator / denominator, and against `target` when it is
// above zero.
void PrintRatio(const char* comparison, double numerator, double denominator, double target,
                Bound bound = Bound::atLeast) {
    if (numerator <= 0.0 || denominator <= 0.0) {
        std::printf("  %-62s %12s\n", comparison, "not measured");
        return;
    }
    const double ratio = numerator / denominator;
    if (target > 0.0) {
        const bool met = bound == Bound::atLeast ? ratio >= target : ratio <= target;
        std::printf("  %-62s %11.2fx  %s %gx  %s\n", comparison, ratio,
                    bound == Bound::atLeast ? ">=" : "<=", target, met ? "met" : "MISSED");
    } else {
        std::printf("  %-62s %11.2fx\n", comparison, ratio);
    }
}

// Prints the ratios of the timings, whether the outputs agree and the memory ConvertFile takes.
void PrintSummary(const RecordingReporter& reporter, const BenchData& data) {
    const double copy = reporter.Seconds(kCopyName);
    const double largeBaseline = reporter.Seconds(kLargeBaselineName);
    const double largeConvert = reporter.Seconds(kLargeConvertName);
    const double largeOneThread = reporter.Seconds(kLargeConvertOneThreadName);
    const double largeComma = reporter.Seconds(kLargeCommaName);
    const double largeFigures = reporter.Seconds(kLargeFiguresName);
    const double largeFiguresOneThread = reporter.Seconds(kLargeFiguresOneThreadName);
    const double largeCommaFigures = reporter.Seconds(kLargeCommaFiguresName);
    const double largeFiguresAlone = reporter.Seconds(kLargeFiguresAloneName);

    std::printf("\nRatios of wall time per iteration\n");
    std::printf("  %-62s %12s  %-6s\n", "comparison", "measured", "target");
    PrintRatio("ConvertFile on one thread vs baseline, large file (speed-up)", largeBaseline,
               largeOneThread, 9.5);
    PrintRatio("ConvertFile on the machine's threads vs baseline, large file (speed-up)",
               largeBaseline, largeConvert, 15.0);
    PrintRatio("ConvertFile, one thread vs the machine's threads (speed-up)", largeOneThread,
               largeConvert, 0.0);
    PrintRatio("ConvertFile vs block copy, large file (time ratio)", largeConvert, copy, 0.0);
    PrintRatio("comma file vs plain large file, ConvertFile (time ratio)", largeComma, largeConvert,
               1.5, Bound::atMost);
    PrintRatio("baseline vs block copy, large file (time ratio)", largeBaseline, copy, 0.0);
    PrintRatio("with figures vs without, large file (time ratio)", largeFigures, largeConvert, 1.05,
               Bound::atMost);
    PrintRatio("with figures vs without, large file, one thread (time ratio)",
               largeFiguresOneThread, largeOneThread, 1.05, Bound::atMost);
    PrintRatio("with figures vs without, comma file (time ratio)", largeCommaFigures, largeComma,
               1.05, Bound::atMost);
    PrintRatio("the figures alone vs ConvertFile, comma file (time ratio)", largeFiguresAlone,
               largeComma, 0.05, Bound::atMost);
    bool batchesRan = false;
    for (const Outputs outputs : {Outputs::replace, Outputs::fresh}) {
        const auto index = static_cast<std::size_t>(outputs);
        const char* const kind = outputs == Outputs::replace ? "outputs replaced" : "fresh outputs";
        const double batchCopy = reporter.Seconds(kBatchCopyNames[index]);
        const double batchRenameCopy = reporter.Seconds(kBatchRenameCopyNames[index]);
        const double batchBaseline = reporter.Seconds(kBatchBaselineNames[index]);
        const double batchThreadedRenameCopy =
            reporter.Seconds(kBatchThreadedRenameCopyNames[index]);
        const double batchRun = reporter.Seconds(kBatchRunNames[index]);
        const double batchRunOneThread = reporter.Seconds(kBatchRunOneThreadNames[index]);
        batchesRan = batchesRan || (batchBaseline > 0.0 && batchRun > 0.0);
        const std::string files = std::string(", 1000 files, ") + kind;
        PrintRatio(("RunBatch vs baseline" + files + " (speed-up)").c_str(), batchBaseline,
                   batchRun, 5.0);
        PrintRatio(("RunBatch vs threaded block copy via rename" + files).c_str(), batchRun,
                   batchThreadedRenameCopy, 1.3, Bound::atMost);
        PrintRatio(("RunBatch vs threaded safe copy" + files).c_str(), batchRun,
                   reporter.Seconds(kBatchThreadedSafeCopyNames[index]), 0.0);
        PrintRatio(("threaded safe copy vs threaded block copy via rename" + files).c_str(),
                   reporter.Seconds(kBatchThreadedSafeCopyNames[index]), batchThreadedRenameCopy,
                   0.0);
        // With one processor RunBatch takes one thread, and should cost no more than that.
        PrintRatio(("RunBatch vs RunBatch on one thread" + files + " (time ratio)").c_str(),
                   batchRun, batchRunOneThread, BatchThreads(kBatchFiles) == 1 ? 1.03 : 0.0,
                   Bound::atMost);
        PrintRatio(("RunBatch on one thread vs baseline" + files + " (speed-up)").c_str(),
                   batchBaseline, batchRunOneThread, 0.0);
        PrintRatio(("RunBatch vs block copy" + files).c_str(), batchRun, batchCopy, 0.0);
        PrintRatio(("baseline vs block copy" + files).c_str(), batchBaseline, batchCopy, 0.0);
        PrintRatio(("RunBatch vs block copy via rename" + files).c_str(), batchRun, batchRenameCopy,
                   0.0);
        PrintRatio(("baseline vs block copy via rename" + files).c_str(), batchBaseline,
                   batchRenameCopy, 0.0);
    }

    std::printf("\nOutputs\n");
    if (largeBaseline > 0.0 && largeConvert > 0.0) {
        std::printf("  large file, ConvertFile and baseline outputs byte-identical: %s\n",
                    SameBytes(data.largeBaselineOutput, data.largeConvertOutput) ? "yes" : "NO");
    }
    if (largeBaseline > 0.0 && largeOneThread > 0.0) {
        std::printf(
            "  large file, ConvertFile on one thread and baseline outputs byte-identical: %s\n",
            SameBytes(data.largeBaselineOutput, data.largeOneThreadOutput) ? "yes" : "NO");
    }
    if (largeComma > 0.0) {
        // The comma file's values written as plain lines, converted by the baseline, untimed.
        const std::string twin = data.commaInput + ".plain";
        const std::string twinOutput = data.commaInput + ".plain+BASE.txt";
        const bool same = WriteDrtFile(twin, CommaTwinShape(kLargeFileLines)).dataLines ==
                              data.commaSize.dataLines &&
                          BaselineConvert(twin, twinOutput, kArea) &&
                          SameBytes(twinOutput, data.commaConvertOutput);
        std::remove(twin.c_str());
        std::remove(twinOutput.c_str());
        std::printf(
            "  comma file, ConvertFile output and the baseline's of the same values as plain "
            "lines byte-identical: %s\n",
            same ? "yes" : "NO");
    }
    if (batchesRan) {
        int differing = 0;
        for (std::size_t i = 0; i < data.batchInputs.size(); ++i) {
            if (!SameBytes(data.batchConvertOutputs[i], data.batchBaselineOutputs[i])) {
                ++differing;
            }
        }
        std::printf("  batch, files whose RunBatch output differs from the baseline's: %d of %zu\n",
                    differing, data.batchInputs.size());
    }

    const std::string scratch = data.largeConvertOutput + ".memory";
    const auto convert = [&](const std::string& input) {
        return [&scratch, input] { ConvertFile(input, scratch); };
    };
    convert(data.batchInputs.front())();
    const long small = PeakGrowthKiB(convert(data.batchInputs.front()));
    const long large = PeakGrowthKiB(convert(data.largeInput));
    std::remove(scratch.c_str());
    std::printf("\nMemory: growth of the resident set's peak during one ConvertFile\n");
    if (small < 0 || large < 0) {
        std::printf("  not measurable on this system\n");
    } else {
        std::printf("  %ld-line file (%llu bytes): %ld KiB\n", kBatchFileLines,
                    static_cast<unsigned long long>(fs::file_size(data.batchInputs.front())),
                    small);
        std::printf("  %ld-line file (%llu bytes): %ld KiB\n", data.largeSize.dataLines,
                    static_cast<unsigned long long>(data.largeSize.bytes), large);
    }
}

void PrintUsage() {
    std::printf(
        "kelvane_bench [--data-dir=DIR] [--keep-data] [Google Benchmark flags]\n"
        "  Generates a %ld-line DRT export, a comma-separated tau-first one of as many lines\n"
        "  and %d files of %ld lines in a new folder, then measures block copies, the\n"
        "  baseline, ConvertFile and RunBatch on them.\n"
        "  --data-dir=DIR  makes the folder inside DIR (default: the temporary directory)\n"
        "  --keep-data     leaves the folder in place and prints its path\n\n",
        kLargeFileLines, kBatchFiles, kBatchFileLines);
    benchmark::PrintDefaultHelp();
}

}  // namespace

int main(int argc, char** argv) {
    bool keepData = false;
    std::string dataDir;
    constexpr std::string_view kDataDirFlag = "--data-dir=";
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument == "--keep-data") {
            keepData = true;
        } else if (argument.starts_with(kDataDirFlag)) {
            dataDir = argument.substr(kDataDirFlag.size());
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    benchmark::Initialize(&argc, argv, PrintUsage);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 2;
    }
    try {
        TemporaryFolder folder(dataDir.empty() ? fs::temp_directory_path() : fs::path(dataDir));
        if (keepData) {
            folder.Keep();
            std::printf("Data folder: %s\n", folder.Path().string().c_str());
        }
        const auto started = std::chrono::steady_clock::now();
        const BenchData data = GenerateData(folder.Path());
        const std::chrono::duration<double> generation = std::chrono::steady_clock::now() - started;
        std::printf(
            "Generated %ld lines (%llu bytes) in one file, %ld lines (%llu bytes) in the comma "
            "file "
            "and %ld lines (%llu bytes) in %zu files in %.1f s\n",
            data.largeSize.dataLines, static_cast<unsigned long long>(data.largeSize.bytes),
            data.commaSize.dataLines, static_cast<unsigned long long>(data.commaSize.bytes),
            data.batchLines, static_cast<unsigned long long>(data.batchBytes),
            data.batchInputs.size(), generation.count());
        std::fflush(stdout);

        g_area = kArea;
        g_areaSet = 1;
        const FilePointer console(std::fopen(
#ifdef _WIN32
            "NUL",
#else
            "/dev/null",
#endif
            "w"));
        if (console == nullptr) {
            throw std::runtime_error("cannot open the null device");
        }

        benchmark::RegisterBenchmark(kCopyName, BenchBlockCopy, std::cref(data))
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MinTime(1.0);
        benchmark::RegisterBenchmark(kLargeBaselineName, BenchLargeBaseline, std::cref(data))
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(3);
        for (const bool figures : {false, true}) {
            benchmark::RegisterBenchmark(figures ? kLargeFiguresName : kLargeConvertName,
                                         BenchLargeConvert, std::cref(data), 0, figures)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->MinTime(3.0);
            benchmark::RegisterBenchmark(
                figures ? kLargeFiguresOneThreadName : kLargeConvertOneThreadName,
                BenchLargeConvert, std::cref(data), 1, figures)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->MinTime(3.0);
        }
        for (const bool figures : {false, true}) {
            benchmark::RegisterBenchmark(figures ? kLargeCommaFiguresName : kLargeCommaName,
                                         BenchLargeComma, std::cref(data), figures)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->MinTime(3.0);
        }
        benchmark::RegisterBenchmark(kLargeFiguresAloneName, BenchLargeFiguresAlone,
                                     std::cref(data))
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MinTime(3.0);
        for (const Outputs outputs : {Outputs::replace, Outputs::fresh}) {
            const auto index = static_cast<std::size_t>(outputs);
            benchmark::RegisterBenchmark(kBatchCopyNames[index], BenchBatchCopy, std::cref(data),
                                         outputs)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->MinTime(1.0);
            benchmark::RegisterBenchmark(kBatchRenameCopyNames[index], BenchBatchRenameCopy,
                                         std::cref(data), outputs, 1)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->MinTime(1.0);
            benchmark::RegisterBenchmark(kBatchThreadedRenameCopyNames[index], BenchBatchRenameCopy,
                                         std::cref(data), outputs, BatchThreads(kBatchFiles))
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->MinTime(1.0);
            benchmark::RegisterBenchmark(kBatchThreadedSafeCopyNames[index],
                                         BenchBatchThreadedSafeCopy, std::cref(data), outputs)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->MinTime(1.0);
            benchmark::RegisterBenchmark(kBatchBaselineNames[index], BenchBatchBaseline,
                                         std::cref(data), outputs)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->MinTime(2.0);
            benchmark::RegisterBenchmark(kBatchRunNames[index], BenchBatchRun, std::cref(data),
                                         outputs, console.get(), 0)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->MinTime(2.0);
            benchmark::RegisterBenchmark(kBatchRunOneThreadNames[index], BenchBatchRun,
                                         std::cref(data), outputs, console.get(), 1)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->MinTime(2.0);
        }

        RecordingReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        PrintSummary(reporter, data);
        ClearFileTable();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kelvane_bench: %s\n", error.what());
        benchmark::Shutdown();
        return 1;
    }
    benchmark::Shutdown();
    return 0;
}
