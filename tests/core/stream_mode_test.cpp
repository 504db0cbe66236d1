#include "core/stream_mode.h"

#include <gtest/gtest.h>

#include "framework/file.h"

TEST(StreamModeTest, EveryAccessAndCreationCombinationGivesItsFopenMode) {
    struct Case {
        unsigned flags;
        const char* mode;
    };
    const Case cases[] = {
        {0, "rt"},
        {CFile::modeWrite, "at"},
        {CFile::modeReadWrite, "r+t"},
        {CFile::modeCreate, "w+t"},
        {CFile::modeCreate | CFile::modeWrite, "wt"},
        {CFile::modeCreate | CFile::modeReadWrite, "w+t"},
        {CFile::modeCreate | CFile::modeNoTruncate, "a+t"},
        {CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite, "at"},
        {CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite, "a+t"},
        {CFile::typeBinary, "rb"},
        {CFile::modeCreate | CFile::modeReadWrite | CFile::typeBinary, "w+b"},
        {CFile::modeWrite | CFile::typeText, "at"},
        {CFile::modeReadWrite | CFile::shareDenyWrite, "r+t"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StreamModeFor(c.flags), c.mode) << "flags 0x" << std::hex << c.flags;
    }
}
