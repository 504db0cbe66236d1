#include "plot/curve_sampler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

bool Holds(const std::vector<PlotPoint>& points, double frequencyHz, double gammaArea) {
    return std::any_of(points.begin(), points.end(), [&](const PlotPoint& point) {
        return point.frequencyHz == frequencyHz && point.gammaArea == gammaArea;
    });
}

TEST(CurveSamplerTest, KeepsAtMost2000PointsOfMillionsOfRowsAndEveryOneRowSpike) {
    constexpr int kRows = 3'000'000;
    // Rows in the later one of two buckets that merge (of 2048 rows, when row 2048000 comes).
    constexpr int kSpikeRow = 1'236'000;
    constexpr int kDipRow = 2'047'999;
    // Frequencies falling as the τ of an export rise, under a smooth peak.
    const auto frequencyAt = [](int row) { return 1e7 * std::pow(10.0, -9.0 * row / kRows); };
    std::vector<PlotPoint> rows;
    for (int row = 0; row < kRows; ++row) {
        const double x = (row - kRows / 2) / (0.1 * kRows);
        // To three decimals, so that many rows tie.
        double gammaArea = std::round(std::exp(-x * x) * 1000) / 1000;
        if (row == kSpikeRow) {
            gammaArea = 25.0;
        } else if (row == kDipRow) {
            gammaArea = -3.0;
        } else if (row % 700'001 == 0) {
            gammaArea = std::numeric_limits<double>::quiet_NaN();
        }
        rows.push_back({frequencyAt(row), gammaArea});
    }
    CurveSampler oneByOne;
    for (const PlotPoint& row : rows) {
        oneByOne.Add(row.frequencyHz, row.gammaArea);
    }
    const std::vector<PlotPoint> points = oneByOne.Points();
    EXPECT_LE(points.size(), kMaxCurvePoints);
    EXPECT_GT(points.size(), kMaxCurvePoints / 2);
    EXPECT_TRUE(Holds(points, frequencyAt(kSpikeRow), 25.0));
    EXPECT_TRUE(Holds(points, frequencyAt(kDipRow), -3.0));
    EXPECT_TRUE(std::is_sorted(points.begin(), points.end(), [](const auto& a, const auto& b) {
        return a.frequencyHz > b.frequencyHz;
    })) << "points out of row order";

    // In batches that end anywhere in a bucket, the same points.
    CurveSampler inBatches;
    constexpr std::size_t kBatch = 4099;
    for (std::size_t first = 0; first < rows.size(); first += kBatch) {
        inBatches.AddRows(rows.data() + first, std::min(kBatch, rows.size() - first),
                          [](const PlotPoint& row) { return row; });
    }
    const std::vector<PlotPoint> batched = inBatches.Points();
    ASSERT_EQ(batched.size(), points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(batched[i].frequencyHz, points[i].frequencyHz) << i;
        EXPECT_EQ(batched[i].gammaArea, points[i].gammaArea) << i;
    }
}

TEST(CurveSamplerTest, KeepsAShortCurveWholeWithoutItsUnplottableRows) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    CurveSampler sampler;
    std::vector<PlotPoint> expected;
    for (int row = 0; row < 2000; ++row) {
        const PlotPoint point{1.0 + row, std::sin(row * 0.1)};
        expected.push_back(point);
        sampler.Add(point.frequencyHz, point.gammaArea);
        if (row % 300 == 0) {
            sampler.Add(0.0, 1.0);
            sampler.Add(-5.0, 1.0);
            sampler.Add(kNaN, 1.0);
            sampler.Add(kInfinity, 1.0);
            sampler.Add(10.0, kNaN);
            sampler.Add(10.0, -kInfinity);
        }
    }
    const std::vector<PlotPoint> points = sampler.Points();
    ASSERT_EQ(points.size(), expected.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(points[i].frequencyHz, expected[i].frequencyHz) << i;
        EXPECT_EQ(points[i].gammaArea, expected[i].gammaArea) << i;
    }
}

}  // namespace
