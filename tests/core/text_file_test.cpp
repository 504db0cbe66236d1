#include "core/text_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/os_error.h"
#include "support/split_mix.h"
#include "support/temp_dir.h"

namespace {

#ifdef _WIN32
constexpr long kDiskFullError = 112;  // ERROR_DISK_FULL
constexpr long kReadFailure = 23;     // ERROR_CRC
#else
constexpr long kDiskFullError = 28;  // ENOSPC
constexpr long kReadFailure = 5;     // EIO
#endif

class TextFileTest : public ::testing::Test {
  protected:
    void TearDown() override { SetNativeFaultPlan(NativeFaultPlan{}); }

    // Opens a file holding `bytes` for reading in text mode.
    void OpenWith(const std::string& bytes) {
        WriteBytes(m_path, bytes);
        ASSERT_TRUE(m_file.Open(m_path, CFile::modeRead));
    }

    std::vector<std::string> ReadAllLines() {
        std::vector<std::string> lines;
        std::string line;
        while (m_file.ReadLine(line)) {
            lines.push_back(line);
        }
        EXPECT_TRUE(line.empty());
        return lines;
    }

    TempDir m_dir;
    std::string m_path = m_dir.File("data.txt");
    CTextFile m_file;
};

TEST_F(TextFileTest, ReadsLinesOfAnyLengthWhole) {
    const std::string exact(128, 'a');
    const std::string longer(300, 'b');
    const std::string huge(200000, 'c');  // spans several stream buffers
    OpenWith(exact + "\n" + longer + "\r\n" + huge + "\r\nlast without feed");
    EXPECT_EQ(ReadAllLines(), (std::vector<std::string>{exact, longer, huge, "last without feed"}));
}

TEST_F(TextFileTest, EmptyLinesReadTrueAndEndOfFileReadsFalse) {
    OpenWith("one\r\n\r\n\nfour\n");
    EXPECT_EQ(ReadAllLines(), (std::vector<std::string>{"one", "", "", "four"}));
    std::string line = "left over";
    EXPECT_FALSE(m_file.ReadLine(line));
    EXPECT_EQ(line, "");
}

TEST_F(TextFileTest, TextModeTurnsOnlyCrLfIntoLineFeed) {
    OpenWith("a\rb\r\r\nc\r");
    EXPECT_EQ(ReadAllLines(), (std::vector<std::string>{"a\rb\r", "c\r"}));
}

TEST_F(TextFileTest, CrLfSplitAcrossTheStreamBufferStillReadsAsOneLineEnd) {
    const std::string first(64 * 1024 - 1, 'x');  // the CR is the buffer's last byte
    OpenWith(first + "\r\nnext\r\n");
    EXPECT_EQ(ReadAllLines(), (std::vector<std::string>{first, "next"}));
    EXPECT_EQ(m_file.GetPosition(), first.size() + 8);
}

TEST_F(TextFileTest, CtrlZEndsTheTextBeforeTheFileLength) {
    OpenWith("one\r\ntw\x1Ao\r\nthree\r\n");
    EXPECT_EQ(ReadAllLines(), (std::vector<std::string>{"one", "tw"}));
    EXPECT_EQ(m_file.GetPosition(), 7u);
    EXPECT_LT(m_file.GetPosition(), m_file.GetLength());
}

TEST_F(TextFileTest, PositionCountsFileBytesIncludingCarriageReturns) {
    OpenWith("ab\r\ncd\n");
    std::string line;
    EXPECT_EQ(m_file.GetPosition(), 0u);
    m_file.ReadLine(line);
    EXPECT_EQ(m_file.GetPosition(), 4u);
    m_file.ReadLine(line);
    EXPECT_EQ(m_file.GetPosition(), m_file.GetLength());
}

TEST_F(TextFileTest, LinePrefixKeepsTheStartAndReadsTheRestOfTheLineAway) {
    const std::string tail(200000, 'y');  // spans several stream buffers
    OpenWith("abcdefgh\r\nabc\rX\r\nab\r\nabc\r" + tail + "\r\nabcd" + tail + "\r\nwxyz" + tail +
             "\x1A" + "after\r\n");
    // Each prefix with the file offset after its line; a CR kept at the cut is text, not an ending.
    const std::vector<std::pair<std::string, std::uint64_t>> expected = {
        {"abcd", 10},
        {"abc\r", 17},
        {"ab", 21},
        {"abc\r", 21 + 4 + tail.size() + 2},
        {"abcd", 21 + 2 * (4 + tail.size() + 2)},
        {"wxyz", 21 + 2 * (4 + tail.size() + 2) + 4 + tail.size()},
    };
    std::string line;
    for (const auto& [prefix, position] : expected) {
        ASSERT_TRUE(m_file.ReadLinePrefix(line, 4));
        EXPECT_EQ(line, prefix);
        EXPECT_EQ(m_file.GetPosition(), position) << "after " << prefix;
    }
    EXPECT_FALSE(m_file.ReadLinePrefix(line, 4));
}

TEST_F(TextFileTest, BufferReadLineBehavesAsFgets) {
    OpenWith("abcdef\r\ng");
    char buffer[5];
    ASSERT_NE(m_file.ReadLine(buffer, sizeof buffer), nullptr);
    EXPECT_STREQ(buffer, "abcd");
    ASSERT_NE(m_file.ReadLine(buffer, sizeof buffer), nullptr);
    EXPECT_STREQ(buffer, "ef\n");
    ASSERT_NE(m_file.ReadLine(buffer, sizeof buffer), nullptr);
    EXPECT_STREQ(buffer, "g");
    EXPECT_EQ(m_file.ReadLine(buffer, sizeof buffer), nullptr);
}

TEST_F(TextFileTest, WholeLineAndFgetsReadsInterleaveOnOnePosition) {
    OpenWith("ab\r\ncdef\r\ngh");
    std::string line;
    char buffer[3];
    ASSERT_TRUE(m_file.ReadLine(line));
    EXPECT_EQ(line, "ab");
    ASSERT_NE(m_file.ReadLine(buffer, sizeof buffer), nullptr);
    EXPECT_STREQ(buffer, "cd");
    ASSERT_TRUE(m_file.ReadLine(line));
    EXPECT_EQ(line, "ef");
    EXPECT_EQ(m_file.GetPosition(), 10u);
    ASSERT_TRUE(m_file.ReadLine(line));
    EXPECT_EQ(line, "gh");
    EXPECT_FALSE(m_file.ReadLine(line));
}

TEST_F(TextFileTest, ClosedStreamNeitherReadsNorWrites) {
    WriteBytes(m_path, "one\r\ntwo\r\n");
    TextStream stream(NativeOpen(m_path, CFile::modeReadWrite), "r+t");
    std::string line;
    ASSERT_TRUE(stream.ReadLine(line));
    EXPECT_EQ(stream.Write("x\n", 2), 2u);
    ASSERT_TRUE(stream.Close());
    EXPECT_FALSE(stream.ReadLine(line));
    EXPECT_EQ(stream.Write("y\n", 2), 0u);
    EXPECT_EQ(stream.Tell(), -1);
    EXPECT_EQ(ReadBytes(m_path), "one\r\nx\r\n\r\n");
}

// Text of random lines: mostly short, some longer than the stream's buffer, with LF, CR LF and
// lone CR endings and, in about one text in three, a Ctrl-Z.
std::string GeneratedText(SplitMix64& random) {
    std::string text;
    while (text.size() < 300000) {
        const bool longLine = random.Below(3000) == 0;
        const std::size_t length = longLine ? 60000 + random.Below(80000) : random.Below(40);
        for (std::size_t i = 0; i < length; ++i) {
            text += random.Below(50) == 0 ? '\r' : static_cast<char>('a' + random.Below(26));
        }
        static constexpr const char* kEndings[] = {"\n", "\r\n", "\r\n", "\r", ""};
        text += kEndings[random.Below(5)];
        if (random.Below(40000) == 0) {
            text += '\x1A';
        }
    }
    return text;
}

// The lines a text-mode reader must give for `text`, each with the file offset after it.
std::vector<std::pair<std::string, std::size_t>> ExpectedLines(const std::string& text) {
    const std::size_t stop = std::min(text.find('\x1A'), text.size());
    std::vector<std::pair<std::string, std::size_t>> lines;
    std::size_t start = 0;
    while (start < stop) {
        const std::size_t feed = text.find('\n', start);
        const std::size_t end = feed < stop ? feed : stop;
        std::string line = text.substr(start, end - start);
        if (feed < stop && !line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        start = feed < stop ? feed + 1 : stop;
        lines.emplace_back(std::move(line), start);
    }
    return lines;
}

TEST_F(TextFileTest, GeneratedTextReadsAsASimpleSplitGivesIt) {
    SplitMix64 random(0x7e57f11eu);
    for (int round = 0; round < 6; ++round) {
        const std::string text = GeneratedText(random);
        WriteBytes(m_path, text);
        ASSERT_TRUE(m_file.Open(m_path, CFile::modeRead));
        const auto expected = ExpectedLines(text);
        std::string line;
        std::size_t count = 0;
        for (; count < expected.size() && m_file.ReadLine(line); ++count) {
            ASSERT_EQ(line, expected[count].first) << "round " << round << ", line " << count;
            ASSERT_EQ(m_file.GetPosition(), expected[count].second)
                << "round " << round << ", line " << count;
        }
        EXPECT_EQ(count, expected.size()) << "round " << round;
        EXPECT_FALSE(m_file.ReadLine(line)) << "round " << round;
        m_file.Close();
    }
}

TEST_F(TextFileTest, GeneratedTextReadsInPlaceAsReadLineReadsItUpToTheLimit) {
    SplitMix64 random(0x1ace5u);
    for (int round = 0; round < 6; ++round) {
        const std::string text = GeneratedText(random);
        WriteBytes(m_path, text);
        ASSERT_TRUE(m_file.Open(m_path, CFile::modeRead));
        const auto expected = ExpectedLines(text);
        // Lines starting at or after the limit are left to ReadLine.
        const std::uint64_t limit = random.Below(text.size() + 1);
        std::size_t count = 0;
        std::size_t inPlace = 0;
        std::string line;
        for (; count < expected.size(); ++count) {
            const std::uint64_t start = count == 0 ? 0 : expected[count - 1].second;
            InPlaceLines lines = m_file.BeginInPlace(limit);
            std::string_view view;
            const bool read = lines.Next(view);
            m_file.EndInPlace(lines);
            if (read) {
                ASSERT_LT(start, limit) << "round " << round << ", line " << count;
                ASSERT_EQ(std::string(view), expected[count].first)
                    << "round " << round << ", line " << count;
                ASSERT_EQ(view.data()[view.size()], '\0');
                ++inPlace;
            } else {
                ASSERT_TRUE(m_file.ReadLine(line)) << "round " << round << ", line " << count;
                ASSERT_EQ(line, expected[count].first) << "round " << round << ", line " << count;
            }
            ASSERT_EQ(m_file.GetPosition(), expected[count].second)
                << "round " << round << ", line " << count;
        }
        EXPECT_GT(inPlace, 0u) << "round " << round;
        InPlaceLines lines = m_file.BeginInPlace(limit);
        std::string_view view;
        EXPECT_FALSE(lines.Next(view)) << "round " << round;
        m_file.EndInPlace(lines);
        EXPECT_FALSE(m_file.ReadLine(line)) << "round " << round;
        m_file.Close();
    }
}

TEST_F(TextFileTest, GeneratedTextWritesWithEveryLineFeedAsCrLf) {
    SplitMix64 random(0x3717eu);
    ASSERT_TRUE(m_file.Open(m_path, CFile::modeCreate | CFile::modeReadWrite));
    std::string expected;
    while (expected.size() < 400000) {
        std::string piece;
        const std::size_t length =
            random.Below(10) == 0 ? 30000 + random.Below(90000) : random.Below(50);
        for (std::size_t i = 0; i < length; ++i) {
            piece += random.Below(20) == 0 ? '\n' : static_cast<char>('a' + random.Below(26));
        }
        if (random.Below(4) != 0) {
            piece += '\n';
        }
        m_file.WriteText(piece);
        for (const char c : piece) {
            expected += c == '\n' ? "\r\n" : std::string(1, c);
        }
        ASSERT_EQ(m_file.GetPosition(), expected.size());
    }
    m_file.Close();
    EXPECT_TRUE(ReadBytes(m_path) == expected);
}

TEST_F(TextFileTest, ReadTranslatesInTextModeAndNotInBinaryMode) {
    WriteBytes(m_path, "a\r\nb");
    char buffer[8] = {};
    ASSERT_TRUE(m_file.Open(m_path, CFile::modeRead));
    EXPECT_EQ(m_file.Read(buffer, 8), 3u);
    EXPECT_EQ(std::string(buffer, 3), "a\nb");
    EXPECT_EQ(m_file.Read(buffer, 8), 0u);
    EXPECT_EQ(m_file.Read(buffer, 0), 0u);
    m_file.Close();

    ASSERT_TRUE(m_file.Open(m_path, CFile::modeRead | CFile::typeBinary));
    EXPECT_EQ(m_file.Read(buffer, 8), 4u);
    EXPECT_EQ(std::string(buffer, 4), "a\r\nb");
}

TEST_F(TextFileTest, WritesLineFeedsAsCrLfAndTruncatesOnCreate) {
    WriteBytes(m_path, "old content that is longer than the new");
    ASSERT_TRUE(m_file.Open(m_path, CFile::modeCreate | CFile::modeReadWrite));
    m_file.WriteText("Freq(Hz), Gamma(tau)\n");
    m_file.WriteText("1.000000, 2\n");
    EXPECT_EQ(m_file.GetPosition(), 35u);
    m_file.Close();
    EXPECT_EQ(ReadBytes(m_path), "Freq(Hz), Gamma(tau)\r\n1.000000, 2\r\n");
}

TEST_F(TextFileTest, AppendModeWritesAtTheEnd) {
    WriteBytes(m_path, "first\r\n");
    ASSERT_TRUE(m_file.Open(m_path, CFile::modeWrite));
    m_file.WriteText("second\n");
    m_file.Close();
    EXPECT_EQ(ReadBytes(m_path), "first\r\nsecond\r\n");
}

TEST_F(TextFileTest, ReadWriteStreamSeeksBetweenReadingAndWriting) {
    WriteBytes(m_path, "abc\r\ndef\r\n");
    ASSERT_TRUE(m_file.Open(m_path, CFile::modeReadWrite));
    std::string line;
    ASSERT_TRUE(m_file.ReadLine(line));
    m_file.WriteText("XY");
    EXPECT_EQ(m_file.Seek(0, CFile::begin), 0u);
    ASSERT_TRUE(m_file.ReadLine(line));
    EXPECT_EQ(line, "abc");
    ASSERT_TRUE(m_file.ReadLine(line));
    EXPECT_EQ(line, "XYf");
    EXPECT_EQ(m_file.Seek(-2, CFile::end), 8u);
    EXPECT_THROW(m_file.Seek(-100, CFile::current), CFileException);
}

TEST_F(TextFileTest, DestructorWritesWhatIsBuffered) {
    {
        CTextFile file;
        ASSERT_TRUE(file.Open(m_path, CFile::modeCreate | CFile::modeWrite));
        file.WriteText("kept\n");
    }
    EXPECT_EQ(ReadBytes(m_path), "kept\r\n");
}

TEST_F(TextFileTest, OpeningAMissingFileFailsAndLeavesNoStream) {
    CFileException error;
    EXPECT_FALSE(m_file.Open(m_dir.File("missing.txt"), 0, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_NE(error.m_lOsError, 0);
    EXPECT_EQ(error.m_strFileName, m_dir.File("missing.txt"));
    EXPECT_EQ(m_file.m_hFile, CFile::hFileNull);
    std::string line;
    try {
        m_file.ReadLine(line);
        FAIL() << "a closed file read a line";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::invalidFile);
    }
}

TEST_F(TextFileTest, WriteFailuresRaiseDiskFullWithTheSystemError) {
    ASSERT_TRUE(m_file.Open(m_path, CFile::modeCreate | CFile::modeReadWrite));
    SetNativeFaultPlan({.writeBudget = 0, .writeError = kDiskFullError});
    const std::string block(100000, 'x');  // more than the stream buffers, so it reaches the disk
    try {
        m_file.WriteText(block);
        FAIL() << "the write succeeded";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::diskFull);
        EXPECT_EQ(e.m_lOsError, kDiskFullError);
        EXPECT_EQ(e.m_strFileName, m_path);
    }
}

TEST_F(TextFileTest, CloseThatFailsRaisesDiskFullAndStillClosesTheFile) {
    ASSERT_TRUE(m_file.Open(m_path, CFile::modeCreate | CFile::modeReadWrite));
    m_file.WriteText("short\n");
    SetNativeFaultPlan({.writeBudget = 0, .writeError = kDiskFullError});
    try {
        m_file.Close();
        FAIL() << "the close succeeded";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::diskFull);
        EXPECT_EQ(e.m_lOsError, kDiskFullError);
    }
    EXPECT_EQ(m_file.m_hFile, CFile::hFileNull);
    EXPECT_FALSE(m_file.m_bCloseOnDelete);
    EXPECT_NO_THROW(m_file.Close());
}

TEST_F(TextFileTest, ReadErrorsRaiseGeneric) {
    OpenWith("header\r\n");
    SetNativeFaultPlan({.readBudget = 0, .readError = kReadFailure});
    std::string line;
    try {
        m_file.ReadLine(line);
        FAIL() << "the read succeeded";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::generic);
        EXPECT_EQ(e.m_lOsError, kReadFailure);
    }
}

TEST_F(TextFileTest, DuplicateAndLockingAreNotSupported) {
    OpenWith("x");
    EXPECT_THROW(m_file.Duplicate(), CNotSupportedException);
    EXPECT_THROW(m_file.LockRange(0, 1), CNotSupportedException);
    EXPECT_THROW(m_file.UnlockRange(0, 1), CNotSupportedException);
}

TEST_F(TextFileTest, AbortClosesWithoutRaising) {
    ASSERT_TRUE(m_file.Open(m_path, CFile::modeCreate | CFile::modeWrite));
    SetNativeFaultPlan({.writeBudget = 0, .writeError = kDiskFullError});
    m_file.WriteText("lost\n");
    EXPECT_NO_THROW(m_file.Abort());
    EXPECT_EQ(m_file.m_hFile, CFile::hFileNull);
}

}  // namespace
