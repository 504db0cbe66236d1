#include "cli/convert_command.h"

#include <gtest/gtest.h>

#include "analysis/summary_table.h"
#include "batch/file_table.h"
#include "core/conversion_settings.h"
#include "core/file_converter.h"
#include "support/temp_dir.h"

namespace {

// The figures line of a file of fewer than 3 rows, with the line ends around it.
const std::string kNoFigures = "\nNo figures: fewer than 3 rows\n";

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class ConvertCommandTest : public ::testing::Test {
  protected:
    void TearDown() override {
        g_area = 1.0f;
        g_areaSet = 0;
        g_columnOrder = ColumnOrder::byFile;
    }

    Outcome Run(const std::vector<std::string>& arguments, const std::string& input = "") {
        const std::string inPath = m_dir.File("stdin.log");
        const std::string outPath = m_dir.File("stdout.log");
        const std::string errPath = m_dir.File("stderr.log");
        WriteBytes(inPath, input);
        std::FILE* in = std::fopen(inPath.c_str(), "rb");
        std::FILE* out = std::fopen(outPath.c_str(), "wb");
        std::FILE* err = std::fopen(errPath.c_str(), "wb");
        const int status = RunConvertCommand(arguments, in, out, err);
        std::fclose(in);
        std::fclose(out);
        std::fclose(err);
        return {status, ReadBytes(outPath), ReadBytes(errPath)};
    }

    // `err` with the time of its summary line ("in 0.0 s") made "in T s".
    static std::string WithoutTime(std::string err) {
        const std::size_t in = err.rfind(" in ");
        const std::size_t seconds = err.find(" s", in + 4);
        if (in != std::string::npos && seconds != std::string::npos) {
            err.replace(in + 4, seconds - in - 4, "T");
        }
        return err;
    }

    std::string Input(const std::string& name, const std::string& data) {
        WriteBytes(m_dir.File(name), "h\r\nh\r\nh\r\n" + data);
        return m_dir.File(name);
    }

    TempDir m_dir;
};

TEST_F(ConvertCommandTest, ConvertsEachFileInOrderWithTheArea) {
    const std::string a = Input("a.txt", "1.5 2e-3\r\n");
    const std::string b = Input("b.dat", "3 1\r\n");
    const Outcome outcome = Run({"--area", "2", b, a});
    EXPECT_EQ(outcome.status, kExitSuccess);
    EXPECT_EQ(outcome.out, "Finished Processing file: " + b + kNoFigures +
                               "Finished Processing file: " + a + kNoFigures);
    EXPECT_EQ(WithoutTime(outcome.err), "Converted 2 of 2 files at area 2 in T s\n");
    EXPECT_EQ(ReadBytes(m_dir.File("a+PDRT.txt")), "Freq(Hz), Gamma(tau)\r\n79.577469, 3\r\n");
    EXPECT_EQ(ReadBytes(m_dir.File("b+PDRT.txt")), "Freq(Hz), Gamma(tau)\r\n0.159155, 6\r\n");
}

TEST_F(ConvertCommandTest, AreaDefaultsToOneAndIsAlwaysApplied) {
    g_area = 7.0f;
    const std::string a = Input("a.txt", "3 1\r\n");
    EXPECT_EQ(Run({a}).status, kExitSuccess);
    EXPECT_EQ(ReadBytes(m_dir.File("a+PDRT.txt")), "Freq(Hz), Gamma(tau)\r\n0.159155, 3\r\n");
    EXPECT_EQ(g_areaSet, 1);
}

TEST_F(ConvertCommandTest, FailuresAreListedAndTheOthersStillConvert) {
    const std::string good = Input("good.txt", "3 1\r\n");
    const std::string missing = m_dir.File("missing.txt");
    const Outcome outcome = Run({missing, good});
    EXPECT_EQ(outcome.status, kExitFailures);
    EXPECT_NE(outcome.out.find("Failed to process file: " + missing + ": "), std::string::npos);
    EXPECT_NE(outcome.out.find("Finished Processing file: " + good), std::string::npos);
    EXPECT_NE(WithoutTime(outcome.err)
                  .find("Converted 1 of 2 files at area 1 in T s; 1 failed (see above)\n"
                        "kelvane-convert: 1 of 2 files could not be converted"),
              std::string::npos)
        << outcome.err;
    EXPECT_NE(outcome.err.find("  " + missing + ": "), std::string::npos);
    EXPECT_TRUE(Exists(m_dir.File("good+PDRT.txt")));
}

TEST_F(ConvertCommandTest, AReplacedOutputIsAlsoToldOnStandardErrorWithoutFailing) {
    const std::string dat = Input("a.dat", "1 1\r\n");
    const std::string txt = Input("a.txt", "2 1\r\n");
    const Outcome outcome = Run({dat, txt});
    const std::string warning = txt + ": replaces the output of " + dat + "\n";
    EXPECT_EQ(outcome.status, kExitSuccess);
    EXPECT_EQ(outcome.out, "Finished Processing file: " + dat + kNoFigures +
                               "Finished Processing file: " + txt + "\n" + warning +
                               kNoFigures.substr(1));
    EXPECT_EQ(WithoutTime(outcome.err), warning + "Converted 2 of 2 files at area 1 in T s\n");
    EXPECT_EQ(ReadBytes(m_dir.File("a+PDRT.txt")), "Freq(Hz), Gamma(tau)\r\n0.159155, 2\r\n");
}

TEST_F(ConvertCommandTest, ConvertedTablesAreSkippedWithoutWritingOrFailing) {
    const std::string a = Input("a.txt", "3 1\r\n");
    const std::string converted = m_dir.File("a+PDRT.txt");
    const std::string convertedOutput = m_dir.File("a+PDRT+PDRT.txt");
    WriteBytes(convertedOutput, "Freq(Hz), Gamma(tau)\r\nearlier output\r\n");
    // The second file is the output the first one has just written.
    const Outcome outcome = Run({a, converted});
    EXPECT_EQ(outcome.status, kExitSuccess);
    EXPECT_EQ(outcome.out, "Finished Processing file: " + a + kNoFigures + "Skipped " + converted +
                               ": it is already a converted table (its first line is "
                               "\"Freq(Hz), Gamma(tau)\")\n");
    EXPECT_EQ(WithoutTime(outcome.err),
              "Converted 1 of 2 files at area 1 in T s; 1 skipped (see above)\n");
    EXPECT_EQ(ReadBytes(convertedOutput), "Freq(Hz), Gamma(tau)\r\nearlier output\r\n");
    EXPECT_FALSE(Exists(TemporaryOutputPath(convertedOutput)));
}

TEST_F(ConvertCommandTest, MoreFilesThanOneTableHoldsAreAllConverted) {
    std::vector<std::string> files;
    for (int i = 0; i < kMaxFiles + 5; ++i) {
        files.push_back(Input("f" + std::to_string(i) + ".txt", "1 1\r\n"));
    }
    const Outcome outcome = Run(files);
    EXPECT_EQ(outcome.status, kExitSuccess);
    EXPECT_TRUE(Exists(m_dir.File("f1004+PDRT.txt")));
    EXPECT_EQ(g_fileCount, 0);
}

TEST_F(ConvertCommandTest, BadCommandLinesAreUsageErrorsThatSayWhatIsWrong) {
    const std::string a = Input("a.txt", "3 1\r\n");
    const std::string badArea =
        "--area needs a number from about 1.2e-38 to 3.4e38, such as 2.5 or "
        "1e-2; got '";
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{}, "no FILE given"},
        {{"--area", "2"}, "no FILE given"},
        {{"--area"}, "--area needs a value, such as --area 2.5"},
        {{"--area", "--columns", "tau,gamma", a}, "--area needs a value, such as --area 2.5"},
        {{a, "--columns"}, "--columns needs a value, such as --columns tau,gamma"},
        {{"--area", "2", a, "--area=3"}, "--area was given twice"},
        {{"--columns", "tau,gamma", "--columns", "tau,gamma", a}, "--columns was given twice"},
        {{"--bogus", a}, "unknown option --bogus"},
        {{"--bogus=1", a}, "unknown option --bogus"},
        {{"-x", a}, "unknown option -x"},
        {{"--columns", "tau", a}, "--columns must be gamma,tau or tau,gamma; got 'tau'"},
        {{"--columns=tau;gamma", a}, "--columns must be gamma,tau or tau,gamma; got 'tau;gamma'"},
        {{"--area", "2.5cm", a}, badArea + "2.5cm'"},
        {{"--area", "-1", a}, badArea + "-1'"},
        {{"--area=", a}, "--area needs a value, such as --area 2.5"},
        {{"--area", "", a}, badArea + "'"},
        {{"--area", "nan", a}, badArea + "nan'"},
        {{"-", a, "-"}, "- was given twice; standard input can be read only once"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = Run(c.arguments);
        EXPECT_EQ(outcome.status, kExitUsage) << ::testing::PrintToString(c.arguments);
        EXPECT_EQ(outcome.err,
                  "kelvane-convert: " + c.message + "\nRun 'kelvane-convert --help' for usage.\n");
        EXPECT_EQ(outcome.out, "");
    }
    EXPECT_FALSE(Exists(m_dir.File("a+PDRT.txt")));
    // After "--" every argument is a file.
    EXPECT_EQ(Run({"--", "--area"}).status, kExitFailures);
}

TEST_F(ConvertCommandTest, AreasBeyondSinglePrecisionAreUsageErrorsThatGiveTheRange) {
    const std::string a = Input("a.txt", "1 1\r\n");
    for (const char* area : {"1e-50", "1e-40", "1e39"}) {
        const Outcome outcome = Run({"--area", area, a});
        EXPECT_EQ(outcome.status, kExitUsage) << area;
        EXPECT_NE(outcome.err.find("from about 1.2e-38 to 3.4e38"), std::string::npos)
            << outcome.err;
    }
    EXPECT_FALSE(Exists(m_dir.File("a+PDRT.txt")));
    // Areas close to either end still convert.
    EXPECT_EQ(Run({"--area", "1.2e-38", a}).status, kExitSuccess);
    EXPECT_EQ(Run({"--area", "3.4e38", a}).status, kExitSuccess);
    EXPECT_EQ(ReadBytes(m_dir.File("a+PDRT.txt")), "Freq(Hz), Gamma(tau)\r\n0.159155, 3.4e+38\r\n");
}

TEST_F(ConvertCommandTest, ColumnOrderSwapsOnlyFilesWhoseHeaderNamesNoOrder) {
    const std::string bare = Input("bare.txt", "1e-06,0.0125\r\n");
    const std::string named = m_dir.File("named.txt");
    WriteBytes(named, "h\r\nh\r\ngamma(tau), tau\r\n0.0125, 1e-06\r\n");
    const Outcome outcome = Run({"--columns", "tau,gamma", bare, named});
    EXPECT_EQ(outcome.status, kExitSuccess);
    EXPECT_EQ(outcome.out, "Finished Processing file: " + bare +
                               "\nRead as comma-separated columns τ, γ (the order asked for)" +
                               kNoFigures + "Finished Processing file: " + named +
                               "\nRead as comma-separated columns gamma(tau), tau (header at "
                               "line 3)" +
                               kNoFigures);
    const std::string table = "Freq(Hz), Gamma(tau)\r\n159154.946209, 0.0125\r\n";
    EXPECT_EQ(ReadBytes(m_dir.File("bare+PDRT.txt")), table);
    EXPECT_EQ(ReadBytes(m_dir.File("named+PDRT.txt")), table);
}

TEST_F(ConvertCommandTest, HelpFitsEightyColumnsWithItsUsageLineAndExample) {
    const Outcome help = Run({"--help"});
    EXPECT_EQ(help.status, kExitSuccess);
    EXPECT_EQ(
        help.out.rfind("Usage: kelvane-convert [--area A] [--columns gamma,tau|tau,gamma]\n", 0),
        0u);
    EXPECT_NE(help.out.find("\n  kelvane-convert --area 0.785 cell-A.txt cell-B.txt\n"),
              std::string::npos);
    for (const char* option : {"--area A", "--columns ORDER", "--help", "--version", "'-'"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }
    std::size_t start = 0;
    for (std::size_t end; (end = help.out.find('\n', start)) != std::string::npos;
         start = end + 1) {
        EXPECT_LE(end - start, 80u) << help.out.substr(start, end - start);
    }
    EXPECT_EQ(start, help.out.size());
    const Outcome version = Run({"--version"});
    EXPECT_EQ(version.status, kExitSuccess);
    EXPECT_EQ(version.out, "kelvane-convert 1.0.0.1\n");
}

TEST_F(ConvertCommandTest, DashConvertsStandardInputToStandardOutputAmongFiles) {
    const std::string a = Input("a.txt", "3 1\r\n");
    const Outcome outcome = Run({"--area", "2", a, "-"}, "h\nh\nh\n1.5 2e-3\nx\n");
    EXPECT_EQ(outcome.status, kExitSuccess);
    EXPECT_EQ(outcome.out, "Freq(Hz), Gamma(tau)\r\n79.577469, 3\r\n");
    EXPECT_EQ(WithoutTime(outcome.err),
              "Finished Processing file: " + a + kNoFigures +
                  "Finished Processing file: standard input\nSkipped 1 line that does not hold "
                  "two numbers: line 5" +
                  kNoFigures + "Converted 2 of 2 files at area 2 in T s\n");
    EXPECT_EQ(ReadBytes(m_dir.File("a+PDRT.txt")), "Freq(Hz), Gamma(tau)\r\n0.159155, 6\r\n");
}

TEST_F(ConvertCommandTest, ARefusedStandardInputFailsWithNothingOnStandardOutput) {
    const Outcome outcome = Run({"-"}, "h\nh\ng(tau), tau\n1.5 2e-3\n");
    EXPECT_EQ(outcome.status, kExitFailures);
    EXPECT_EQ(outcome.out, "");
    EXPECT_NE(outcome.err.find("Failed to process file: standard input: its column \"g(tau)\""),
              std::string::npos)
        << outcome.err;
    EXPECT_NE(outcome.err.find("1 of 1 files could not be converted:\n  standard input: "),
              std::string::npos)
        << outcome.err;
}

TEST(ParseAreaTest, AcceptsOnlyWholePositiveFiniteNumbers) {
    double area = 0.0;
    EXPECT_TRUE(ParseArea("2.5", area));
    EXPECT_EQ(area, 2.5);
    EXPECT_TRUE(ParseArea("1e-2", area));
    EXPECT_EQ(area, 0.01);
    for (const char* bad :
         {"", " 2", "2 ", "2.5cm", "0", "-0", "-3", "inf", "nan", "1e999", "+2"}) {
        EXPECT_FALSE(ParseArea(bad, area)) << bad;
    }
}

TEST_F(ConvertCommandTest, SummaryMergeAndPlotDescribeTheConvertedFilesAtTheArea) {
    // γ rises and falls over τ = 1e-3, 1e-2, 1e-1 (as floats): with area 2 the trapezoids over
    // ln τ hold 2 ln 10 and the peak is at 1/(2π 0.01) Hz.
    const std::string a = Input("a.txt", "0 1e-3\r\n1 1e-2\r\n0 1e-1\r\n");
    const std::string b = Input("b,2.txt", "0 1e-3\r\n3 1e-2\r\n1 1e-1\r\n");
    const std::string summary = m_dir.File("summary.csv");
    const std::string merged = m_dir.File("merged.csv");
    const std::string plot = m_dir.File("plot.svg");
    const Outcome outcome =
        Run({"--area", "2", "--summary", summary, "--merge", merged, "--plot", plot, a, b, "-"},
            "h\r\nh\r\nh\r\n0 1\r\n");
    EXPECT_EQ(outcome.status, kExitSuccess) << outcome.err;
    EXPECT_NE(outcome.err.find("R_pol 4.61; peaks at 15.9 Hz (4.61)"), std::string::npos)
        << outcome.err;
    const std::string table = ReadBytes(summary);
    EXPECT_EQ(table.rfind(SummaryHeader(), 0), 0u) << table;
    EXPECT_NE(table.find("\n" + a + ",3,1.59154943,159.154938,2,4.60517015,15.9154949,2,"),
              std::string::npos)
        << table;
    EXPECT_NE(table.find("\n\"" + b + "\",3,"), std::string::npos) << table;
    EXPECT_EQ(table.find("standard input"), std::string::npos);
    EXPECT_EQ(ReadBytes(merged),
              "Freq(Hz),a.txt,\"b,2.txt\"\n"
              "159.154938,0,0\n15.915495,2,6\n1.591549,0,2\n");
    const std::string svg = ReadBytes(plot);
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_NE(svg.find("b,2.txt"), std::string::npos);
    EXPECT_NE(svg.find("</svg>"), std::string::npos);

    // Frequencies that differ give each file its pair of columns, the shorter one padded.
    const std::string c = Input("c.txt", "1 1e-3\r\n1 1e-2\r\n");
    ASSERT_EQ(Run({"--merge", merged, a, c}).status, kExitSuccess);
    EXPECT_EQ(ReadBytes(merged),
              "a.txt Freq(Hz),a.txt,c.txt Freq(Hz),c.txt\n"
              "159.154938,0,159.154938,1\n15.915495,1,15.915495,1\n1.591549,0,,\n");

    // A file that cannot be written fails the command, after the conversions.
    const Outcome unwritable = Run({"--plot", m_dir.File("missing/plot.svg"), a});
    EXPECT_EQ(unwritable.status, kExitFailures);
    EXPECT_NE(unwritable.err.find("kelvane-convert: --plot " + m_dir.File("missing/plot.svg") +
                                  " could not be written: "),
              std::string::npos)
        << unwritable.err;

    // Of two files with one output, the table holds the later one's and says so of the other.
    const std::string dat = Input("a.dat", "5 1e-3\r\n5 1e-2\r\n5 1e-1\r\n");
    const Outcome shared = Run({"--merge", merged, dat, a});
    EXPECT_EQ(shared.status, kExitSuccess);
    EXPECT_NE(shared.err.find("--merge " + merged + " leaves out " + dat +
                              ": its output was replaced by that of " + a),
              std::string::npos)
        << shared.err;
    EXPECT_EQ(ReadBytes(merged).rfind("Freq(Hz),a.txt\n", 0), 0u);

    // A file of the command is never replaced by one of these; nothing is converted then.
    const Outcome onInput = Run({"--plot", c, a, c});
    EXPECT_EQ(onInput.status, kExitUsage);
    EXPECT_EQ(ReadBytes(c), "h\r\nh\r\nh\r\n1 1e-3\r\n1 1e-2\r\n");
}

#ifdef _WIN32
TEST_F(ConvertCommandTest, WildcardsAreExpandedInNameOrder) {
    Input("b.txt", "2 1\r\n");
    Input("a.txt", "1 1\r\n");
    Input("c.dat", "1 1\r\n");
    const Outcome outcome = Run({m_dir.File("*.txt")});
    EXPECT_EQ(outcome.status, kExitSuccess);
    EXPECT_EQ(outcome.out, "Finished Processing file: " + m_dir.File("a.txt") + kNoFigures +
                               "Finished Processing file: " + m_dir.File("b.txt") + kNoFigures);
    EXPECT_FALSE(Exists(m_dir.File("c+PDRT.txt")));
}
#endif

}  // namespace
