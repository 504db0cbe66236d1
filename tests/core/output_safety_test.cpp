#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/conversion_settings.h"
#include "core/file_converter.h"
#include "core/text_file.h"
#include "framework/interrupt.h"
#include "framework/interrupt_cleanup.h"
#include "framework/native_file.h"
#include "framework/os_error.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr const char* kInput = "h\r\nh\r\nh\r\n3 1\r\n";
constexpr const char* kOutput = "Freq(Hz), Gamma(tau)\r\n0.159155, 3\r\n";
// A table an earlier run wrote.
constexpr const char* kEarlier = "Freq(Hz), Gamma(tau)\r\n0.159155, 7\r\n";

class OutputSafetyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_area = 1.0f;
        g_areaSet = 1;
        WriteBytes(m_input, kInput);
    }
    void TearDown() override {
        SetNativeFaultPlan(NativeFaultPlan{});
        g_areaSet = 0;
    }

    // Converts the input, expecting a failure; returns it.
    CFileException ConvertExpectingFailure() {
        try {
            ConvertFile(m_input, m_output);
        } catch (const CFileException& error) {
            return error;
        }
        ADD_FAILURE() << "the conversion did not fail";
        return CFileException();
    }

    TempDir m_dir;
    std::string m_input = m_dir.File("cell.txt");
    std::string m_output = m_dir.File("cell+PDRT.txt");
    std::string m_temporary = TemporaryOutputPath(m_output);
};

TEST_F(OutputSafetyTest, WhatStandsAtTheTemporaryNameIsReplacedNeverWrittenThrough) {
    // A second name of the input: writing through it would destroy the input.
    fs::create_hard_link(m_input, m_temporary);
    ConvertFile(m_input, m_output);
    EXPECT_EQ(ReadBytes(m_input), kInput);
    EXPECT_EQ(ReadBytes(m_output), kOutput);
    EXPECT_FALSE(Exists(m_temporary));
#ifndef _WIN32
    const std::string victim = m_dir.File("victim.txt");
    WriteBytes(victim, "keep me");
    fs::create_symlink(victim, m_temporary);
    ConvertFile(m_input, m_output);
    EXPECT_EQ(ReadBytes(victim), "keep me");
    EXPECT_FALSE(fs::is_symlink(m_output));
    EXPECT_EQ(ReadBytes(m_output), kOutput);

    // A pipe without a reader would block a writer for ever.
    ASSERT_EQ(::mkfifo(m_temporary.c_str(), 0600), 0);
    ConvertFile(m_input, m_output);
    EXPECT_EQ(ReadBytes(m_output), kOutput);
    EXPECT_FALSE(Exists(m_temporary));
#endif
}

TEST_F(OutputSafetyTest, ALeftoverIsClearedAndWhatMustStayIsReported) {
    WriteBytes(m_output, kEarlier);
    WriteBytes(m_temporary, "Freq(Hz), Gamma(tau)\r\n0.1591");
    ConvertFile(m_input, m_output);
    EXPECT_EQ(ReadBytes(m_output), kOutput);
    EXPECT_FALSE(Exists(m_temporary));

    WriteBytes(m_output, kEarlier);
    WriteBytes(m_temporary, "the user's own notes");
    CFileException error = ConvertExpectingFailure();
    EXPECT_EQ(error.m_lOsError, kErrorForeignFileInTheWay);
    EXPECT_EQ(error.m_strFileName, m_temporary);
    EXPECT_EQ(ReadBytes(m_temporary), "the user's own notes");
    EXPECT_EQ(ReadBytes(m_output), kEarlier);

    fs::remove(m_temporary);
    fs::create_directory(m_temporary);
    error = ConvertExpectingFailure();
    EXPECT_EQ(error.m_lOsError, kErrorFolderInTheWay);
    EXPECT_TRUE(fs::is_directory(m_temporary));
    EXPECT_EQ(ReadBytes(m_output), kEarlier);
}

TEST_F(OutputSafetyTest, OnlyATableOfThisProgramsIsReplacedAndItKeepsItsPermissions) {
    WriteBytes(m_output, "my precious notes\r\n");
    CFileException error = ConvertExpectingFailure();
    EXPECT_EQ(error.m_strFileName, m_output);
    EXPECT_EQ(error.Reason(), "it is not a table written by this program; it was kept");
    EXPECT_EQ(ReadBytes(m_output), "my precious notes\r\n");

    WriteBytes(m_output, kEarlier);
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read;
    fs::permissions(m_output, readOnly);
    error = ConvertExpectingFailure();
    EXPECT_EQ(error.Reason(), "it is read-only; it was kept");
    EXPECT_EQ(ReadBytes(m_output), kEarlier);
    EXPECT_FALSE(Exists(m_temporary));

    // An empty file holds nothing to keep; a table keeps its permissions when replaced.
    fs::permissions(m_output, fs::perms::owner_read | fs::perms::owner_write);
    WriteBytes(m_output, "");
    ConvertFile(m_input, m_output);
    EXPECT_EQ(ReadBytes(m_output), kOutput);
#ifndef _WIN32
    EXPECT_EQ(fs::status(m_output).permissions(), fs::perms::owner_read | fs::perms::owner_write);
#endif
}

TEST_F(OutputSafetyTest, AnOutputOpenInAnotherProgramIsKeptAndSaidSo) {
#ifndef _WIN32
    GTEST_SKIP() << "POSIX has no mandatory sharing modes: another program cannot hold a file";
#else
    WriteBytes(m_output, kEarlier);
    CFile other;
    ASSERT_TRUE(other.Open(m_output, CFile::modeRead));
    const CFileException error = ConvertExpectingFailure();
    EXPECT_EQ(error.m_strFileName, m_output);
    EXPECT_EQ(error.Reason(), "it is open in another program");
    other.Close();
    EXPECT_EQ(ReadBytes(m_output), kEarlier);
#endif
}

// An interruption lists what it would remove and say, as the platform's handler does, and ends
// the process.
[[noreturn]] void InterruptNow() {
    CleanUpForInterruption([](const std::string& path, const std::string& message) {
        std::fprintf(stderr, "remove [%s] say [%s]\n", path.c_str(), message.c_str());
    });
    std::fflush(stderr);
    std::_Exit(0);
}

TEST_F(OutputSafetyTest, AnInterruptionAfterTheCommitSaysTheFileWasConverted) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            InterruptNotice converted;
            ConvertFile(m_input, m_output, "cell.txt", &converted);
            InterruptNow();
        },
        ::testing::ExitedWithCode(0),
        "^remove \\[\\] say \\[Interrupted after converting cell.txt; its output is "
        "complete\\]\n$");
}

TEST_F(OutputSafetyTest, WhileAnotherConversionWritesTheOutputTheLaterOneFails) {
    WriteBytes(m_output, kEarlier);
    {
        // Holds the temporary as a conversion in progress does.
        CTextFile running;
        ASSERT_TRUE(running.OpenTemporary(m_temporary, "Freq(Hz), Gamma(tau)"));
        running.WriteText("Freq(Hz), Gamma(tau)\n");
        running.Flush();
        const CFileException error = ConvertExpectingFailure();
        EXPECT_EQ(error.m_lOsError, kErrorTemporaryInUse);
        EXPECT_EQ(error.m_strFileName, m_output);
        EXPECT_TRUE(Exists(m_temporary));
        EXPECT_EQ(ReadBytes(m_output), kEarlier);
    }
    // The same file, no longer held, is a leftover.
    ConvertFile(m_input, m_output);
    EXPECT_EQ(ReadBytes(m_output), kOutput);
}

TEST_F(OutputSafetyTest, TheLongestOutputNameTheSystemAllowsConverts) {
#ifdef _WIN32
    // The whole path counts: at most MAX_PATH - 1 characters.
    const std::size_t room = 259 - m_dir.Path().size();
#else
    const std::size_t room = 255;
#endif
    const std::string stem(room - std::string("+PDRT.txt").size(), 'x');
    const std::string input = m_dir.File(stem + ".dat");
    const std::string output = m_dir.File(stem + "+PDRT.txt");
    WriteBytes(input, kInput);
    ConvertFile(input, output);
    EXPECT_EQ(ReadBytes(output), kOutput);
}

TEST_F(OutputSafetyTest, AnInputThatChangesWhileConvertedFailsAndKeepsTheEarlierOutput) {
#ifdef _WIN32
    GTEST_SKIP() << "the input is open without sharing: no other program can change it meanwhile";
#endif
    WriteBytes(m_output, kEarlier);
    bool appended = false;
    NativeFaultPlan plan;
    plan.beforeRead = [&] {
        if (!appended) {
            appended = true;
            WriteBytes(m_input, std::string(kInput) + "5 1\r\n");
        }
    };
    SetNativeFaultPlan(plan);
    const CFileException error = ConvertExpectingFailure();
    SetNativeFaultPlan(NativeFaultPlan{});
    EXPECT_EQ(error.m_strFileName, m_input);
    EXPECT_NE(error.Reason().find("changed while it was converted"), std::string::npos)
        << error.Reason();
    EXPECT_EQ(ReadBytes(m_output), kEarlier);
    EXPECT_FALSE(Exists(m_temporary));
}

TEST_F(OutputSafetyTest, OnlyRegularFilesAreReadAndNothingWaitsOnAPipe) {
#ifdef _WIN32
    const std::vector<std::string> others = {"\\\\.\\NUL"};
#else
    const std::string pipe = m_dir.File("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::vector<std::string> others = {pipe, "/dev/null"};
#endif
    for (const std::string& other : others) {
        try {
            ConvertFile(other, m_output);
            ADD_FAILURE() << other << " was converted";
        } catch (const CFileException& error) {
            EXPECT_EQ(error.m_lOsError, kErrorNotRegularFile) << other;
        }
        EXPECT_FALSE(Exists(m_output));
    }
}

}  // namespace
