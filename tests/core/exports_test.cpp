#include <gtest/gtest.h>

#include <algorithm>
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
        g_columnOrder = ColumnOrder::gammaTau;
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
         "Read as UTF-16 LE text; white-space-separated and tab-separated decimal-comma columns "
         "tau, gamma(tau) (header at line 3)"},
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

}  // namespace
