#include "plot/curve_sampler.h"

namespace {

constexpr std::size_t kMaxBuckets = kMaxCurvePoints / 2;

}  // namespace

CurveSampler::Bucket CurveSampler::EmptyBucket() {
    Bucket bucket;
    bucket.low.point.gammaArea = kInfinity;
    bucket.high.point.gammaArea = -kInfinity;
    return bucket;
}

std::uint64_t CurveSampler::CloseBucket(Bucket& open) {
    m_buckets.push_back(open);
    open = EmptyBucket();
    if (m_buckets.size() == kMaxBuckets) {
        for (std::size_t i = 0; i < kMaxBuckets / 2; ++i) {
            const Bucket& first = m_buckets[2 * i];
            const Bucket& second = m_buckets[2 * i + 1];
            // On a tie the earlier row stays.
            const Extreme low =
                second.low.point.gammaArea < first.low.point.gammaArea ? second.low : first.low;
            const Extreme high =
                second.high.point.gammaArea > first.high.point.gammaArea ? second.high : first.high;
            m_buckets[i] = {low, high};
        }
        m_buckets.resize(kMaxBuckets / 2);
        m_bucketRows *= 2;
    }
    return m_bucketRows;
}

std::vector<PlotPoint> CurveSampler::Points() const {
    std::vector<PlotPoint> points;
    points.reserve(2 * (m_buckets.size() + 1));
    const auto keep = [&points](const Bucket& bucket) {
        if (bucket.low.row == bucket.high.row) {
            points.push_back(bucket.low.point);
        } else if (bucket.low.row < bucket.high.row) {
            points.push_back(bucket.low.point);
            points.push_back(bucket.high.point);
        } else {
            points.push_back(bucket.high.point);
            points.push_back(bucket.low.point);
        }
    };
    for (const Bucket& bucket : m_buckets) {
        keep(bucket);
    }
    if (m_openRowsLeft != m_bucketRows) {
        keep(m_open);
    }
    return points;
}
