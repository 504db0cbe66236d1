#include "core/data_row.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "support/row_model.h"

namespace {

TEST(DataRowTest, SeparatedFieldsReadAsTheCLibraryReadsEachField) {
#if defined(__GLIBC__)
    // Field texts in the shapes that split or scan wrongly most easily: whole numbers with blanks,
    // hexadecimal, nan and inf; numbers scanf stops short in or cannot read; decimal commas and
    // the separators themselves; and a NUL byte, where the line ends.
    std::vector<std::string> fields = {"1", "-2.5", " 2.5 ", "\t3e2\v", "1e-7", ".5", "5."};
    fields.insert(fields.end(), {"1e99", "3.4028236e38", "0x1p-3", "0X1.8P+1", "nan", "-NaN"});
    fields.insert(fields.end(), {"nan(1)", "inf", "-Infinity", "1e", "1e+", "0x", "0x.p1"});
    fields.insert(fields.end(), {"nan(", "infin", ".", "-", "+", "", " ", "x", "1.5x", "1 2"});
    fields.insert(fields.end(), {"1,5", "-1,25e-3", ",5", "1,", "1;2", std::string("2\0x", 3)});
    const std::string separators = ",;\t";
    const std::vector<std::string> lastFields = {"", " ", "7", "x", "\t"};
    std::vector<std::string> lines;
    for (const std::string& a : fields) {
        for (const std::string& b : fields) {
            for (const char first : separators) {
                lines.push_back(a + first + b);
                for (const char second : separators) {
                    for (const std::string& c : lastFields) {
                        lines.push_back(a + first + b + second + c);
                    }
                }
            }
        }
    }
    std::string scratch;
    int layouts[4] = {};
    for (const RowReading reading :
         {RowReading{DecimalSign::point, 0}, RowReading{DecimalSign::comma, 0},
          RowReading{DecimalSign::point, ','}, RowReading{DecimalSign::comma, '\t'}}) {
        for (const std::string& line : lines) {
            float wantFirst = 0.0f;
            float wantSecond = 0.0f;
            RowLayout want = RowLayout::none;
            const bool row = ModelDataRow(line, reading, wantFirst, wantSecond, want);
            float first = 0.0f;
            float second = 0.0f;
            const RowLayout got = ReadDataRow(line, reading, scratch, first, second);
            ASSERT_EQ(static_cast<int>(got), static_cast<int>(want))
                << ::testing::PrintToString(line) << " read with decimal "
                << (reading.sign == DecimalSign::point ? "points" : "commas");
            if (row) {
                EXPECT_EQ(std::bit_cast<std::uint32_t>(first),
                          std::bit_cast<std::uint32_t>(wantFirst))
                    << ::testing::PrintToString(line);
                EXPECT_EQ(std::bit_cast<std::uint32_t>(second),
                          std::bit_cast<std::uint32_t>(wantSecond))
                    << ::testing::PrintToString(line);
            }
            ++layouts[static_cast<int>(want)];
        }
    }
    // The lines reach every layout.
    for (const int count : layouts) {
        EXPECT_GT(count, 0);
    }
#else
    GTEST_SKIP() << "ReadDataRow follows glibc's scanf, not this C library's";
#endif
}

}  // namespace
