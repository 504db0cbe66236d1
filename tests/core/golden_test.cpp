#include <gtest/gtest.h>

#include "core/conversion_settings.h"
#include "core/file_converter.h"
#include "support/temp_dir.h"

#if defined(__GLIBC__)
#include "bench/baseline_converter.h"
#endif

namespace {

// golden-input.txt holds realistic rows and every awkward number shape; the expected output was
// made from it by the C-library baseline on glibc with area 0.1.
constexpr const char* kInput = "golden-input.txt";
constexpr const char* kExpected = "golden-expected-area-0.1.txt";

TEST(GoldenTest, ConversionMatchesTheGlibcReferenceByteForByte) {
    TempDir dir;
    g_area = 0.1f;
    g_areaSet = 1;
    ConvertFile(TestDataPath(kInput), dir.File("out.txt"));
    g_area = 1.0f;
    g_areaSet = 0;
    const std::string expected = ReadBytes(TestDataPath(kExpected));
    ASSERT_FALSE(expected.empty());
    EXPECT_TRUE(ReadBytes(dir.File("out.txt")) == expected)
        << "the output differs from " << kExpected;
}

TEST(GoldenTest, ExpectedOutputIsWhatTheCLibraryProducesHere) {
#if defined(__GLIBC__)
    TempDir dir;
    ASSERT_TRUE(BaselineConvert(TestDataPath(kInput), dir.File("reference.txt"), 0.1f));
    EXPECT_TRUE(ReadBytes(dir.File("reference.txt")) == ReadBytes(TestDataPath(kExpected)))
        << kExpected << " no longer matches the glibc baseline";
#else
    GTEST_SKIP() << "the expected output follows glibc's sscanf and printf, not this C library's";
#endif
}

}  // namespace
