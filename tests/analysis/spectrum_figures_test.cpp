#include "analysis/spectrum_figures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "support/split_mix.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// 1 / (2 × 3.1415926): the frequency a converted table gives a row, so a peak's as well.
constexpr double kTableFrequency = 0.15915494580678602;

// `count` τ from 10^`from` s, `perDecade` a decade, printed and read back with 7 significant
// figures as a DRT export writes them.
std::vector<double> TauGrid(int count, double from, double perDecade) {
    std::vector<double> taus;
    for (int i = 0; i < count; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "%e", std::pow(10.0, from + i / perDecade));
        taus.push_back(std::strtod(text, nullptr));
    }
    return taus;
}

// A peak of area `area` in ln τ, centred on `tau`, `width` its standard deviation in ln τ.
struct Gaussian {
    double area;
    double tau;
    double width;

    double operator()(double t) const {
        const double x = (std::log(t) - std::log(tau)) / width;
        return area / (width * std::sqrt(2 * kPi)) * std::exp(-0.5 * x * x);
    }
    double Height() const { return area / (width * std::sqrt(2 * kPi)); }
};

SpectrumFigures FiguresOf(const std::vector<double>& taus, const std::vector<double>& gammas) {
    SpectrumFiguresBuilder builder;
    for (std::size_t i = 0; i < taus.size(); ++i) {
        builder.Add(taus[i], gammas[i]);
    }
    return builder.Finish();
}

double FrequencyOf(double tau) {
    return 1 / (2 * kPi * tau);
}

TEST(SpectrumFiguresTest, AGaussianIntegratesToItsAreaWhicheverWayTauRuns) {
    const Gaussian peak{0.214, 1e-3, 0.8};
    std::vector<double> taus = TauGrid(201, -7, 20);
    std::vector<double> gammas;
    for (const double tau : taus) {
        gammas.push_back(peak(tau));
    }
    for (const bool reversed : {false, true}) {
        if (reversed) {
            std::reverse(taus.begin(), taus.end());
            std::reverse(gammas.begin(), gammas.end());
        }
        const SpectrumFigures figures = FiguresOf(taus, gammas);
        EXPECT_EQ(figures.noFigures, "");
        EXPECT_EQ(figures.rows, 201u);
        EXPECT_NEAR(figures.rPol, peak.area, 0.005 * peak.area) << reversed;
        EXPECT_NEAR(figures.minFrequencyHz, FrequencyOf(1e3), 1e-6 * FrequencyOf(1e3));
        EXPECT_NEAR(figures.maxFrequencyHz, FrequencyOf(1e-7), 1e-6 * FrequencyOf(1e-7));
        ASSERT_EQ(figures.peaks.size(), 1u) << reversed;
        EXPECT_NEAR(figures.peaks[0].frequencyHz, FrequencyOf(peak.tau), 1e-5 * FrequencyOf(1e-3));
        EXPECT_NEAR(figures.peaks[0].rPol, figures.rPol, 1e-4 * peak.area);
    }
}

TEST(SpectrumFiguresTest, SeparatePeaksComeHighestFirstEachWithItsArea) {
    // The narrower peak is the higher one, though its area is the smaller.
    const Gaussian narrow{0.06, 1e-4, 0.3};
    const Gaussian broad{0.1, 1e-1, 0.8};
    const std::vector<double> taus = TauGrid(401, -8, 40);
    std::vector<double> gammas;
    for (const double tau : taus) {
        gammas.push_back(narrow(tau) + broad(tau));
    }
    const SpectrumFigures figures = FiguresOf(taus, gammas);
    ASSERT_EQ(figures.peaks.size(), 2u);
    EXPECT_NEAR(figures.peaks[0].frequencyHz, FrequencyOf(narrow.tau), 1e-4 * FrequencyOf(1e-4));
    EXPECT_NEAR(figures.peaks[1].frequencyHz, FrequencyOf(broad.tau), 1e-4 * FrequencyOf(1e-1));
    EXPECT_NEAR(figures.peaks[0].gammaArea, narrow.Height(), 1e-3 * narrow.Height());
    EXPECT_NEAR(figures.peaks[0].rPol, narrow.area, 0.01 * narrow.area);
    EXPECT_NEAR(figures.peaks[1].rPol, broad.area, 0.01 * broad.area);
    EXPECT_NEAR(figures.peaks[0].rPol + figures.peaks[1].rPol, figures.rPol, 1e-3 * figures.rPol);
}

TEST(SpectrumFiguresTest, NoiseBelowTheThresholdMakesNoPeakButASmallPeakAboveItStays) {
    const Gaussian main{1.0, 1e-3, 0.5};
    const Gaussian small{0.12, 1e1, 0.4};
    ASSERT_GT(small.Height(), 0.12 * main.Height());
    const std::vector<double> taus = TauGrid(20001, -7, 2000);
    SplitMix64 random(7);
    std::vector<double> gammas;
    for (const double tau : taus) {
        // At most ±2 % of the highest: no rise or fall of 5 %.
        const double noise = (static_cast<double>(random.Below(1001)) / 500 - 1) * 0.02;
        gammas.push_back(main(tau) + small(tau) + noise * main.Height());
    }
    const SpectrumFigures figures = FiguresOf(taus, gammas);
    ASSERT_EQ(figures.peaks.size(), 2u);
    EXPECT_NEAR(std::log(figures.peaks[0].frequencyHz / FrequencyOf(main.tau)), 0, 0.3);
    EXPECT_NEAR(std::log(figures.peaks[1].frequencyHz / FrequencyOf(small.tau)), 0, 0.3);
}

// The peaks of `gammas` over `taus`, each as its row and share, straight from their definition.
std::vector<std::pair<std::size_t, double>> PeaksByDefinition(const std::vector<double>& taus,
                                                              const std::vector<double>& gammas) {
    const std::size_t n = gammas.size();
    const double largest = *std::max_element(gammas.begin(), gammas.end());
    std::vector<std::size_t> peaks;
    for (std::size_t i = 1; i + 1 < n; ++i) {
        if (!(gammas[i] > gammas[i - 1] && gammas[i] > gammas[i + 1])) {
            continue;
        }
        double left = gammas[i - 1];
        for (std::size_t j = i; j-- > 0 && gammas[j] < gammas[i];) {
            left = std::min(left, gammas[j]);
        }
        double right = gammas[i + 1];
        for (std::size_t j = i + 1; j < n && gammas[j] <= gammas[i]; ++j) {
            right = std::min(right, gammas[j]);
        }
        if (gammas[i] - std::max(left, right) >= 0.05 * largest) {
            peaks.push_back(i);
        }
    }
    std::stable_sort(peaks.begin(), peaks.end(),
                     [&](std::size_t a, std::size_t b) { return gammas[a] > gammas[b]; });
    peaks.resize(std::min<std::size_t>(peaks.size(), 5));
    std::vector<std::size_t> inPlace = peaks;
    std::sort(inPlace.begin(), inPlace.end());
    const auto lowest = [&](std::size_t begin, std::size_t end) {
        return static_cast<std::size_t>(
            std::min_element(gammas.begin() + begin, gammas.begin() + end) - gammas.begin());
    };
    const auto integral = [&](std::size_t from, std::size_t to) {
        double sum = 0;
        for (std::size_t i = from + 1; i <= to; ++i) {
            sum += 0.5 * (gammas[i] + gammas[i - 1]) * std::fabs(std::log(taus[i] / taus[i - 1]));
        }
        return sum;
    };
    std::vector<std::pair<std::size_t, double>> found;
    for (const std::size_t peak : peaks) {
        const auto at = std::find(inPlace.begin(), inPlace.end(), peak);
        const std::size_t from = lowest(at == inPlace.begin() ? 0 : at[-1] + 1, peak);
        const std::size_t to = lowest(peak + 1, at + 1 == inPlace.end() ? n : at[1]);
        found.emplace_back(peak, integral(from, to));
    }
    return found;
}

TEST(SpectrumFiguresTest, StreamedPeaksAreThoseOfTheDefinitionOnRandomSpectra) {
    SplitMix64 random(2024);
    const auto uniform = [&random] { return static_cast<double>(random.Next() >> 11) * 0x1p-53; };
    for (int spectrum = 0; spectrum < 24; ++spectrum) {
        // The last ones open on thousands of small wiggles, more turning points than the builder
        // keeps, before their peaks rise.
        const bool wiggles = spectrum >= 20;
        const int count = wiggles ? 15000 : 3000;
        const int calm = wiggles ? 10000 : 0;
        std::vector<double> taus = TauGrid(count, -6, count / 10.0);
        std::vector<Gaussian> peaks;
        for (std::size_t k = 1 + random.Below(7); k > 0; --k) {
            const double tau = taus[calm + random.Below(count - calm)];
            peaks.push_back({(wiggles ? 0.5 : 0.0) + uniform(), tau, 0.05 + uniform()});
        }
        const double noise = wiggles ? 0.0 : 0.3 * uniform();
        std::vector<double> gammas;
        double walk = 0;
        for (int i = 0; i < count; ++i) {
            double gamma = 0;
            if (i < calm) {
                gamma = 0.002 * uniform();
            } else {
                walk = std::clamp(walk + noise * (uniform() - 0.5), -noise, noise);
                for (const Gaussian& peak : peaks) {
                    gamma += peak(taus[i]);
                }
                // Zero where negative, as a non-negative fit leaves it.
                gamma = std::max(0.0, gamma + walk);
            }
            gammas.push_back(gamma);
        }
        if (spectrum % 2 == 1) {
            std::reverse(taus.begin(), taus.end());
            std::reverse(gammas.begin(), gammas.end());
        }
        const SpectrumFigures figures = FiguresOf(taus, gammas);
        const auto expected = PeaksByDefinition(taus, gammas);
        ASSERT_EQ(figures.peaks.size(), expected.size()) << spectrum;
        for (std::size_t k = 0; k < expected.size(); ++k) {
            const auto [row, share] = expected[k];
            EXPECT_EQ(figures.peaks[k].frequencyHz, kTableFrequency / taus[row]) << spectrum;
            EXPECT_EQ(figures.peaks[k].gammaArea, gammas[row]) << spectrum;
            EXPECT_NEAR(figures.peaks[k].rPol, share, 1e-9 * figures.rPol) << spectrum;
        }
    }
}

TEST(SpectrumFiguresTest, TooFewRowsOrATauNotStrictlyMonotonicGiveNoFigures) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    const std::vector<double> grid = TauGrid(10, -3, 1);
    const struct {
        std::vector<double> taus;
        const char* reason;
        // γ·A, or 1 in every row.
        std::vector<double> gammas = {};
    } cases[] = {
        {{1e-3, 1e-2}, "fewer than 3 rows"},
        {{1e-3, 1e-2, 1e-2, 1e-1}, "τ is not strictly monotonic at row 3"},
        {{1e-3, 1e-2, 1e-1, 5e-2}, "τ is not strictly monotonic at row 4"},
        // A step back smaller than the steps of a fine grid.
        {{1.0, 1.00001, 1.00002, 1.00003, 1.000025}, "τ is not strictly monotonic at row 5"},
        {{1e-1, 1e-2, 0.0, -1e-3}, "τ is not positive at row 3"},
        {{1e-3, 1e-2, nan, 1e-1}, "τ is not finite at row 3"},
        // γ times the area overflowed, in the rows that set the grid and in those that follow it.
        {{1e-3, 1e-2, 1e-1}, "γ·A is not finite at row 2", {1.0, infinity, 1.0}},
        {grid, "γ·A is not finite at row 6", {1, 2, 3, 4, 5, nan, 4, 3, 2, 1}},
        {grid, "γ·A is not finite at row 6", {1, 2, 3, 4, 5, infinity, 4, 3, 2, 1}},
    };
    for (const auto& c : cases) {
        const SpectrumFigures figures = FiguresOf(
            c.taus, c.gammas.empty() ? std::vector<double>(c.taus.size(), 1.0) : c.gammas);
        EXPECT_EQ(figures.noFigures, c.reason);
        EXPECT_EQ(figures.rows, c.taus.size());
        EXPECT_EQ(FiguresLine(figures), std::string("No figures: ") + c.reason);
    }
}

TEST(SpectrumFiguresTest, TheLineGivesThreeFiguresAndAnSIPrefixToEachNumber) {
    SpectrumFigures figures;
    figures.rPol = 0.21449;
    figures.peaks = {{1234.5, 1, 0.091249},
                     {35.06, 1, 0.04},
                     {999.7, 1, 2.5e-5},
                     {0.012345, 1, 12.5},
                     {3.2e-6, 1, 1}};
    EXPECT_EQ(FiguresLine(figures),
              "R_pol 0.214; peaks at 1.23 kHz (0.0912), 35.1 Hz (0.0400), 1.00 kHz (2.50e-05), "
              "12.3 mHz (12.5), 3.20 \u00b5Hz (1.00)");
    figures.peaks.clear();
    EXPECT_EQ(FiguresLine(figures), "R_pol 0.214; no peaks");
}

}  // namespace
