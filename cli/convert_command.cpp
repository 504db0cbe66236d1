#include "cli/convert_command.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <functional>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "analysis/summary_table.h"
#include "batch/batch_run.h"
#include "batch/file_table.h"
#include "batch/merged_table.h"
#include "cli/standard_input.h"
#include "cli/wildcards.h"
#include "core/conversion_settings.h"
#include "framework/console_text.h"
#include "framework/path_keys.h"
#include "framework/whole_file.h"
#include "plot/plot_layout.h"
#include "plot/svg_writer.h"

namespace {

constexpr const char* kProgram = "kelvane-convert";

// Gathers the failures of every chunk of the run.
class FailureList : public RunEndSignal {
  public:
    void OnRunEnd(const std::vector<FileFailure>& failures) override {
        m_failures.insert(m_failures.end(), failures.begin(), failures.end());
    }

    const std::vector<FileFailure>& Failures() const { return m_failures; }

  private:
    std::vector<FileFailure> m_failures;
};

constexpr const char* kHelp =
    "Usage: kelvane-convert [--area A] [--columns gamma,tau|tau,gamma]\n"
    "                       [--summary CSV] [--merge CSV] [--plot SVG] FILE...\n"
    "\n"
    "Converts distribution-of-relaxation-times exports (gamma against tau) into\n"
    "tables of frequency 1/(2*pi*tau) in hertz against gamma times the electrode\n"
    "area. Each FILE is written beside itself as <name>+PDRT.txt, replacing an\n"
    "earlier output only once the new one is complete.\n"
    "\n"
    "Options:\n"
    "  --area A         Electrode surface area that multiplies every gamma: a\n"
    "                   number from about 1.2e-38 to 3.4e38 (default 1.0).\n"
    "  --columns ORDER  Order of the first two columns, gamma,tau or tau,gamma, in\n"
    "                   files whose column header names no order. Without it, a\n"
    "                   column that runs evenly on a log scale is tau, else gamma\n"
    "                   comes first.\n"
    "  --summary CSV    Writes one line per converted FILE: its rows, frequency\n"
    "                   range, area, polarisation resistance R_pol (the integral of\n"
    "                   gamma times the area over ln tau) and up to five peaks.\n"
    "  --merge CSV      Writes the converted tables side by side in one table.\n"
    "  --plot SVG       Writes a plot of every converted FILE, gamma times the area\n"
    "                   against frequency, as an SVG picture.\n"
    "  -h, --help       Shows this help.\n"
    "  --version        Shows the version.\n"
    "\n"
    "A FILE holds header lines (three, or fewer above a line naming the columns),\n"
    "then lines of gamma and tau separated by white space, commas, ';' or tabs,\n"
    "with decimal points or decimal commas. A file with no such line fails. FILE\n"
    "may be '-' (once) for standard input: its table then goes to standard output,\n"
    "and the progress lines and messages go to standard error; it is left out of\n"
    "--summary, --merge and --plot.\n"
    "\n"
    "Exit status: 0 when every FILE converted; 1 when any could not be (the others\n"
    "are still converted, and the failures are listed on standard error); 2 when\n"
    "the command line is wrong, and nothing is converted.\n"
    "\n"
    "Example:\n"
    "  kelvane-convert --area 0.785 cell-A.txt cell-B.txt\n";

// The FILE that stands for standard input and output.
constexpr std::string_view kStandardStreams = "-";

int UsageError(std::FILE* err, const std::string& message) {
    WriteConsoleText(err, std::string(kProgram) + ": " + message + "\nRun '" + kProgram +
                              " --help' for usage.\n");
    return kExitUsage;
}

// What is wrong with the options among `arguments`, in plain words: an unknown option, an option
// without its value or given twice; empty when nothing is. Files are left to the parser.
std::string OptionMistake(const std::vector<std::string>& arguments) {
    struct ValueOption {
        std::string_view name;
        std::string_view example;
        int count;
    };
    ValueOption options[] = {{"--area", "2.5", 0},
                             {"--columns", "tau,gamma", 0},
                             {"--summary", "runs.csv", 0},
                             {"--merge", "merged.csv", 0},
                             {"--plot", "run.svg", 0}};
    for (std::size_t i = 0; i < arguments.size() && arguments[i] != "--"; ++i) {
        const std::string& argument = arguments[i];
        if (argument.size() < 2 || argument[0] != '-') {
            continue;
        }
        const std::string name = argument.substr(0, argument.find('='));
        ValueOption* option = nullptr;
        for (ValueOption& candidate : options) {
            option = candidate.name == name ? &candidate : option;
        }
        if (option == nullptr) {
            if (argument == "--help" || argument == "-h" || argument == "--version") {
                continue;
            }
            return "unknown option " + name;
        }
        // The value follows the name, after '=' ("--area=2.5") or as the next argument.
        const bool attached = name.size() < argument.size();
        const bool missing = attached
                                 ? name.size() + 1 == argument.size()
                                 : i + 1 == arguments.size() || arguments[i + 1].starts_with("--");
        if (missing) {
            return std::string(option->name) + " needs a value, such as " +
                   std::string(option->name) + " " + std::string(option->example);
        }
        i += attached ? 0 : 1;
        if (++option->count > 1) {
            return std::string(option->name) + " was given twice";
        }
    }
    return {};
}

// Converts `inputs`, the files the arguments name, through the file table, a table's worth at a
// time, reporting on `console` and adding the failures to `failures` and, when given, the
// converted files' spectra to `spectra`; returns what became of the files, an unmatched pattern
// counting as a failed file.
RunCounts ConvertFiles(const ExpandedArguments& inputs, ProgressConsole& console,
                       std::vector<FileFailure>& failures, std::vector<FileSpectrum>* spectra) {
    RunCounts counts;
    for (const std::string& pattern : inputs.unmatched) {
        failures.push_back({pattern, "no file matches it"});
        console.Line("No file matches " + pattern);
        counts.Add(FileOutcome::failed);
    }
    const std::vector<std::string>& files = inputs.files;
    FailureList converted;
    for (std::size_t first = 0; first < files.size(); first += kMaxFiles) {
        const std::size_t last = std::min(files.size(), first + kMaxFiles);
        ClearFileTable();
        AppendFiles(std::vector<std::string>(files.begin() + static_cast<std::ptrdiff_t>(first),
                                             files.begin() + static_cast<std::ptrdiff_t>(last)));
        counts += RunBatch(console, converted, nullptr, spectra);
    }
    ClearFileTable();
    failures.insert(failures.end(), converted.Failures().begin(), converted.Failures().end());
    return counts;
}

// The files asked for beside the tables, by their options' values; empty when not asked for.
struct RunFiles {
    std::string summary;
    std::string merge;
    std::string plot;

    bool Any() const { return !summary.empty() || !merge.empty() || !plot.empty(); }
};

// What is wrong with the files `files` asks for, given the `inputs` of the command: one that
// would replace an input or an output of the run, or a file asked for twice; empty when nothing.
std::string RunFilesMistake(const RunFiles& files, const std::vector<std::string>& inputs) {
    PathKeys keys;
    std::unordered_set<std::string> taken;
    for (const std::string& input : inputs) {
        const FileNameParts parts = InputFileFor(input);
        taken.insert(keys.Key(input));
        taken.insert(keys.Key(OutputFileFor(parts).path));
    }
    const std::pair<const char*, const std::string*> asked[] = {
        {"--summary", &files.summary}, {"--merge", &files.merge}, {"--plot", &files.plot}};
    for (const auto& [option, path] : asked) {
        if (path->empty()) {
            continue;
        }
        if (!taken.insert(keys.Key(*path)).second) {
            return std::string(option) + " " + *path +
                   " names a FILE of this command, its output, or the file of another option; "
                   "it would be replaced";
        }
    }
    return {};
}

// The size of the --plot picture, in pixels and the height of its text.
constexpr PlotSize kPlotSize = {960.0, 600.0, 13.0};

// Writes the files `files` asks for from the converted files' `spectra` at `area`; returns a line
// for each that could not be written, saying why, and adds to `notes` a line for each file left
// out of one.
std::string WriteRunFiles(const RunFiles& files, const std::vector<FileSpectrum>& spectra,
                          double area, std::string& notes) {
    std::string failed;
    const auto write = [&failed](const std::string& path, const char* option,
                                 const std::function<void()>& writeFile) {
        if (path.empty()) {
            return;
        }
        try {
            writeFile();
        } catch (const std::exception& error) {
            failed += std::string(kProgram) + ": " + option + " " + path +
                      " could not be written: " + error.what() + "\n";
        }
    };
    write(files.summary, "--summary",
          [&] { WriteWholeFile(files.summary, SpectraSummary(spectra, area), SummaryHeader()); });
    write(files.merge, "--merge", [&] {
        for (const std::string& left : WriteMergedTable(spectra, files.merge)) {
            notes +=
                std::string(kProgram) + ": --merge " + files.merge + " leaves out " + left + "\n";
        }
    });
    write(files.plot, "--plot", [&] {
        const std::string svg = SvgDocument(LayOutPlot(SpectraCurves(spectra), area, kPlotSize));
        WriteWholeFile(files.plot, svg, "<?xml");
    });
    return failed;
}

}  // namespace

bool ParseArea(const std::string& text, double& area) {
    double value = 0.0;
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    // The area multiplies γ in single precision: a zero, subnormal or infinite float would turn
    // every γ into 0 or inf.
    if (error != std::errc() || end != last || !(value > 0.0) ||
        !std::isnormal(static_cast<float>(value))) {
        return false;
    }
    area = value;
    return true;
}

int RunConvertCommand(const std::vector<std::string>& arguments, std::FILE* in, std::FILE* out,
                      std::FILE* err) {
    const std::string mistake = OptionMistake(arguments);
    if (!mistake.empty()) {
        return UsageError(err, mistake);
    }
    CLI::App app("", kProgram);
    // Paths may begin with '/', which must never be taken for a Windows-style option.
    app.allow_windows_style_options(false);
    std::string areaText = "1.0";
    std::string columns;
    RunFiles runFiles;
    std::vector<std::string> files;
    app.add_option("--area", areaText);
    app.add_option("--columns", columns);
    app.add_option("--summary", runFiles.summary);
    app.add_option("--merge", runFiles.merge);
    app.add_option("--plot", runFiles.plot);
    app.add_option("files", files);
    app.set_version_flag("--version", std::string(kProgram) + " " + KELVANE_VERSION);
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        WriteConsoleText(out, kHelp);
        return kExitSuccess;
    } catch (const CLI::CallForVersion& version) {
        WriteConsoleText(out, std::string(version.what()) + "\n");
        return kExitSuccess;
    } catch (const CLI::ParseError& error) {
        return UsageError(err, error.what());
    }

    if (files.empty()) {
        return UsageError(err, "no FILE given");
    }
    const bool columnsGiven = app.count("--columns") > 0;
    if (columnsGiven && columns != "gamma,tau" && columns != "tau,gamma") {
        return UsageError(err, "--columns must be gamma,tau or tau,gamma; got '" + columns + "'");
    }
    double area = 0.0;
    if (!ParseArea(areaText, area)) {
        return UsageError(
            err, "--area needs a number from about 1.2e-38 to 3.4e38, such as 2.5 or 1e-2; got '" +
                     areaText + "'");
    }
    const auto streams = std::find(files.begin(), files.end(), kStandardStreams);
    if (streams != files.end() &&
        std::find(streams + 1, files.end(), kStandardStreams) != files.end()) {
        return UsageError(err, "- was given twice; standard input can be read only once");
    }
    const ExpandedArguments before = ExpandWildcards({files.begin(), streams});
    const ExpandedArguments after =
        streams != files.end() ? ExpandWildcards({streams + 1, files.end()}) : ExpandedArguments();
    std::vector<std::string> inputs = before.files;
    inputs.insert(inputs.end(), after.files.begin(), after.files.end());
    const std::string runFilesMistake = RunFilesMistake(runFiles, inputs);
    if (!runFilesMistake.empty()) {
        return UsageError(err, runFilesMistake);
    }
    g_area = static_cast<float>(area);
    g_areaSet = 1;
    g_columnOrder = !columnsGiven            ? ColumnOrder::byFile
                    : columns == "tau,gamma" ? ColumnOrder::tauGamma
                                             : ColumnOrder::gammaTau;

    // Standard output holds only the table read from standard input, if one is.
    const bool tableToOut = streams != files.end();
    ProgressConsole console(tableToOut ? err : out, "\n", tableToOut ? nullptr : err);
    std::vector<FileFailure> failures;
    const auto start = std::chrono::steady_clock::now();
    std::vector<FileSpectrum> spectra;
    std::vector<FileSpectrum>* const kept = runFiles.Any() ? &spectra : nullptr;
    RunCounts counts = ConvertFiles(before, console, failures, kept);
    if (tableToOut) {
        counts.Add(ConvertStandardInput(in, out, console, failures));
        counts += ConvertFiles(after, console, failures, kept);
    }
    std::string notes;
    const std::string unwritten = WriteRunFiles(runFiles, spectra, AreaApplied(), notes);
    counts.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fflush(out);
    std::string summary = RunSummaryText(counts, AreaApplied()) + "\n";
    if (!failures.empty()) {
        summary += std::string(kProgram) + ": " + std::to_string(failures.size()) + " of " +
                   std::to_string(counts.files) + " files could not be converted:\n";
        for (const FileFailure& failure : failures) {
            summary += "  " + failure.path + ": " + failure.reason + "\n";
        }
    }
    WriteConsoleText(err, notes + summary + unwritten);
    return failures.empty() && unwritten.empty() ? kExitSuccess : kExitFailures;
}
