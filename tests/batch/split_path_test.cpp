#include "batch/split_path.h"

#include <gtest/gtest.h>

namespace {

bool NoLeadBytes(unsigned char) {
    return false;
}

// Lead bytes of code page 932 (Shift-JIS), whose trail bytes include '\' (0x5C).
bool ShiftJisLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

void ExpectSplit(std::string_view path, const PathSplit& expected,
                 LeadBytePredicate lead = NoLeadBytes) {
    const PathSplit split = SplitPath(path, lead);
    EXPECT_EQ(split.drive, expected.drive) << path;
    EXPECT_EQ(split.dir, expected.dir) << path;
    EXPECT_EQ(split.name, expected.name) << path;
    EXPECT_EQ(split.ext, expected.ext) << path;
}

TEST(SplitPathTest, SplitsAsTheRuntimeDoes) {
    ExpectSplit("D:\\data\\cell1.txt", {"D:", "\\data\\", "cell1", ".txt"});
    ExpectSplit("D:\\data\\run.1.txt", {"D:", "\\data\\", "run.1", ".txt"});
    ExpectSplit("D:\\data\\cell", {"D:", "\\data\\", "cell", ""});
    ExpectSplit("D:cell.dat", {"D:", "", "cell", ".dat"});
    ExpectSplit("/home/u/set.a/cell", {"", "/home/u/set.a/", "cell", ""});
    ExpectSplit("mixed/dir\\name.", {"", "mixed/dir\\", "name", "."});
    ExpectSplit(".profile", {"", "", "", ".profile"});
    ExpectSplit("\\\\server\\share\\x.txt", {"", "\\\\server\\share\\", "x", ".txt"});
    ExpectSplit("", {"", "", "", ""});
    ExpectSplit("1:x.txt", {"", "", "1:x", ".txt"});
}

TEST(SplitPathTest, TrailBytesOfTwoByteCharactersAreNeverSeparators) {
    // "C:\データ\表.txt" in Shift-JIS: 表 is 0x95 0x5C, whose second byte is '\'.
    const std::string path =
        "C:\\\x83"
        "f\x81[\x83^\\\x95\x5C.txt";
    ExpectSplit(path,
                {"C:",
                 "\\\x83"
                 "f\x81[\x83^\\",
                 "\x95\x5C", ".txt"},
                ShiftJisLeadByte);
    // Read byte by byte, the same path would lose its name to the trail byte.
    EXPECT_EQ(SplitPath(path, NoLeadBytes).name, "");
}

TEST(SplitPathTest, LongPathsAreSplitWhole) {
    const std::string folder = "/" + std::string(5000, 'f') + "/";
    const std::string name(3000, 'n');
    ExpectSplit(folder + name + ".txt", {"", folder, name, ".txt"});
}

}  // namespace
