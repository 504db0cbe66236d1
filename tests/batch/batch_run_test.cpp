#include "batch/batch_run.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "batch/file_table.h"
#include "core/conversion_settings.h"
#include "support/temp_dir.h"

namespace {

// The figures line of a file of fewer than 3 rows, as the console ends it.
const std::string kNoFigures = "No figures: fewer than 3 rows\r\n";

class RecordingSignal : public RunEndSignal {
  public:
    void OnRunEnd(const std::vector<FileFailure>& failures) override {
        ++calls;
        last = failures;
    }

    int calls = 0;
    std::vector<FileFailure> last;
};

class BatchRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ClearFileTable();
        g_area = 1.0f;
        g_areaSet = 1;
        g_maxThreads = 0;
    }
    void TearDown() override {
        ClearFileTable();
        g_maxThreads = 0;
    }

    // Runs the batch with progress going to a file; returns what was printed.
    std::string Run(RecordingSignal& signal) {
        const std::string consolePath = m_dir.File("console.log");
        std::FILE* stream = std::fopen(consolePath.c_str(), "wb");
        ProgressConsole console(stream, "\r\n");
        RunBatch(console, signal);
        std::fclose(stream);
        return ReadBytes(consolePath);
    }

    TempDir m_dir;
};

TEST_F(BatchRunTest, EmptyTableOnlySignalsTheEnd) {
    RecordingSignal signal;
    EXPECT_EQ(Run(signal), "");
    EXPECT_EQ(signal.calls, 1);
    EXPECT_TRUE(signal.last.empty());
}

TEST_F(BatchRunTest, ConvertsEveryRowInOrderAndReportsEach) {
    const std::string a = m_dir.File("a.txt");
    const std::string b = m_dir.File("b.dat");
    const std::string c = m_dir.File("c");
    WriteBytes(a, "h\nh\nh\n12.5 0.5\n");
    WriteBytes(b, "h\r\nh\r\nh\r\n3 1\r\n");
    WriteBytes(c,
               "h\nh\nh\n1 1\nnot a number\n2 1\nsee 3\n\x1A"
               "9 9\n");
    AppendFiles({a, b, c});
    RecordingSignal signal;
    EXPECT_EQ(Run(signal), "Finished Processing file: " + a + "\r\n" + kNoFigures +
                               "Finished Processing file: " + b + "\r\n" + kNoFigures +
                               "Finished Processing file: " + c + "\r\n" +
                               "Skipped 2 lines that do not hold two numbers, the first at "
                               "line 5\r\n"
                               "The text ended at byte 33 of 38 (a Ctrl-Z byte); the rest was "
                               "not converted\r\n" +
                               kNoFigures);
    EXPECT_TRUE(signal.last.empty());
    EXPECT_EQ(ReadBytes(m_dir.File("a+PDRT.txt")), "Freq(Hz), Gamma(tau)\r\n0.318310, 12.5\r\n");
    EXPECT_EQ(ReadBytes(m_dir.File("b+PDRT.txt")), "Freq(Hz), Gamma(tau)\r\n0.159155, 3\r\n");
    EXPECT_EQ(ReadBytes(m_dir.File("c+PDRT.txt")),
              "Freq(Hz), Gamma(tau)\r\n0.159155, 1\r\n0.159155, 2\r\n");

    // A second run converts the same rows again into the same outputs.
    RecordingSignal again;
    Run(again);
    EXPECT_EQ(g_fileCount, 3);
    EXPECT_EQ(ReadBytes(m_dir.File("a+PDRT.txt")), "Freq(Hz), Gamma(tau)\r\n0.318310, 12.5\r\n");
}

TEST_F(BatchRunTest, ARowReplacingTheOutputOfAnEarlierRowNamesIt) {
    const std::string dat = m_dir.File("a.dat");
    const std::string txt = m_dir.File("a.txt");
    const std::string missing = m_dir.File("a.csv");
    const std::string other = m_dir.File("b.txt");
    const std::string log = m_dir.File("a.log");
    WriteBytes(dat, "h\nh\nh\n1 1\n");
    WriteBytes(txt, "h\nh\nh\n2 1\n");
    WriteBytes(other, "h\nh\nh\n3 1\n");
    WriteBytes(log, "h\nh\nh\n4 1\n");
    // The failing row writes nothing, so the last row replaces the output of a.txt.
    AppendFiles({dat, txt, missing, other, log});
    RecordingSignal signal;
    const std::string console = Run(signal);
    ASSERT_EQ(signal.last.size(), 1u);
    EXPECT_EQ(console, "Finished Processing file: " + dat + "\r\n" + kNoFigures +
                           "Finished Processing file: " + txt + "\r\n" + txt +
                           ": replaces the output of " + dat + "\r\n" + kNoFigures +
                           "Failed to process file: " + missing + ": " + signal.last[0].reason +
                           "\r\n" + "Finished Processing file: " + other + "\r\n" + kNoFigures +
                           "Finished Processing file: " + log + "\r\n" + log +
                           ": replaces the output of " + txt + "\r\n" + kNoFigures);
    EXPECT_EQ(ReadBytes(m_dir.File("a+PDRT.txt")), "Freq(Hz), Gamma(tau)\r\n0.159155, 4\r\n");
}

TEST_F(BatchRunTest, AnOutputNeverReplacesAnInputOfTheRunUnlessItIsAConvertedTable) {
    const std::string a = m_dir.File("a.txt");
    const std::string export_ = m_dir.File("a+PDRT.txt");
    WriteBytes(a, "h\nh\nh\n3 1\n");
    const std::string userData = "the user's own export\nh\nh\n5 1\n";
    WriteBytes(export_, userData);
    // The input is the output's file however its path is spelled.
    AppendFiles({a, m_dir.File("./a+PDRT.txt")});
    RecordingSignal signal;
    Run(signal);
    ASSERT_EQ(signal.last.size(), 1u);
    EXPECT_EQ(signal.last[0].path, a);
    EXPECT_EQ(ReadBytes(export_), userData);
    EXPECT_EQ(ReadBytes(m_dir.File("a+PDRT+PDRT.txt")), "Freq(Hz), Gamma(tau)\r\n0.159155, 5\r\n");

    // A table an earlier run wrote is what a's output is meant to replace.
    WriteBytes(export_, "Freq(Hz), Gamma(tau)\r\n0.159155, 2\r\n");
    RecordingSignal again;
    Run(again);
    EXPECT_TRUE(again.last.empty());
    EXPECT_EQ(ReadBytes(export_), "Freq(Hz), Gamma(tau)\r\n0.159155, 3\r\n");
}

TEST_F(BatchRunTest, AFileWithoutRowsFailsAndKeepsItsEarlierOutput) {
    const std::string words = m_dir.File("words.txt");
    const std::string blanks = m_dir.File("blanks.txt");
    const std::string nuls = m_dir.File("nuls.txt");
    WriteBytes(words, "h\nh\nh\nno data\n\"1\";\"2\"\n");
    WriteBytes(blanks, "h\nh\nh\n\n \t\n");
    WriteBytes(nuls, std::string(64, '\0'));
    const std::string earlier = "Freq(Hz), Gamma(tau)\r\n0.159155, 7\r\n";
    WriteBytes(m_dir.File("words+PDRT.txt"), earlier);
    AppendFiles({words, blanks, nuls});
    RecordingSignal signal;
    const std::string noRows = ": it holds no rows of γ and τ";
    EXPECT_EQ(Run(signal),
              "Failed to process file: " + words + noRows +
                  ": none of its 2 lines of text below the header lines, from line 4 on, holds two "
                  "numbers; nothing was written\r\n" +
                  "Failed to process file: " + blanks + noRows + "; nothing was written\r\n" +
                  "Failed to process file: " + nuls + noRows + "; nothing was written\r\n");
    EXPECT_EQ(ReadBytes(m_dir.File("words+PDRT.txt")), earlier);
    EXPECT_FALSE(Exists(m_dir.File("blanks+PDRT.txt")));
    EXPECT_FALSE(Exists(m_dir.File("nuls+PDRT.txt")));
}

TEST_F(BatchRunTest, AFailingFileIsReportedAndTheRunGoesOn) {
    const std::string good1 = m_dir.File("good1.txt");
    const std::string missing = m_dir.File("missing.txt");
    const std::string good2 = m_dir.File("good2.txt");
    WriteBytes(good1, "h\nh\nh\n1 1\n");
    WriteBytes(good2, "h\nh\nh\n2 1\n");
    AppendFiles({good1, missing, good2});
    RecordingSignal signal;
    const std::string console = Run(signal);

    ASSERT_EQ(signal.calls, 1);
    ASSERT_EQ(signal.last.size(), 1u);
    EXPECT_EQ(signal.last[0].path, missing);
    EXPECT_FALSE(signal.last[0].reason.empty());
    EXPECT_EQ(console, "Finished Processing file: " + good1 + "\r\n" + kNoFigures +
                           "Failed to process file: " + missing + ": " + signal.last[0].reason +
                           "\r\n" + "Finished Processing file: " + good2 + "\r\n" + kNoFigures);
    EXPECT_TRUE(Exists(m_dir.File("good2+PDRT.txt")));
    EXPECT_FALSE(Exists(m_dir.File("missing+PDRT.txt")));
}

// Stops once `stopAfter` files are done, records the progress it is told and empties the file
// table as the first file is done.
class StoppingMonitor : public RunMonitor {
  public:
    explicit StoppingMonitor(int stopAfter) : m_stopAfter(stopAfter) {}
    bool StopRequested() override { return done.size() >= static_cast<std::size_t>(m_stopAfter); }
    void OnFileDone(int count, int total) override {
        done.push_back({count, total});
        ClearFileTable();
    }

    std::vector<std::pair<int, int>> done;

  private:
    int m_stopAfter;
};

TEST_F(BatchRunTest, AStopEndsTheRunBeforeTheNextFileAndTheTableIsTakenAtTheStart) {
    const std::string a = m_dir.File("a.txt");
    const std::string b = m_dir.File("b.txt");
    const std::string c = m_dir.File("c.txt");
    for (const std::string& path : {a, b, c}) {
        WriteBytes(path, "h\nh\nh\n1 1\n");
    }
    AppendFiles({a, b, c});
    // One file at a time, so that the stop falls between two files.
    g_maxThreads = 1;
    StoppingMonitor monitor(2);
    RecordingSignal signal;
    const std::string consolePath = m_dir.File("console.log");
    std::FILE* stream = std::fopen(consolePath.c_str(), "wb");
    ProgressConsole console(stream, "\n");
    RunBatch(console, signal, &monitor);
    std::fclose(stream);
    EXPECT_EQ(ReadBytes(consolePath), "Finished Processing file: " + a +
                                          "\nNo figures: fewer than 3 rows"
                                          "\nFinished Processing file: " +
                                          b +
                                          "\nNo figures: fewer than 3 rows"
                                          "\nStopped after 2 of 3 files\n");
    EXPECT_EQ(monitor.done, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}}));
    EXPECT_EQ(signal.calls, 1);
    EXPECT_TRUE(Exists(m_dir.File("b+PDRT.txt")));
    EXPECT_FALSE(Exists(m_dir.File("c+PDRT.txt")));
}

TEST_F(BatchRunTest, OnSeveralThreadsTheLinesAndOutputsAreThoseOfOneThread) {
    // Pairs of rows with one output, the second replacing the first's; a row that fails; rows
    // with skipped lines; a row whose output is the input of a later row.
    std::vector<std::string> rows;
    for (int i = 0; i < 60; ++i) {
        const std::string stem = m_dir.File("f" + std::to_string(i));
        WriteBytes(stem + ".txt", "h\nh\nh\n" + std::to_string(i) + " 1\n");
        WriteBytes(stem + ".dat", "h\nh\nh\n" + std::to_string(i) + " 2\nnot a row\n");
        rows.push_back(stem + ".txt");
        rows.push_back(stem + ".dat");
    }
    rows.insert(rows.begin() + 7, m_dir.File("missing.txt"));
    rows.insert(rows.begin() + 43, m_dir.File("f20+PDRT.txt"));
    AppendFiles(rows);
    const auto runOn = [&](int threads, std::vector<std::string>& outputs) {
        g_maxThreads = threads;
        RecordingSignal signal;
        const std::string console = Run(signal);
        for (int i = 0; i < 60; ++i) {
            const std::string output = m_dir.File("f" + std::to_string(i) + "+PDRT.txt");
            outputs.push_back(ReadBytes(output));
            std::filesystem::remove(Utf8Path(output));
        }
        outputs.push_back(ReadBytes(m_dir.File("f20+PDRT+PDRT.txt")));
        return console;
    };
    std::vector<std::string> one;
    std::vector<std::string> several;
    const std::string oneThread = runOn(1, one);
    EXPECT_EQ(runOn(4, several), oneThread);
    EXPECT_EQ(several, one);
    EXPECT_EQ(one[5], "Freq(Hz), Gamma(tau)\r\n0.079577, 5\r\n");
}

}  // namespace
