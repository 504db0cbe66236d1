#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/input_reading.h"
#include "core/row_observer.h"
#include "framework/file_exception.h"
#include "framework/interrupt.h"

// The frequency constant: 1 / (2 × 3.1415926), the value every published output of this tool used.
inline constexpr double K = 0.15915494580678602;

// The first line of every table ConvertFile writes.
inline constexpr std::string_view kConvertedTableHeader = "Freq(Hz), Gamma(tau)";

// What one conversion met besides its rows.
struct ConversionReport {
    long rows = 0;                     // data rows written
    long skippedLines = 0;             // lines that held text but not two numbers
    long firstSkippedLine = 0;         // line number (from 1) of the first of them, or 0
    long rowsInHeaderLines = 0;        // header lines that read as rows, not converted
    long firstRowInHeaderLines = 0;    // line number of the first of them, or 0
    long nonPositiveTauRows = 0;       // rows written whose τ is 0 or below
    long firstNonPositiveTauLine = 0;  // line number of the first of them, or 0
    std::uint64_t textEnd = 0;         // where the input's text ended (a Ctrl-Z byte)
    std::uint64_t length = 0;          // the input's length when the conversion began
    // True when the input is a table ConvertFile wrote; nothing was written for it.
    bool convertedTable = false;
    // How the input's text, rows and columns were read.
    InputReading reading;
};

// How ConvertFile shares out a large input. When the input holds at least `minimumBytes` of
// single-byte text with line feeds and ThreadsToUse() is above 1, its data lines after the column
// order is settled are read in chunks of about `chunkBytes` (at most 1 MiB) ending at line ends,
// converted on ThreadsToUse() threads (the calling one, which reads the chunks and writes their
// rows in order, among them) with at most `chunksPerThread` chunks per thread in memory at a time:
// the same bytes and report as on one thread.
struct ThreadedConversion {
    // About 20 ms of converting on one thread: below it, starting the threads and first touching
    // the chunks' memory take much of what they save, and a batch's usual files stay on one thread.
    std::uint64_t minimumBytes = 8 * 1024 * 1024;
    std::size_t chunkBytes = 1024 * 1024;
    int chunksPerThread = 3;
};

// The sharing out every ConvertFile uses; tests make it reachable by small files.
extern ThreadedConversion g_threadedConversion;

// Converts the γ(τ) table `inputPath` into the frequency table `outputPath`, scaling γ by the
// area of the conversion settings. Its rows and their reading are decided first (DecideLayout):
// from the first row on, every line that reading reads is a row, and its first two numbers are γ
// and τ in the order decided. A file that DecideLayout refuses, or that holds no row, fails and
// nothing is written. The output appears only once complete: it is
// written beside itself under TemporaryOutputPath, committed to the device and then moved over any
// earlier output. An input whose first line is kConvertedTableHeader is left alone and nothing is
// written. Only a table of this program's, or an empty file, is replaced (CheckReplaceable).
// Raises CFileException on any failure of either file, when another conversion is writing
// the same output, and when the input changed its length meanwhile, leaving an earlier output
// untouched. An interruption names the input `inputName`, or its path when that is empty; from
// the output's commit on, `converted`, when given, tells an interruption that it was converted.
// `observer`, when given, learns every row written.
ConversionReport ConvertFile(std::string inputPath, std::string outputPath,
                             const std::string& inputName = std::string(),
                             InterruptNotice* converted = nullptr, RowObserver* observer = nullptr);

// Raises CFileException when the file at `path` must not be replaced by a table: it is read-only,
// it cannot be read (for the system's reason), or it holds something other than a table this
// program wrote. A missing or an empty file may be replaced.
void CheckReplaceable(const std::string& path);

// True when `path` exists and is not a table that this program wrote (its first line is not
// kConvertedTableHeader): replacing it would lose data of the user's.
bool HoldsOtherData(const std::string& path);

// The temporary name under which the output of ConvertFile is written until it is complete: the
// output's name with ".tmp" in place of its extension, so no longer than a "+PDRT.txt" name.
std::string TemporaryOutputPath(const std::string& outputPath);
