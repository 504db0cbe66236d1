#include "analysis/summary_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

TEST(SummaryTableTest, EveryRowHasTheHeadersCellsAndAQuotedNameWhereNeeded) {
    const std::string header = SummaryHeader();
    const auto cells = [](const std::string& line) {
        return std::count(line.begin(), line.end(), ',');
    };
    EXPECT_EQ(header.rfind("file,rows,f_min_Hz,f_max_Hz,area,R_pol,peak1_f_Hz,", 0), 0u);
    EXPECT_EQ(header.substr(header.size() - 13), ",peak5_R_pol\n");

    SpectrumFigures figures;
    figures.rows = 401;
    figures.minFrequencyHz = 0.0159154946;
    figures.maxFrequencyHz = 15915494.6;
    figures.rPol = 0.16;
    figures.peaks = {{1591.54946, 0.0797884561, 0.0600000001}, {1.59154946, 0.0498677851, 0.1}};
    EXPECT_EQ(SummaryRow("b\u00e9 \"2\", run.txt", 0.5, figures),
              "\"b\u00e9 \"\"2\"\", run.txt\",401,0.0159154946,15915494.6,0.5,0.16,"
              "1591.54946,0.0797884561,0.0600000001,1.59154946,0.0498677851,0.1,,,,,,,,,\n");

    SpectrumFigures none;
    none.rows = 2;
    none.noFigures = "fewer than 3 rows";
    const std::string row = SummaryRow("short.txt", 1e-3, none);
    EXPECT_EQ(row, "short.txt,2,,,0.001,,,,,,,,,,,,,,,,\n");
    EXPECT_EQ(cells(row), cells(header));
}

}  // namespace
