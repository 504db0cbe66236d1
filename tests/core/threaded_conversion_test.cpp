#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/conversion_settings.h"
#include "core/file_converter.h"
#include "framework/native_file.h"
#include "framework/processors.h"
#include "support/temp_dir.h"

namespace {

// The rows a conversion told its observer, as "τ γ·A" lines.
class RowRecorder : public RowObserver {
  public:
    void OnRows(const ConvertedRow* rows, std::size_t size) override {
        for (std::size_t i = 0; i < size; ++i) {
            text += std::to_string(rows[i].tau) + " " + std::to_string(rows[i].gammaArea) + "\n";
            ++count;
        }
    }
    std::string text;
    long count = 0;
};

// A conversion's output bytes and report, and the rows its observer was told.
struct Converted {
    std::string bytes;
    ConversionReport report;
    RowRecorder observed;
};

class ThreadedConversionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (AvailableProcessors() < 2) {
            GTEST_SKIP() << "one processor: every conversion runs on one thread";
        }
        // Small files in small chunks, so that a test input spans dozens of them.
        g_threadedConversion = {.minimumBytes = 0, .chunkBytes = 4096, .chunksPerThread = 2};
        g_area = 2.0f;
        g_areaSet = 1;
    }
    void TearDown() override {
        SetNativeFaultPlan(NativeFaultPlan{});
        g_threadedConversion = ThreadedConversion();
        g_maxThreads = 0;
        g_area = 1.0f;
        g_areaSet = 0;
    }

    // Converts `input` with at most `threads` threads.
    Converted Convert(const std::string& input, int threads) {
        WriteBytes(m_input, input);
        g_maxThreads = threads;
        Converted converted;
        converted.report =
            ConvertFile(m_input, m_output, std::string(), nullptr, &converted.observed);
        converted.bytes = ReadBytes(m_output);
        return converted;
    }

    // Expects `input` to convert to the same bytes and report on several threads as on one;
    // returns the report.
    ConversionReport ExpectSameOnThreads(const std::string& input) {
        const Converted one = Convert(input, 1);
        const Converted several = Convert(input, 4);
        // Where the outputs first differ, rather than both of them printed whole.
        const auto difference = std::mismatch(one.bytes.begin(), one.bytes.end(),
                                              several.bytes.begin(), several.bytes.end());
        EXPECT_EQ(difference.first - one.bytes.begin(), static_cast<long>(one.bytes.size()));
        EXPECT_EQ(several.bytes.size(), one.bytes.size());
        // The observer learns every row written, in file order, however the file was shared out.
        EXPECT_EQ(several.observed.count, several.report.rows);
        EXPECT_TRUE(several.observed.text == one.observed.text);
        const ConversionReport& a = one.report;
        const ConversionReport& b = several.report;
        EXPECT_EQ(b.rows, a.rows);
        EXPECT_EQ(b.skippedLines, a.skippedLines);
        EXPECT_EQ(b.firstSkippedLine, a.firstSkippedLine);
        EXPECT_EQ(b.nonPositiveTauRows, a.nonPositiveTauRows);
        EXPECT_EQ(b.firstNonPositiveTauLine, a.firstNonPositiveTauLine);
        EXPECT_EQ(b.textEnd, a.textEnd);
        EXPECT_EQ(b.length, a.length);
        EXPECT_EQ(b.reading.layouts, a.reading.layouts);
        EXPECT_EQ(b.reading.tauFirst, a.reading.tauFirst);
        EXPECT_EQ(b.reading.headerLine, a.reading.headerLine);
        return b;
    }

    TempDir m_dir;
    std::string m_input = m_dir.File("large.txt");
    std::string m_output = m_dir.File("large+PDRT.txt");
};

// `count` data lines in turn of each layout and line end, from line `first` of the data on.
std::string DataLines(int first, int count) {
    std::string lines;
    for (int i = first; i < first + count; ++i) {
        const std::string tau = std::to_string(i % 97 + 1) + "e-" + std::to_string(i % 7);
        const std::string gamma = std::to_string(i % 13) + ".25";
        switch (i % 5) {
            case 0:
                lines += tau + " " + gamma + "\r\n";
                break;
            case 1:
                lines += tau + "\t" + gamma + "\n";
                break;
            case 2:
                lines += tau + ", " + gamma + "\r\n";
                break;
            case 3:
                lines += "\r\n";
                break;
            default:
                lines += tau + " " + gamma + std::string(1, '\0') + "junk\r\n";
                break;
        }
    }
    return lines;
}

constexpr const char* kTauFirstHeader = "L, 1\r\nR, 2\r\ntau, gamma\r\n";

TEST_F(ThreadedConversionTest, ManyChunksConvertAsOnOneThread) {
    std::string input = kTauFirstHeader;
    for (int part = 0; part < 6; ++part) {
        input += DataLines(part * 5000, 5000) + "no row " + std::to_string(part) + "\r\n";
    }
    const ConversionReport report = ExpectSameOnThreads(input + "3 1");
    EXPECT_EQ(report.rows, 24001);
    EXPECT_EQ(report.skippedLines, 6);
}

TEST_F(ThreadedConversionTest, WhatEndsTheChunksLeavesTheSameReport) {
    const std::string start = kTauFirstHeader + DataLines(0, 20000);
    // A first skipped line far from the start, numbered across the chunks before it.
    ExpectSameOnThreads(start + "2 oops\r\n" + DataLines(20000, 5000));
    // A Ctrl-Z ending the text within a line, with lines after it.
    ExpectSameOnThreads(start + "1 2\x1A" + DataLines(20000, 5000));
    // A line longer than the most of a line kept, then more lines.
    ExpectSameOnThreads(start + "1 2 " + std::string(1024 * 1024 + 10, 'x') + "\r\n" +
                        DataLines(20000, 5000));
}

TEST_F(ThreadedConversionTest, TheRowReadingDecidedFirstHoldsInEveryChunk) {
    // Decimal commas after a label column, lines of two rows that a CR splits, and τ not above 0.
    std::string input = "h\r\n;tau;gamma\r\n";
    for (int i = 0; i < 30000; ++i) {
        const std::string row = std::to_string(i) + ";" + std::to_string(i % 50 - 1) + ",5e-" +
                                std::to_string(i % 7) + ";" + std::to_string(i % 13) + ",25";
        input += i % 10 == 0 ? row + "\r" + row + "\r\n" : row + "\r\n";
    }
    const ConversionReport report = ExpectSameOnThreads(input);
    EXPECT_EQ(report.rows, 33000);
    EXPECT_EQ(report.nonPositiveTauRows, 1200);
    EXPECT_EQ(report.firstNonPositiveTauLine, 3);
    EXPECT_EQ(report.reading.sign, DecimalSign::comma);
    EXPECT_TRUE(report.reading.labelColumn);
}

TEST_F(ThreadedConversionTest, AFailureMidwayFailsAsOnOneThreadAndKeepsTheEarlierOutput) {
    const std::string input = kTauFirstHeader + DataLines(0, 40000);
#ifdef _WIN32
    const long diskFull = 112;
#else
    const long diskFull = 28;
#endif
    for (const NativeFaultPlan& plan :
         {NativeFaultPlan{.writeBudget = 300000, .writeError = diskFull},
          NativeFaultPlan{.readBudget = 300000, .readError = 5}}) {
        CFileException failures[2];
        for (int threads : {1, 4}) {
            WriteBytes(m_output, "Freq(Hz), Gamma(tau)\r\nearlier output\r\n");
            WriteBytes(m_input, input);
            g_maxThreads = threads;
            SetNativeFaultPlan(plan);
            try {
                // Told the rows, so that the threads telling them are ended mid-run too.
                RowRecorder observed;
                ConvertFile(m_input, m_output, std::string(), nullptr, &observed);
                ADD_FAILURE() << "the conversion on " << threads << " threads did not fail";
            } catch (const CFileException& e) {
                failures[threads == 1 ? 0 : 1] = e;
            }
            SetNativeFaultPlan(NativeFaultPlan{});
            EXPECT_EQ(ReadBytes(m_output), "Freq(Hz), Gamma(tau)\r\nearlier output\r\n");
            EXPECT_FALSE(Exists(TemporaryOutputPath(m_output)));
        }
        EXPECT_EQ(failures[1].m_cause, failures[0].m_cause);
        EXPECT_EQ(failures[1].m_lOsError, failures[0].m_lOsError);
        EXPECT_EQ(failures[1].m_strFileName, failures[0].m_strFileName);
    }
}

}  // namespace
