#include "core/file_converter.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

#include "core/conversion_settings.h"
#include "framework/native_file.h"
#include "support/temp_dir.h"

namespace {

constexpr const char* kHeader = "Freq(Hz), Gamma(tau)\r\n";

class FileConverterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_area = 1.0f;
        g_areaSet = 1;
    }
    void TearDown() override {
        SetNativeFaultPlan(NativeFaultPlan{});
        g_area = 1.0f;
        g_areaSet = 0;
    }

    // Converts an input holding three header lines and then `data`; returns the output's bytes.
    std::string Convert(const std::string& data, ConversionReport* report = nullptr) {
        WriteBytes(m_input, "header 1\r\nheader 2\r\nheader 3\r\n" + data);
        const ConversionReport got = ConvertFile(m_input, m_output);
        if (report != nullptr) {
            *report = got;
        }
        return ReadBytes(m_output);
    }

    TempDir m_dir;
    std::string m_input = m_dir.File("cell1.txt");
    std::string m_output = m_dir.File("cell1+PDRT.txt");
};

TEST_F(FileConverterTest, FrequencyConstantHasItsPublishedBits) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(K), 0x3FC45F30739E4F68u);
}

TEST_F(FileConverterTest, WorkedExamplesGiveTheirRows) {
    g_area = 2.0f;
    EXPECT_EQ(Convert("1.5 2e-3\r\n"), std::string(kHeader) + "79.577469, 3\r\n");
    g_area = 1.0f;
    EXPECT_EQ(Convert("0.25 1e-6\r\n12.5 0.5\r\n"),
              std::string(kHeader) + "159154.946209, 0.25\r\n0.318310, 12.5\r\n");
    g_area = 0.1f;
    EXPECT_EQ(Convert("3 1\r\n"), std::string(kHeader) + "0.159155, 0.3\r\n");
}

TEST_F(FileConverterTest, AreaAppliesOnlyOnceItHasBeenSet) {
    g_area = 5.0f;
    g_areaSet = 0;
    EXPECT_EQ(Convert("1.5 2e-3\n"), std::string(kHeader) + "79.577469, 1.5\r\n");
    g_areaSet = 1;
    EXPECT_EQ(Convert("1.5 2e-3\n"), std::string(kHeader) + "79.577469, 7.5\r\n");
}

TEST_F(FileConverterTest, InputsWithoutRowsFailAndKeepTheEarlierOutput) {
    const std::string earlier = std::string(kHeader) + "0.159155, 7\r\n";
    const std::string noRows = "it holds no rows of γ and τ";
    // Header lines only, a row after the Ctrl-Z that ends the text, NUL bytes.
    for (const std::string& input :
         {std::string(), std::string("h1\nh2\nh3\n"), std::string("h1\nh2\nh3\n\x1A\n1 2\n"),
          std::string("\0\0\0\0\n\0\0\n\0\0\0\0\n\0\0\n", 14)}) {
        WriteBytes(m_input, input);
        WriteBytes(m_output, earlier);
        try {
            ConvertFile(m_input, m_output);
            ADD_FAILURE() << "converted: " << input;
        } catch (const CFileException& e) {
            EXPECT_EQ(e.Reason().substr(0, noRows.size()), noRows) << input;
        }
        EXPECT_EQ(ReadBytes(m_output), earlier) << input;
    }
}

TEST_F(FileConverterTest, RowsAmongTheHeaderLinesAreCountedNotConverted) {
    WriteBytes(m_input, "0.01 1e-06\nh\n0.02 2e-06\n3 1\n");
    const ConversionReport report = ConvertFile(m_input, m_output);
    EXPECT_EQ(ReadBytes(m_output), std::string(kHeader) + "0.159155, 3\r\n");
    EXPECT_EQ(report.rowsInHeaderLines, 2);
    EXPECT_EQ(report.firstRowInHeaderLines, 1);
}

TEST_F(FileConverterTest, LongHeaderLinesAndALastLineWithoutFeedAreHandled) {
    const std::string longHeader(1000, 'h');
    WriteBytes(m_input, longHeader + "\n" + longHeader + "\r\n" + longHeader + "\n12.5 0.5");
    ConvertFile(m_input, m_output);
    EXPECT_EQ(ReadBytes(m_output), std::string(kHeader) + "0.318310, 12.5\r\n");
}

TEST_F(FileConverterTest, LinesOfSeveralMebibytesConvertByTheirStart) {
    const std::string megabytes(3 * 1024 * 1024, 'x');
    WriteBytes(m_input, "h\r\n" + megabytes + "\r\nh\r\n12.5 0.5 " + megabytes + "\r\n3 1\r\n");
    const ConversionReport report = ConvertFile(m_input, m_output);
    EXPECT_EQ(ReadBytes(m_output), std::string(kHeader) + "0.318310, 12.5\r\n0.159155, 3\r\n");
    EXPECT_EQ(report.rows, 2);
    EXPECT_EQ(report.skippedLines, 0);
    EXPECT_EQ(report.textEnd, report.length);
}

TEST_F(FileConverterTest, LinesWithoutTwoNumbersAreSkippedAndCounted) {
    ConversionReport report;
    const std::string output = Convert(
        "1 1\r\n"
        "\r\n"
        "   \t\r\n"
        "2 oops\r\n"
        "4\r\n"
        "3 1\r\n"
        "1 2x\r\n",
        &report);
    // The values of a rejected line never reach a row, and γ is not scaled twice.
    g_area = 2.0f;
    EXPECT_EQ(Convert("1 1\r\n2 oops\r\n3 1\r\n"),
              std::string(kHeader) + "0.159155, 2\r\n0.159155, 6\r\n");
    EXPECT_EQ(output, std::string(kHeader) + "0.159155, 1\r\n0.159155, 3\r\n");
    EXPECT_EQ(report.rows, 2);
    EXPECT_EQ(report.skippedLines, 3);
    EXPECT_EQ(report.firstSkippedLine, 7);
}

TEST_F(FileConverterTest, BlankLinesAloneAreNotReported) {
    ConversionReport report;
    Convert("\r\n1 1\r\n\r\n", &report);
    EXPECT_EQ(report.rows, 1);
    EXPECT_EQ(report.skippedLines, 0);
    EXPECT_EQ(report.firstSkippedLine, 0);
}

TEST_F(FileConverterTest, ConversionEndsWhereTheTextEndsAndSaysWhere) {
    ConversionReport report;
    EXPECT_EQ(Convert("1 1\r\n2 1\x1A\r\n3 1\r\n", &report),
              std::string(kHeader) + "0.159155, 1\r\n0.159155, 2\r\n");
    EXPECT_EQ(report.textEnd, 38u);
    EXPECT_EQ(report.length, 46u);
    Convert("1 1\r\n", &report);
    EXPECT_EQ(report.textEnd, report.length);
}

TEST_F(FileConverterTest, ZeroAndNonFiniteValuesArePrintedAsGlibcPrintsThem) {
    EXPECT_EQ(Convert("1 0\r\n1 -0\r\nnan 1\r\n-inf 1\r\n"),
              std::string(kHeader) + "inf, 1\r\n-inf, 1\r\n0.159155, nan\r\n0.159155, -inf\r\n");
    EXPECT_EQ(Convert("0.00001 1\r\n"), std::string(kHeader) + "0.159155, 1e-05\r\n");
}

TEST_F(FileConverterTest, AnExistingOutputIsReplacedNotAppendedTo) {
    WriteBytes(m_output, std::string(kHeader) + "an older and much longer output that must go\r\n");
    EXPECT_EQ(Convert("3 1\r\n"), std::string(kHeader) + "0.159155, 3\r\n");
    EXPECT_FALSE(Exists(TemporaryOutputPath(m_output)));
}

TEST_F(FileConverterTest, AnInputThatCannotBeOpenedFailsWithoutTouchingTheOutput) {
    WriteBytes(m_output, std::string(kHeader) + "previous good output");
    try {
        ConvertFile(m_dir.File("missing.txt"), m_output);
        FAIL() << "a missing input converted";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
        EXPECT_EQ(e.m_strFileName, m_dir.File("missing.txt"));
    }
    EXPECT_EQ(ReadBytes(m_output), std::string(kHeader) + "previous good output");
    EXPECT_FALSE(Exists(TemporaryOutputPath(m_output)));

    EXPECT_THROW(ConvertFile(m_dir.File("missing.txt"), m_dir.File("other+PDRT.txt")),
                 CFileException);
    EXPECT_FALSE(Exists(m_dir.File("other+PDRT.txt")));
    // Named as the input, not as the output, whatever else stands in the way.
    try {
        ConvertFile(m_dir.File("missing.txt"), m_dir.File("no-such-folder/missing+PDRT.txt"));
        FAIL() << "a missing input converted";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
        EXPECT_EQ(e.m_strFileName, m_dir.File("missing.txt"));
    }
}

TEST_F(FileConverterTest, AnOutputThatCannotBeCreatedFailsUnderTheOutputsName) {
    WriteBytes(m_input, "h\nh\nh\n1 1\n");
    const std::string output = m_dir.File("no-such-folder/cell1+PDRT.txt");
    try {
        ConvertFile(m_input, output);
        FAIL() << "an output was created in a missing folder";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_strFileName, output);
        EXPECT_NE(e.m_lOsError, 0);
    }
}

TEST_F(FileConverterTest, AFailureMidwayKeepsThePreviousOutputAndLeavesNoPartialFile) {
    WriteBytes(m_output, std::string(kHeader) + "previous good output");
    std::string data;
    for (int i = 0; i < 20000; ++i) {
        data += "1.234567e-03 4.5e-02\r\n";
    }
    WriteBytes(m_input, "h\r\nh\r\nh\r\n" + data);
#ifdef _WIN32
    SetNativeFaultPlan({.writeBudget = 100000, .writeError = 112});
#else
    SetNativeFaultPlan({.writeBudget = 100000, .writeError = 28});
#endif
    try {
        ConvertFile(m_input, m_output);
        FAIL() << "the conversion did not fail";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::diskFull);
        EXPECT_EQ(e.m_strFileName, m_output);
    }
    SetNativeFaultPlan(NativeFaultPlan{});
    EXPECT_EQ(ReadBytes(m_output), std::string(kHeader) + "previous good output");
    EXPECT_FALSE(Exists(TemporaryOutputPath(m_output)));
}

TEST_F(FileConverterTest, AReadErrorMidwayFailsTheFile) {
    std::string data;
    for (int i = 0; i < 20000; ++i) {
        data += "1 1\r\n";
    }
    WriteBytes(m_input, "h\r\nh\r\nh\r\n" + data);
    SetNativeFaultPlan({.readBudget = 70000, .readError = 5});
    try {
        ConvertFile(m_input, m_output);
        FAIL() << "the conversion did not fail";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::generic);
        EXPECT_EQ(e.m_strFileName, m_input);
    }
    SetNativeFaultPlan(NativeFaultPlan{});
    EXPECT_FALSE(Exists(m_output));
    EXPECT_FALSE(Exists(TemporaryOutputPath(m_output)));
}

}  // namespace
