#include "batch/merged_table.h"

#include <gtest/gtest.h>

#include "framework/file_exception.h"
#include "support/temp_dir.h"

namespace {

TEST(MergedTableTest, AnOutputThatChangedSinceItsRunFailsTheTableAndKeepsTheEarlierOne) {
    TempDir dir;
    const std::string output = dir.File("a+PDRT.txt");
    const std::string merged = dir.File("merged.csv");
    WriteBytes(output, "Freq(Hz), Gamma(tau)\r\n159.154938, 1\r\n15.915495, 2\r\n");
    WriteBytes(merged, "earlier\n");
    FileSpectrum spectrum;
    spectrum.name = dir.File("a.txt");
    spectrum.output = output;
    spectrum.figures.rows = 3;
    EXPECT_THROW(WriteMergedTable({spectrum}, merged), CFileException);
    EXPECT_EQ(ReadBytes(merged), "earlier\n");
    EXPECT_FALSE(Exists(merged + ".tmp"));

    spectrum.figures.rows = 2;
    EXPECT_TRUE(WriteMergedTable({spectrum}, merged).empty());
    EXPECT_EQ(ReadBytes(merged), "Freq(Hz),a.txt\n159.154938,1\n15.915495,2\n");
}

}  // namespace
