#include "batch/file_table.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace {

class FileTableTest : public ::testing::Test {
  protected:
    void SetUp() override { ClearFileTable(); }
    void TearDown() override { ClearFileTable(); }
};

void ExpectParts(const FileNameParts& parts, const FileNameParts& expected) {
    EXPECT_EQ(parts.path, expected.path);
    EXPECT_EQ(parts.name, expected.name);
    EXPECT_EQ(parts.ext, expected.ext);
    EXPECT_EQ(parts.dir, expected.dir);
    EXPECT_EQ(parts.drive, expected.drive);
}

TEST_F(FileTableTest, ChosenFileGivesItsInputAndOutputRows) {
    EXPECT_EQ(AppendFiles({"D:\\data\\cell1.txt"}), 0);
    ASSERT_EQ(g_fileCount, 1);
    ExpectParts(g_inputFiles[0], {"D:\\data\\cell1.txt", "cell1", ".txt", "D:\\data\\", "D:"});
    ExpectParts(g_outputFiles[0],
                {"D:\\data\\cell1+PDRT.txt", "cell1+PDRT", ".txt", "D:\\data\\", "D:"});
    EXPECT_EQ(RebuildFileListText(), "cell1\r\n");
    EXPECT_EQ(g_fileListText, "cell1\r\n");
}

TEST_F(FileTableTest, OutputIsNamedBesideTheInputWhateverItsExtension) {
    AppendFiles({"D:\\data\\run.1.txt", "D:\\data\\cell.dat", "D:\\data\\cell.txt",
                 "D:\\data\\cell", "relative/set.b/x.csv", "C:only.txt"});
    ASSERT_EQ(g_fileCount, 6);
    EXPECT_EQ(g_inputFiles[0].name, "run.1");
    EXPECT_EQ(g_outputFiles[0].path, "D:\\data\\run.1+PDRT.txt");
    EXPECT_EQ(g_outputFiles[1].path, "D:\\data\\cell+PDRT.txt");
    EXPECT_EQ(g_outputFiles[2].path, "D:\\data\\cell+PDRT.txt");
    EXPECT_EQ(g_inputFiles[3].ext, "");
    EXPECT_EQ(g_outputFiles[3].path, "D:\\data\\cell+PDRT.txt");
    EXPECT_EQ(g_outputFiles[4].path, "relative/set.b/x+PDRT.txt");
    EXPECT_EQ(g_inputFiles[5].dir, "C:");
    EXPECT_EQ(g_outputFiles[5].path, "C:only+PDRT.txt");
    EXPECT_EQ(RebuildFileListText(), "run.1\r\ncell\r\ncell\r\ncell\r\nx\r\nonly\r\n");
}

TEST_F(FileTableTest, NewChoicesAppendAndClearingStartsAfresh) {
    AppendFiles({"a.txt"});
    AppendFiles({"b.txt", "a.txt"});
    EXPECT_EQ(RebuildFileListText(), "a\r\nb\r\na\r\n");
    ClearFileTable();
    EXPECT_EQ(g_fileCount, 0);
    AppendFiles({"c.txt"});
    EXPECT_EQ(RebuildFileListText(), "c\r\n");
    EXPECT_EQ(g_outputFiles[0].path, "c+PDRT.txt");
}

TEST_F(FileTableTest, ChoicesBeyondTheTableAreRefusedAndCounted) {
    std::vector<std::string> paths;
    for (int i = 0; i < kMaxFiles - 2; ++i) {
        paths.push_back("f" + std::to_string(i) + ".txt");
    }
    EXPECT_EQ(AppendFiles(paths), 0);
    EXPECT_EQ(AppendFiles({"x.txt", "y.txt", "z.txt", "w.txt"}), 2);
    EXPECT_EQ(g_fileCount, kMaxFiles);
    EXPECT_EQ(g_inputFiles[kMaxFiles - 1].path, "y.txt");
    EXPECT_EQ(AppendFiles({"more.txt"}), 1);
    EXPECT_EQ(g_fileCount, kMaxFiles);
}

TEST_F(FileTableTest, NewFilesAreListedOnceHoweverTheyAreSpelledAndThoseLeftOutCounted) {
    TempDir dir;
    const std::string a = dir.File("a.txt");
    const std::string b = dir.File("b.txt");
    std::filesystem::create_directory(dir.File("sub"));
    AppendFiles(std::vector<std::string>(kMaxFiles - 2, dir.File("earlier.txt")));
    const AppendedFiles appended =
        AppendNewFiles({a, dir.File("sub/../a.txt"), b, dir.File("earlier.txt"), dir.File("c.txt"),
                        dir.File("d.txt")});
    EXPECT_EQ(appended.added, 2);
    EXPECT_EQ(appended.alreadyListed, 2);
    EXPECT_EQ(appended.leftOut, 2);
    EXPECT_EQ(appended.firstLeftOut, dir.File("c.txt"));
    EXPECT_EQ(g_inputFiles[kMaxFiles - 2].path, a);
    EXPECT_EQ(g_inputFiles[kMaxFiles - 1].path, b);
}

}  // namespace
