#pragma once

#include <cstddef>
#include <cstdint>
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
    void Add(double frequencyHz, double gammaArea);

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

    // A bucket holding no row yet.
    static Bucket EmptyBucket();
    // Ends the open bucket and merges neighbours when the buckets are full.
    void CloseBucket();

    std::vector<Bucket> m_buckets;
    Bucket m_open = EmptyBucket();
    std::uint64_t m_rows = 0;
    std::uint64_t m_bucketRows = 2;
    std::uint64_t m_openRowsLeft = 2;
};
