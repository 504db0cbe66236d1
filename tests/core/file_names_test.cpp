#include <gtest/gtest.h>

#include <filesystem>

#include "core/conversion_settings.h"
#include "core/file_converter.h"
#include "support/temp_dir.h"

namespace {

// Input data whose row tells which file it came from: γ is `tag`.
std::string InputTagged(int tag) {
    return "h\nh\nh\n" + std::to_string(tag) + " 1\n";
}

std::string OutputTagged(int tag) {
    return "Freq(Hz), Gamma(tau)\r\n0.159155, " + std::to_string(tag) + "\r\n";
}

// Every name is the file it names: no script is mapped to another character (α.dat is not a.dat),
// no reserved device name is a device, and no length below the file system's own limit fails.
// Under Wine the test programs run with the ANSI code page 1252, so nothing here depends on it.
TEST(FileNamesTest, EveryNameIsTheFileItNames) {
    TempDir dir;
    g_area = 1.0f;
    g_areaSet = 1;
    std::string deep = dir.Path();
    for (int level = 0; level < 5; ++level) {
        deep += std::string(60, static_cast<char>('k' + level)) + (level % 2 == 0 ? "/" : "\\");
    }
    std::filesystem::create_directories(Utf8Path(OnDisk(deep)));
    WriteBytes(dir.File("a.dat"), InputTagged(99));
    ConvertFile(dir.File("a.dat"), dir.File("a+PDRT.txt"));

    const std::vector<std::pair<std::string, std::string>> files = {
        {dir.File("α.dat"), dir.File("α+PDRT.txt")},
        {dir.File("电池.txt"), dir.File("电池+PDRT.txt")},
        {dir.File("Größe Zelle 1.txt"), dir.File("Größe Zelle 1+PDRT.txt")},
        {dir.File("cell \xF0\x9F\x94\x8B.txt"), dir.File("cell \xF0\x9F\x94\x8B+PDRT.txt")},
        {dir.File("nul.dat"), dir.File("nul+PDRT.txt")},
        {dir.File("aux.dat"), dir.File("aux+PDRT.txt")},
        {deep + "cell.txt", deep + "cell+PDRT.txt"},
    };
    ASSERT_GT(files.back().second.size(), 300u);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto& [input, output] = files[i];
        const int tag = static_cast<int>(i) + 1;
        WriteBytes(input, InputTagged(tag));
        ConvertFile(input, output);
        EXPECT_EQ(ReadBytes(output), OutputTagged(tag)) << input;
    }
    EXPECT_EQ(ReadBytes(dir.File("a+PDRT.txt")), OutputTagged(99));
    g_areaSet = 0;
}

}  // namespace
