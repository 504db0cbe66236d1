#include "framework/file.h"

#include <gtest/gtest.h>

#include "framework/os_error.h"
#include "support/temp_dir.h"

#include <filesystem>

namespace {

TEST(FileTest, PathAccessorsSplitTheLastComponent) {
    CFile file;
    file.SetFilePath("D:\\data\\run.1.txt");
    EXPECT_EQ(file.GetFilePath(), "D:\\data\\run.1.txt");
    EXPECT_EQ(file.GetFileName(), "run.1.txt");
    EXPECT_EQ(file.GetFileTitle(), "run.1");
    file.SetFilePath("/home/u/cell");
    EXPECT_EQ(file.GetFileName(), "cell");
    EXPECT_EQ(file.GetFileTitle(), "cell");
}

TEST(FileTest, OpenReadLengthAndPosition) {
    TempDir dir;
    WriteBytes(dir.File("a.bin"), "0123456789");
    CFile file;
    ASSERT_TRUE(file.Open(dir.File("a.bin"), CFile::modeRead));
    EXPECT_TRUE(file.m_bCloseOnDelete);
    EXPECT_EQ(file.GetLength(), 10u);
    char buffer[4];
    EXPECT_EQ(file.Read(buffer, 4), 4u);
    EXPECT_EQ(file.GetPosition(), 4u);
    EXPECT_EQ(file.GetLength(), 10u);
    EXPECT_EQ(file.GetPosition(), 4u);
    EXPECT_EQ(file.Seek(-1, CFile::end), 9u);
    file.Close();
    EXPECT_EQ(file.m_hFile, CFile::hFileNull);
}

TEST(FileTest, SetLengthCutsTheFile) {
    TempDir dir;
    WriteBytes(dir.File("a.bin"), "0123456789");
    {
        CFile file;
        ASSERT_TRUE(file.Open(dir.File("a.bin"), CFile::modeReadWrite));
        file.SetLength(3);
    }
    EXPECT_EQ(ReadBytes(dir.File("a.bin")), "012");
}

TEST(FileTest, ReplaceFileMovesOverAnExistingFile) {
    TempDir dir;
    WriteBytes(dir.File("new"), "new");
    WriteBytes(dir.File("old"), "old");
    CFile::ReplaceFile(dir.File("new"), dir.File("old"));
    EXPECT_EQ(ReadBytes(dir.File("old")), "new");
    EXPECT_FALSE(Exists(dir.File("new")));
}

TEST(FileTest, FailuresCarryCauseErrorNumberAndFileName) {
    TempDir dir;
    try {
        CFile::Remove(dir.File("missing"));
        FAIL() << "removed a missing file";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
        EXPECT_NE(e.m_lOsError, 0);
        EXPECT_EQ(e.m_strFileName, dir.File("missing"));
        EXPECT_FALSE(e.Reason().empty());
        EXPECT_EQ(std::string(e.what()), dir.File("missing") + ": " + e.Reason());
    }
    CFileException error;
    CFile file;
    EXPECT_FALSE(
        file.Open(dir.File("no-such-folder/x.txt"), CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_TRUE(error.m_cause == CFileException::badPath ||
                error.m_cause == CFileException::fileNotFound);
    EXPECT_EQ(file.m_hFile, CFile::hFileNull);
}

TEST(FileTest, FoldersDoNotOpenAsFiles) {
    TempDir dir;
    const std::string folder = dir.File("inner");
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    const unsigned opens[] = {CFile::modeRead, CFile::modeReadWrite,
                              CFile::modeCreate | CFile::modeReadWrite};
    for (const unsigned flags : opens) {
        CFileException error;
        CFile file;
        EXPECT_FALSE(file.Open(folder, flags, &error)) << "flags " << flags;
        EXPECT_EQ(error.m_cause, CFileException::accessDenied) << "flags " << flags;
        EXPECT_EQ(file.m_hFile, CFile::hFileNull);
    }
}

TEST(FileTest, ExceptionWithoutSystemErrorExplainsItsCause) {
    const CFileException error(CFileException::diskFull, 0, "out.txt");
    EXPECT_EQ(error.Reason(), "the disk is full");
    EXPECT_STREQ(error.what(), "out.txt: the disk is full");
}

TEST(FileTest, FilesOpenedWithoutSharingFlagsAreExclusiveAndDevicesRefusedOnWindows) {
#ifdef _WIN32
    TempDir dir;
    WriteBytes(dir.File("held.txt"), "x");
    CFile holder;
    ASSERT_TRUE(holder.Open(dir.File("held.txt"), CFile::modeRead));
    CFile second;
    CFileException error;
    EXPECT_FALSE(second.Open(dir.File("held.txt"), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
    EXPECT_EQ(error.Reason(), "it is open in another program");
    CFile sharing;
    holder.Close();
    ASSERT_TRUE(holder.Open(dir.File("held.txt"), CFile::modeRead | CFile::shareDenyWrite));
    EXPECT_TRUE(sharing.Open(dir.File("held.txt"), CFile::modeRead | CFile::shareDenyWrite));
    // Devices are refused as devices, never opened.
    for (const char* device : {"CON", "\\\\.\\COM1", "nul.txt"}) {
        CFile file;
        EXPECT_FALSE(file.Open(device, CFile::modeRead, &error)) << device;
        EXPECT_EQ(error.m_lOsError, kErrorNotRegularFile) << device;
    }
#else
    GTEST_SKIP() << "POSIX has no mandatory sharing modes; files are opened without them";
#endif
}

}  // namespace
