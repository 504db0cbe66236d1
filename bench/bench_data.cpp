#include "bench/bench_data.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <stdexcept>

namespace {

constexpr const char* kNotations[kNotationCount] = {
    "%.6e\t%.6e\r\n",
    "%g %g\r\n",
    "%.8E  %.8E\r\n",
    "%12.5e %12.5e\r\n",
};

// The DRTtools 2020 export's data lines, τ first, and the fixed inductance and resistance of its
// first two lines, which take nothing from the random sequence.
constexpr const char* kCommaTauFirstRow = "%e, %e \r\n";
constexpr double kInductance = 1.5e-7;
constexpr double kResistance = 12.5;

constexpr double kTwoPi = 6.283185307179586;
constexpr double kLowestDecade = -4.0;
constexpr double kHighestDecade = 1.0;
constexpr double kFirstTauDecade = -7.0;
constexpr double kTauDecades = 10.0;
constexpr double kNegativeShare = 0.2;
constexpr double kJitterDecades = 0.25;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// A uniform value in [0, 1) from 53 random bits.
double Uniform(std::mt19937_64& random) {
    return static_cast<double>(random() >> 11) * 0x1p-53;
}

// γ at `position` (0 to 1 along the file): a few smooth peaks in log τ with jitter, clamped to the
// magnitudes between 1e-4 and 10, and now and then negative as a regularised fit gives it.
double Gamma(double position, double phase, std::mt19937_64& random) {
    const double shape = 0.5 + 0.3 * std::sin(kTwoPi * (3.0 * position + phase)) +
                         0.2 * std::sin(kTwoPi * (7.0 * position + 2.0 * phase));
    double decade = kLowestDecade + (kHighestDecade - kLowestDecade) * shape +
                    kJitterDecades * (2.0 * Uniform(random) - 1.0);
    decade = std::fmin(kHighestDecade, std::fmax(kLowestDecade, decade));
    const double magnitude = std::pow(10.0, decade);
    return Uniform(random) < kNegativeShare ? -magnitude : magnitude;
}

}  // namespace

DrtFileShape MixedShape(long dataLines) {
    DrtFileShape shape;
    shape.dataLines = dataLines;
    shape.seed = 1;
    shape.firstNotation = 0;
    shape.notationRun = kMixedNotationRun;
    return shape;
}

DrtFileShape CommaShape(long dataLines) {
    DrtFileShape shape = MixedShape(dataLines);
    shape.notationRun = 0;
    shape.layout = DrtLayout::commaTauFirst;
    return shape;
}

DrtFileShape CommaTwinShape(long dataLines) {
    DrtFileShape shape = CommaShape(dataLines);
    shape.layout = DrtLayout::gammaTau;
    shape.firstNotation = 0;
    return shape;
}

const char* NotationFormat(int index) {
    const int wrapped = index % kNotationCount;
    return kNotations[wrapped < 0 ? wrapped + kNotationCount : wrapped];
}

DrtFileSize WriteDrtFile(const std::string& path, const DrtFileShape& shape) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (file == nullptr) {
        throw std::runtime_error("cannot create " + path);
    }
    std::mt19937_64 random(shape.seed);
    const double phase = Uniform(random);
    DrtFileSize size;
    char text[256];
    const auto put = [&](int length) {
        if (length < 0 || static_cast<std::size_t>(length) >= sizeof text ||
            std::fwrite(text, 1, static_cast<std::size_t>(length), file.get()) !=
                static_cast<std::size_t>(length)) {
            throw std::runtime_error("cannot write " + path);
        }
        size.bytes += static_cast<std::uint64_t>(length);
    };
    const bool commas = shape.layout == DrtLayout::commaTauFirst;
    if (commas) {
        put(std::snprintf(text, sizeof text, "L, %e\r\n", kInductance));
        put(std::snprintf(text, sizeof text, "R, %e\r\n", kResistance));
        put(std::snprintf(text, sizeof text, "tau, gamma(tau) \r\n"));
    } else {
        put(std::snprintf(text, sizeof text, "Distribution of relaxation times\r\n"));
        put(std::snprintf(text, sizeof text, "Points: %ld, regularisation: 1.0E-03\r\n",
                          shape.dataLines));
        put(std::snprintf(text, sizeof text, "gamma(tau)\ttau(s)\r\n"));
    }

    const double last = shape.dataLines > 1 ? static_cast<double>(shape.dataLines - 1) : 1.0;
    for (long i = 0; i < shape.dataLines; ++i) {
        const double position = static_cast<double>(i) / last;
        const double tau = std::pow(10.0, kFirstTauDecade + kTauDecades * position);
        const double gamma = Gamma(position, phase, random);
        if (commas) {
            put(std::snprintf(text, sizeof text, kCommaTauFirstRow, tau, gamma));
        } else {
            const long run = shape.notationRun > 0 ? i / shape.notationRun : 0;
            const int notation = shape.firstNotation + static_cast<int>(run % kNotationCount);
            put(std::snprintf(text, sizeof text, NotationFormat(notation), gamma, tau));
        }
        ++size.dataLines;
    }
    if (std::fclose(file.release()) != 0) {
        throw std::runtime_error("cannot write " + path);
    }
    return size;
}
