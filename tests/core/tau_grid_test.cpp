#include "core/tau_grid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// `count` values from 10^`from`, `perDecade` a decade, each step stretched by `jitter`(i).
template <class Jitter>
std::vector<float> LogSpace(int count, double from, double perDecade, Jitter jitter) {
    std::vector<float> values;
    double exponent = from;
    for (int i = 0; i < count; ++i) {
        values.push_back(static_cast<float>(std::pow(10.0, exponent)));
        exponent += jitter(i) / perDecade;
    }
    return values;
}

TEST(TauGridTest, OnlyAnEvenLogGridOverADecadeRunsAsTauDoes) {
    const auto even = [](int) { return 1.0; };
    // An impedance measurement's frequencies: steps uneven by up to 40 %.
    const auto uneven = [](int i) { return i % 2 == 0 ? 0.7 : 1.3; };
    std::vector<float> descending = LogSpace(50, 2, 10, even);
    for (float& value : descending) {
        value = 1.0f / value;
    }
    std::vector<float> gaussian;
    for (int i = 0; i < 50; ++i) {
        gaussian.push_back(static_cast<float>(std::exp(-(i - 25) * (i - 25) / 50.0)));
    }
    std::vector<float> withZero = LogSpace(50, -6, 10, even);
    withZero[10] = 0.0f;
    std::vector<float> repeated = LogSpace(50, -6, 10, even);
    repeated[11] = repeated[10];
    const struct {
        const char* name;
        std::vector<float> values;
        bool grid;
    } cases[] = {
        {"logspace", LogSpace(81, -6, 10, even), true},
        {"descending", descending, true},
        {"uneven steps", LogSpace(40, -5, 8, uneven), true},
        {"eight rows", LogSpace(8, -6, 5, even), true},
        {"seven rows", LogSpace(7, -6, 4, even), false},
        {"under a decade", LogSpace(20, -6, 25, even), false},
        {"linear", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, false},
        {"a spectrum", gaussian, false},
        {"a zero", withZero, false},
        {"a repeated value", repeated, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RunsLikeTauGrid(c.values), c.grid) << c.name;
    }
}

}  // namespace
