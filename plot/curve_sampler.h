#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

// One point of a curve: a frequency in hertz and the γ·A at it.
struct PlotPoint {
    double frequencyHz = 0.0;
    double gammaArea = 0.0;
};

// Most points that CurveSampler::Points returns, however many rows were added.
inline constexpr std::size_t kMaxCurvePoints = 2000;

// Thins a curve while its rows stream in, in bounded memory: the rows fall into buckets of 2^k
// consecutive rows (k >= 1), each keeping its lowest and its highest γ·A, so that no peak or dip
// is lost. When kMaxCurvePoints / 2 buckets are full, neighbours merge and the buckets double.
class CurveSampler {
  public:
    // Takes the next row in file order; a row whose frequency is not finite and above 0, or whose
    // γ·A is not finite, is passed over.
    void Add(double frequencyHz, double gammaArea) {
        const PlotPoint point{frequencyHz, gammaArea};
        AddRows(&point, 1, [](const PlotPoint& row) { return row; });
    }

    // Takes the next `count` rows in file order, each as the PlotPoint `pointOf(row)`, as Add
    // takes them one by one.
    template <class Row, class PointOf>
    void AddRows(const Row* rows, std::size_t count, PointOf pointOf);

    // The kept points in row order, at most kMaxCurvePoints: each bucket's lowest and highest γ·A
    // (one point when they are the same row), every row while at most kMaxCurvePoints were taken.
    std::vector<PlotPoint> Points() const;

  private:
    struct Extreme {
        PlotPoint point;
        std::uint64_t row = 0;
    };
    struct Bucket {
        Extreme low;
        Extreme high;
    };

    static constexpr double kLargest = std::numeric_limits<double>::max();
    static constexpr double kInfinity = std::numeric_limits<double>::infinity();

    // The extremes of a run of rows, taken without a branch.
    struct ScanRun {
        double lowest = kInfinity;
        double highest = -kInfinity;
        double leastFrequency = kInfinity;
        // Stays 0 unless a value is infinite or NaN, which a product by 0 turns into NaN.
        double notFinite = 0.0;

        void Take(const PlotPoint& point) {
            lowest = point.gammaArea < lowest ? point.gammaArea : lowest;
            highest = point.gammaArea > highest ? point.gammaArea : highest;
            leastFrequency =
                point.frequencyHz < leastFrequency ? point.frequencyHz : leastFrequency;
            notFinite += point.frequencyHz * 0.0 + point.gammaArea * 0.0;
        }
    };
    // Two runs over alternate rows, so that neither waits for the other.
    struct ScanRuns {
        ScanRun first;
        ScanRun second;

        bool AllPlottable() const {
            return std::min(first.leastFrequency, second.leastFrequency) > 0.0 &&
                   first.notFinite + second.notFinite == 0.0;
        }
    };

    // A bucket holding no row yet.
    static Bucket EmptyBucket();
    // Ends the open bucket `open` and merges neighbours when the buckets are full; returns the
    // rows the next bucket takes.
    std::uint64_t CloseBucket(Bucket& open);

    std::vector<Bucket> m_buckets;
    Bucket m_open = EmptyBucket();
    std::uint64_t m_rows = 0;
    std::uint64_t m_bucketRows = 2;
    std::uint64_t m_openRowsLeft = 2;
};

template <class Row, class PointOf>
void CurveSampler::AddRows(const Row* rows, std::size_t count, PointOf pointOf) {
    // The open bucket and the counts stay in locals while the rows stream through.
    Bucket open = m_open;
    std::uint64_t row = m_rows;
    std::uint64_t openRowsLeft = m_openRowsLeft;
    const auto addOne = [&](const PlotPoint& point) {
        // Also true for NaN.
        if (!(point.frequencyHz > 0.0 && point.frequencyHz <= kLargest) ||
            !(point.gammaArea >= -kLargest && point.gammaArea <= kLargest)) {
            return;
        }
        // A full bucket closes only when a row follows it, so that 2000 rows stay whole.
        if (openRowsLeft == 0) {
            openRowsLeft = CloseBucket(open);
        }
        --openRowsLeft;
        if (point.gammaArea < open.low.point.gammaArea) {
            open.low = {point, row};
        }
        // A repeat takes the high end, so that a bucket of two equal rows keeps both.
        if (point.gammaArea >= open.high.point.gammaArea) {
            open.high = {point, row};
        }
        ++row;
    };
    std::size_t i = 0;
    while (i < count) {
        // The rows that the open bucket can still take: when all are plottable, their extremes
        // are found first, in two interleaved runs free of branches, and the rows holding them
        // after, as one by one.
        const std::size_t end =
            i + static_cast<std::size_t>(std::min<std::uint64_t>(openRowsLeft, count - i));
        ScanRuns scan;
        std::size_t j = i;
        for (; j + 1 < end; j += 2) {
            scan.first.Take(pointOf(rows[j]));
            scan.second.Take(pointOf(rows[j + 1]));
        }
        if (j < end) {
            scan.first.Take(pointOf(rows[j]));
        }
        const bool allPlottable = end > i && scan.AllPlottable();
        const double low = std::min(scan.first.lowest, scan.second.lowest);
        const double high = std::max(scan.first.highest, scan.second.highest);
        if (!allPlottable) {
            for (const std::size_t last = std::max(end, i + 1); i < last; ++i) {
                addOne(pointOf(rows[i]));
            }
            continue;
        }
        if (low < open.low.point.gammaArea) {
            std::size_t at = i;
            while (pointOf(rows[at]).gammaArea != low) {
                ++at;
            }
            open.low = {pointOf(rows[at]), row + (at - i)};
        }
        if (high >= open.high.point.gammaArea) {
            std::size_t at = end - 1;
            while (pointOf(rows[at]).gammaArea != high) {
                --at;
            }
            open.high = {pointOf(rows[at]), row + (at - i)};
        }
        row += end - i;
        openRowsLeft -= end - i;
        i = end;
    }
    m_open = open;
    m_rows = row;
    m_openRowsLeft = openRowsLeft;
}
