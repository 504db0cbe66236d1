#include "framework/path_keys.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace {

TEST(PathKeysTest, EverySpellingOfAFileIsOneKey) {
    TempDir dir;
    std::filesystem::create_directory(Utf8Path(dir.File("sub")));
    PathKeys keys;
    const std::string key = keys.Key(dir.File("a+PDRT.txt"));
    EXPECT_EQ(keys.Key(dir.File("./a+PDRT.txt")), key);
    EXPECT_EQ(keys.Key(dir.File("sub/../a+PDRT.txt")), key);
    EXPECT_NE(keys.Key(dir.File("b+PDRT.txt")), key);
    EXPECT_NE(keys.Key(dir.File("sub/a+PDRT.txt")), key);
    // A folder that does not exist is known by its text.
    EXPECT_EQ(keys.Key(dir.File("gone/a.txt")), keys.Key(dir.File("gone/a.txt")));
    EXPECT_NE(keys.Key(dir.File("gone/a.txt")), keys.Key(dir.File("gone/b.txt")));
#ifdef _WIN32
    // Windows' file systems ignore case, also beyond ASCII, and take '/' for '\'.
    EXPECT_EQ(keys.Key(dir.File("SUB/\xC3\x84quivalent.TXT")),
              keys.Key(dir.File("sub\\\xC3\xA4QUIVALENT.txt")));
#else
    EXPECT_NE(keys.Key(dir.File("A+PDRT.txt")), key);
    std::filesystem::create_directory_symlink(dir.Path(), dir.File("sub/link"));
    EXPECT_EQ(keys.Key(dir.File("sub/link/a+PDRT.txt")), key);
#endif
}

}  // namespace
