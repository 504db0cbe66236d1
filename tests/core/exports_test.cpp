#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "core/conversion_settings.h"
#include "core/file_converter.h"
#include "support/temp_dir.h"

namespace {

// tests/data/exports holds the same four (γ, τ) pairs in each shape the DRT tools and spreadsheets
// export, written by make_exports.py; expected+PDRT.txt is their table at area 1.
std::string ExportPath(const std::string& name) {
    return TestDataPath("exports/" + name);
}

class ExportsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_area = 1.0f;
        g_areaSet = 0;
        g_columnOrder = ColumnOrder::byFile;
        m_expected = ReadBytes(ExportPath("expected+PDRT.txt"));
        ASSERT_FALSE(m_expected.empty());
    }

    TempDir m_dir;
    std::string m_output = m_dir.File("out+PDRT.txt");
    std::string m_expected;
};

TEST_F(ExportsTest, EveryAcceptedShapeGivesTheSameTableAndSaysHowItWasRead) {
    const struct {
        const char* file;
        const char* reading;
    } cases[] = {
        {"plain.txt", ""},
        {"drttools-2019.txt", "Read as comma-separated columns gamma(tau), tau (header at line 3)"},
        {"drttools-2020.txt", "Read as comma-separated columns tau, gamma(tau) (header at line 3)"},
        {"drttools-bayesian.txt",
         "Read as comma-separated columns tau, MAP gamma (header at line 3)"},
        {"pydrttools.csv", "Read as comma-separated columns tau, gamma (header at line 3)"},
        {"pydrttools-lambda.csv", "Read as comma-separated columns tau, gamma (header at line 4)"},
        {"matlab-windows.txt",
         "Read as comma-separated columns gamma(tau), tau (header at line 3)"},
        {"excel-unicode.txt",
         "Read as UTF-16 LE text; white-space-separated columns tau, gamma(tau) (header at line "
         "3)"},
        {"excel-unicode-decimal-comma.txt",
         "Read as UTF-16 LE text; white-space-separated decimal-comma columns tau, gamma(tau) "
         "(header at line 3)"},
        {"excel-decimal-comma.csv",
         "Read as semicolon-separated decimal-comma columns gamma(tau), tau (header at line 3)"},
        {"mac-cr.txt",
         "Read as lines ending in CR alone; comma-separated columns gamma(tau), tau (header at "
         "line 3)"},
        {"mac-cr-last-crlf.txt",
         "Read as lines ending in CR alone; comma-separated columns gamma(tau), tau (header at "
         "line 3)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const ConversionReport report = ConvertFile(ExportPath(c.file), m_output);
        EXPECT_TRUE(ReadBytes(m_output) == m_expected) << ReadBytes(m_output);
        EXPECT_EQ(DescribeReading(report.reading), c.reading);
        // A column header below the header lines is no skipped line.
        EXPECT_EQ(report.skippedLines, 0);
        EXPECT_EQ(report.textEnd, report.length);
    }
}

TEST_F(ExportsTest, RefusedShapesSayWhatTheyHoldAndKeepTheEarlierOutput) {
    const struct {
        const char* file;
        const char* reason;
    } cases[] = {
        {"refused-g-tau.txt", "its column \"g(tau)\" holds g = γ·f, not γ(τ)"},
        {"refused-g-tau-no-rows.txt", "its column \"g(tau)\" holds g = γ·f, not γ(τ)"},
        {"refused-freq.txt", "its first column \"freq\" is a frequency, not τ"},
        {"refused-hilbert.txt",
         "its column \"gamma_Re\" holds a part of a Hilbert-transform run, not γ(τ)"},
        {"refused-frequency-table.txt", "its first column \"freq (Hz)\" is a frequency, not τ"},
    };
    const std::string earlier = "Freq(Hz), Gamma(tau)\r\n0.159155, 7\r\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        WriteBytes(m_output, earlier);
        try {
            ConvertFile(ExportPath(c.file), m_output);
            ADD_FAILURE() << "converted";
        } catch (const CFileException& error) {
            EXPECT_EQ(error.Reason(), std::string(c.reason) +
                                          ": export γ against τ instead (column header at line "
                                          "3); nothing was written");
        }
        EXPECT_EQ(ReadBytes(m_output), earlier);
        EXPECT_FALSE(Exists(TemporaryOutputPath(m_output)));
    }
}

// The bytes of the UTF-16 text `text` after its byte-order mark.
std::string Utf16(const std::u16string& text, bool bigEndian) {
    std::string bytes;
    for (const char16_t unit : u"\uFEFF" + text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

// `text` with each CR made a line feed.
std::string LineFeeds(std::string text) {
    std::replace(text.begin(), text.end(), '\r', '\n');
    return text;
}

TEST_F(ExportsTest, UnusualEncodingsAndLineEndsKeepEveryRow) {
    // Header lines with a surrogate pair and lone surrogates, one just before a line feed that must
    // still end its line.
    std::u16string utf16 = u"Cell \U0001D70F A1";
    utf16 += char16_t{0xDC0F};
    utf16 += u"\r\nnote ";
    utf16 += char16_t{0xD835};
    utf16 += u"\nτ\tγ\r\n1E-06\t0.0125\r\n0.002\t0.25\r\n0.5\t-1.5\r\n40\t3\r\n";
    const std::string rows = "0.0125 1e-06\r0.25 0.002\r-1.5 0.5\r3 40\r";
    const struct {
        const char* name;
        std::string bytes;
        const char* reading;
        int skipped;
        bool textCut;
    } cases[] = {
        // An odd last byte is a character of its own, never joined to the last row.
        {"UTF-16 BE", Utf16(utf16, true) + "\x33",
         "Read as UTF-16 BE text; white-space-separated columns τ, γ (header at line 3)", 1, false},
        {"UTF-8 mark before the column header",
         "\xEF\xBB\xBFtau,gamma\r\n\r\n\r\n1e-06,0.0125\r\n0.002,0.25\r\n0.5,-1.5\r\n40,3\r\n",
         "Read as comma-separated columns tau, gamma (header at line 1)", 0, false},
        // The text ends at the Ctrl-Z: the line feed after it does not make the lines end in LF.
        {"CR alone and Ctrl-Z", "h\rh\rh\r" + rows + "\x1A\n9 9\r\n",
         "Read as lines ending in CR alone", 0, true},
        // A stray CR inside the first line does not make a text of line feeds one of CRs.
        {"CR inside the first line", "Run 12\rcell A\nh\nh\n" + LineFeeds(rows), "", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(m_dir.File("in.txt"), c.bytes);
        const ConversionReport report = ConvertFile(m_dir.File("in.txt"), m_output);
        EXPECT_TRUE(ReadBytes(m_output) == m_expected) << ReadBytes(m_output);
        EXPECT_EQ(DescribeReading(report.reading), c.reading);
        EXPECT_EQ(report.skippedLines, c.skipped);
        EXPECT_EQ(report.textEnd < report.length, c.textCut);
    }
}

// Twelve rows of a τ grid (1, 3, 10, 30 …) against a γ peak, τ first or γ first, the two
// numbers of each row joined by `separator`.
std::string GridRows(const std::string& separator, bool tauFirst) {
    std::string rows;
    for (int i = 0; i < 12; ++i) {
        const std::string tau = (i % 2 == 0 ? "1e-0" : "3e-0") + std::to_string(6 - i / 2);
        const std::string gamma = "0.0" + std::to_string(1 + (i < 6 ? i : 11 - i));
        rows += (tauFirst ? tau + separator + gamma : gamma + separator + tau) + "\n";
    }
    return rows;
}

TEST_F(ExportsTest, ShapesOnceReadWrongGiveTheirTableOrFailKeepingTheEarlierOutput) {
    const std::string tauRows = "1e-06 0.01\n2e-06 0.02\n";
    const std::string gammaRows = "0.01 1e-06\n0.02 2e-06\n";
    const struct {
        const char* name;
        std::string input;
        std::string same;     // an input of the plain shape that gives the same table
        const char* reading;  // how the console's reading line begins, or the failure's reason
        bool fails;
    } cases[] = {
        {"unit glued to the name", "tau(s) gamma(Ohm)\n" + tauRows, "h\nh\nh\n" + gammaRows,
         "Read as white-space-separated columns tau(s), gamma(Ohm) (header at line 1)", false},
        {"numpy's comment sign", "# tau gamma\n" + tauRows, "h\nh\nh\n" + gammaRows,
         "Read as white-space-separated columns tau, gamma (header at line 1)", false},
        {"units line under the names", "τ/s γ/Ω\ns Ohm\n" + tauRows, "h\nh\nh\n" + gammaRows,
         "Read as white-space-separated columns τ/s, γ/Ω (header at line 1)", false},
        {"pandas' label column", ",tau,gamma\n0,1e-06,0.01\n1,2e-06,0.02\n",
         "h\nh\nh\n" + gammaRows,
         "Read as comma-separated columns tau, gamma (header at line 1), "
         "after a label column",
         false},
        {"decimal comma after blanks", "h\nh\nh\n1E-02 1,5E-06\n", "h\nh\nh\n1E-02 1.5E-06\n",
         "Read as white-space-separated decimal-comma columns γ, τ", false},
        {"thousands separator", "h\nh\nh\n1,234\t0.1\n950.5\t0.001\n", "h\nh\nh\n950.5 0.001\n", "",
         false},
        {"rows ending in CR under lines ending in LF", "h\nh\nh\n0.01 1e-6\r0.02 2e-6\r",
         "h\nh\nh\n" + gammaRows, "", false},
        {"a minus sign U+2212", "h\nh\nh\n0.02 1.0e\u221206\n0.01 1e-06\n", "h\nh\nh\n0.01 1e-06\n",
         "", false},
        {"τ told by the data", "h\nh\nh\n" + GridRows(" ", true),
         "h\nh\nh\n" + GridRows(" ", false),
         "Read as white-space-separated columns τ, γ: the first column runs evenly on a log scale",
         false},
        {"a header against the data", "h\nh\ngamma tau\n" + GridRows(" ", true), "",
         "its column header (line 3) names the columns gamma, tau, γ first, but the first column "
         "runs evenly on a log scale, as τ does; nothing was written",
         true},
        {"a header naming τ unread", "h\nh\ntau-values gamma-values\n" + gammaRows,
         "h\nh\nh\n" + gammaRows, "Read as white-space-separated columns γ, τ: line 3 names τ",
         false},
        {"log τ", "log10(tau), gamma\n-6, 0.01\n", "",
         "its column \"log10(tau)\" holds the logarithm of τ", true},
        {"decimal commas in a comma-separated file", "gamma,tau\n0,0125,0,000001\n", "",
         "its rows hold more comma-separated fields than its column header (line 1) names", true},
        {"no rows", "h\nh\nh\n\"1\";\"2\"\n", "", "it holds no rows of γ and τ", true},
    };
    const std::string earlier = "Freq(Hz), Gamma(tau)\r\n0.159155, 7\r\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string expected = earlier;
        if (!c.fails) {
            WriteBytes(m_dir.File("same.txt"), c.same);
            ConvertFile(m_dir.File("same.txt"), m_output);
            expected = ReadBytes(m_output);
        }
        WriteBytes(m_dir.File("in.txt"), c.input);
        WriteBytes(m_output, earlier);
        try {
            const ConversionReport report = ConvertFile(m_dir.File("in.txt"), m_output);
            EXPECT_FALSE(c.fails);
            const std::string reading = DescribeReading(report.reading);
            EXPECT_EQ(reading.substr(0, std::strlen(c.reading)), c.reading);
        } catch (const CFileException& error) {
            EXPECT_TRUE(c.fails) << error.what();
            EXPECT_EQ(error.Reason().substr(0, std::strlen(c.reading)), c.reading);
        }
        EXPECT_TRUE(ReadBytes(m_output) == expected) << ReadBytes(m_output);
    }
}

TEST_F(ExportsTest, TheColumnsSettingWinsOverTheDataAndSaysSo) {
    g_columnOrder = ColumnOrder::gammaTau;
    WriteBytes(m_dir.File("in.txt"), "h\nh\nh\n" + GridRows(" ", true));
    const ConversionReport report = ConvertFile(m_dir.File("in.txt"), m_output);
    EXPECT_FALSE(report.reading.tauFirst);
    EXPECT_EQ(DescribeReading(report.reading),
              "Read as white-space-separated columns γ, τ (the order asked for), though the first "
              "column runs evenly on a log scale, as τ does");
}

TEST_F(ExportsTest, RowsWhoseTauIsNotAboveZeroAreWrittenAndCounted) {
    WriteBytes(m_dir.File("in.txt"), "h\nh\nh\n0.01 1e-06\n0.02 0\n0.03 -1e-3\n");
    const ConversionReport report = ConvertFile(m_dir.File("in.txt"), m_output);
    EXPECT_EQ(ReadBytes(m_output),
              "Freq(Hz), Gamma(tau)\r\n159154.946209, 0.01\r\ninf, 0.02\r\n-159.154938, 0.03\r\n");
    EXPECT_EQ(report.nonPositiveTauRows, 2);
    EXPECT_EQ(report.firstNonPositiveTauLine, 5);
}

}  // namespace
