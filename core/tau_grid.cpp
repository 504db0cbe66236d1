#include "core/tau_grid.h"

#include <cmath>

bool RunsLikeTauGrid(const std::vector<float>& values) {
    const std::size_t count = values.size();
    if (count < kMinGridRows) {
        return false;
    }
    for (const float value : values) {
        // Also false for NaN.
        if (!(value > 0.0f) || !std::isfinite(value)) {
            return false;
        }
    }
    const double span = std::log(static_cast<double>(values.back()) / values.front());
    if (!(std::fabs(span) >= std::log(10.0))) {
        return false;
    }
    const double mean = span / static_cast<double>(count - 1);
    for (std::size_t i = 1; i < count; ++i) {
        const double step = std::log(static_cast<double>(values[i]) / values[i - 1]);
        if (!(std::fabs(step - mean) <= 0.5 * std::fabs(mean))) {
            return false;
        }
    }
    return true;
}
