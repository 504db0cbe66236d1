#include "analysis/spectrum_figures.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

// 1 / (2 × 3.1415926), the frequency constant of the converted tables, so that a peak's
// frequency is the one its row shows there.
constexpr double kFrequencyConstant = 0.15915494580678602;

// A peak's prominence must reach this share of the largest γ·A.
constexpr double kProminenceShare = 0.05;

// Where ln(1 + u) ≈ u - u²/2 serves: its error, below |u|³/3, stays under 8e-14.
constexpr double kSeriesLimit = 1.0 / 16384;

// The turning points kept before MakeRoom() thins them out, and the room first made for them.
constexpr std::size_t kMaxExtrema = 4096;
constexpr std::size_t kFirstExtrema = 64;

constexpr double kInfinity = std::numeric_limits<double>::infinity();

double Frequency(double tau) {
    return kFrequencyConstant / tau;
}

// `value` to 3 significant figures, trailing zeros kept: "0.214", "1.00", "1.23e-05".
std::string Significant(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%#.3g", value);
    return text;
}

// `hertz` to 3 significant figures with the SI prefix that puts it in [1, 1000): "1.23 kHz".
std::string FrequencyText(double hertz) {
    if (!(hertz > 0) || !(hertz <= DBL_MAX)) {
        return Significant(hertz) + " Hz";
    }
    // Rounded first, so that 999.7 Hz becomes 1.00 kHz: "d.dde±x".
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.2e", hertz);
    const int exponent = std::atoi(std::strchr(digits, 'e') + 1);
    const int group = (exponent >= 0 ? exponent : exponent - 2) / 3;
    static constexpr std::array<const char*, 6> kPrefixes = {"\u00b5", "m", "", "k", "M", "G"};
    if (group < -2 || group > 3) {
        return Significant(hertz) + " Hz";
    }
    std::string text = {digits[0], digits[2], digits[3]};
    const int integerDigits = exponent - 3 * group + 1;
    if (integerDigits < 3) {
        text.insert(static_cast<std::size_t>(integerDigits), 1, '.');
    }
    return text + " " + kPrefixes[static_cast<std::size_t>(group + 2)] + "Hz";
}

}  // namespace

// The first row, a row whose ratio of τ to the one before changed, or a row after a failure.
void SpectrumFiguresBuilder::AddUnusualRow(double tau, double gammaArea) {
    if (!m_failure.empty()) {
        return;
    }
    if (!std::isfinite(tau)) {
        Fail("τ is not finite", m_stream.rows);
        return;
    }
    if (!(tau > 0.0)) {
        Fail("τ is not positive", m_stream.rows);
        return;
    }
    if (!std::isfinite(gammaArea)) {
        Fail("γ·A is not finite", m_stream.rows);
        return;
    }
    if (m_stream.rows == 1) {
        m_firstTau = tau;
        m_stream.previousTau = tau;
        m_stream.previousGammaArea = gammaArea;
        m_largest = gammaArea;
        m_threshold = kProminenceShare * gammaArea;
        m_extrema.resize(kFirstExtrema);
        m_room = kFirstExtrema;
        m_extrema[0] = {gammaArea, tau, 0.0};
        m_count = 1;
        m_stream.candidate = {gammaArea, tau, 0.0, 1};
        m_stream.threshold = m_threshold;
        m_stream.opposite = gammaArea;
        return;
    }
    const bool up = tau > m_stream.previousTau;
    if (m_stream.rows == 2) {
        m_increasing = up;
    }
    if (tau == m_stream.previousTau || up != m_increasing) {
        Fail("τ is not strictly monotonic", m_stream.rows);
        return;
    }
    const double ratio = tau / m_stream.previousTau;
    double step;
    if (ratio > 0.0 && ratio <= DBL_MAX && ratio != 1.0) {
        step = std::log(ratio);
        m_stream.logRatio = step;
        m_stream.inverseRatio = 1.0 / ratio;
        // A quarter of the way to a ratio of 1, so that rounding cannot carry one across it.
        const double margin = 0.25 * std::fabs(1.0 - m_stream.inverseRatio);
        const double limit = margin < 1e-12 ? 0.0 : std::min(kSeriesLimit, margin);
        m_stream.seriesLimitSquared = limit * limit;
    } else {
        // τ spans more than the range of a double, or two neighbours differ by an ulp.
        step = std::log(tau) - std::log(m_stream.previousTau);
    }
    Advance(tau, gammaArea, step);
}

void SpectrumFiguresBuilder::Advance(double tau, double gammaArea, double step) {
    Stream& stream = m_stream;
    stream.twiceIntegral += (gammaArea + stream.previousGammaArea) * step;
    stream.previousTau = tau;
    stream.previousGammaArea = gammaArea;
    const Move move = stream.trend > 0 ? MoveOf<1>(gammaArea, stream.rows, stream.candidate,
                                                   stream.threshold, stream.opposite)
                                       : MoveOf<-1>(gammaArea, stream.rows, stream.candidate,
                                                    stream.threshold, stream.opposite);
    if (move == Move::takesItsPlace) {
        stream.candidate = {gammaArea, tau, stream.twiceIntegral, stream.rows};
    } else if (move == Move::makesItATurn) {
        KeepCandidate();
    }
}

void SpectrumFiguresBuilder::Fail(const char* reason, std::size_t row) {
    if (m_failure.empty()) {
        m_failure = std::string(reason) + " at row " + std::to_string(row);
    }
    m_stream.seriesLimitSquared = 0.0;
}

// The turning points kept obey one invariant: every maximum whose prominence in the whole
// spectrum can reach kProminenceShare of its largest γ·A is kept with its prominence, and so is,
// between any two kept turning points, the first of the lowest points, with its integral.
//
// The rows come to them through a candidate (MoveOf): γ·A starts as if falling, from the first
// row, and the candidate is the lowest row since then (the last row of a flat bottom, the first
// of two separate equal ones); when a row rises above it by at least the threshold, it is kept as
// a minimum and the candidate becomes the highest row from there on, and so on by turns. Every
// row between two kept turning points then lies within the threshold of the range between them,
// so a maximum passed over cannot reach the threshold's prominence, and each kept minimum is the
// lowest between the maxima beside it. Append cancels below the same share of the largest γ·A so
// far, which only grows, so no maximum it cancels could have reached the final threshold either.
// Only in a spectrum that keeps kMaxExtrema turning points even so (strong noise, or a crafted
// file) does MakeRoom() drop the less prominent half of them, and from then on Append also
// cancels below the prominence of the dropped ones (m_floor), so that memory stays bounded and
// noise cheap: such a spectrum may lose its less prominent peaks.
void SpectrumFiguresBuilder::KeepCandidate() {
    const Candidate& candidate = m_stream.candidate;
    // An infinite or NaN γ·A (an overflow of γ times the area) leaves no R_pol to share, and kept
    // among the turning points it would upset the comparisons that rank them.
    if (!std::isfinite(candidate.gammaArea)) {
        Fail("γ·A is not finite", candidate.row);
        return;
    }
    if (!std::isfinite(m_stream.previousGammaArea)) {
        Fail("γ·A is not finite", m_stream.rows);
        return;
    }
    if (candidate.row != 1) {
        Keep({candidate.gammaArea, candidate.tau, candidate.twiceIntegral});
    }
    m_stream.opposite = candidate.gammaArea;
    m_stream.trend = -m_stream.trend;
    m_stream.candidate = {m_stream.previousGammaArea, m_stream.previousTau, m_stream.twiceIntegral,
                          m_stream.rows};
    m_stream.threshold = m_threshold;
}

void SpectrumFiguresBuilder::Keep(const Extremum& extremum) {
    if (extremum.gammaArea > m_largest) {
        m_largest = extremum.gammaArea;
        m_threshold = std::max(kProminenceShare * extremum.gammaArea, m_floor);
    }
    if (m_count == m_room) {
        MakeRoom();
    }
    m_count = Append(m_extrema.data(), m_count, extremum, m_threshold);
}

// Appends the turning point d after the `count` ones (with room for one more), whose last three
// are a, b and c, first cancelling two of them, again and again, while the rise or fall between b
// and c is below `threshold` and the maximum of the two meets higher ground just beyond the other
// minimum. For b the maximum: when d is higher than b and a no higher than c, b and c go. For c
// the maximum: when a is as high as c (and earlier) and d no higher than b, c goes with b, or with
// d when they are equal. The cancelled maximum descends only to its neighbour minimum before
// higher ground, so its prominence is below `threshold`. Every other maximum keeps its
// prominence: a search for higher ground that passed where the two were still passes a kept
// minimum as low, and meets the same higher ground. And between any two kept turning points the
// first of the lowest is still kept. Returns the new count.
inline std::size_t SpectrumFiguresBuilder::Append(Extremum* points, std::size_t count,
                                                  const Extremum& extremum, double threshold) {
    const double d = extremum.gammaArea;
    while (count >= 3) {
        const double a = points[count - 3].gammaArea;
        const double b = points[count - 2].gammaArea;
        const double c = points[count - 1].gammaArea;
        if (b > c ? !(a <= c && d > b && b - c < threshold)
                  : !(a >= c && d <= b && c - b < threshold)) {
            break;
        }
        if (b < c && d == b) {
            return count - 1;
        }
        count -= 2;
    }
    points[count] = extremum;
    return count + 1;
}

// Makes room for another turning point: doubles the room up to kMaxExtrema; then cancels what the
// present threshold allows over all the turning points (it may have grown since they came), and
// when more than three quarters of kMaxExtrema remain, drops the less prominent half of the maxima
// and raises m_floor to their prominence.
void SpectrumFiguresBuilder::MakeRoom() {
    if (m_room < kMaxExtrema) {
        m_room = std::min(2 * m_room, kMaxExtrema);
        m_extrema.resize(m_room);
        return;
    }
    std::vector<Extremum> points(kMaxExtrema);
    std::size_t count = 0;
    for (std::size_t i = 0; i < m_count; ++i) {
        count = Append(points.data(), count, m_extrema[i], m_threshold);
    }
    points.resize(count);
    if (count > kMaxExtrema / 4 * 3) {
        m_floor = std::max(m_floor, DropLeastProminentHalf(points));
        m_threshold = std::max(m_threshold, m_floor);
    }
    m_count = points.size();
    points.resize(kMaxExtrema);
    m_extrema = std::move(points);
}

// The prominence of each maximum between the first and the last of `points`, which alternate
// between maxima and minima; -infinity for the others. An earlier maximum as high is higher
// ground, a later one is not, so that of two equal peaks the first has the full prominence.
std::vector<double> SpectrumFiguresBuilder::Prominences(const std::vector<Extremum>& points) {
    const std::size_t n = points.size();
    struct Ground {
        double height;
        // The lowest value between this point and the next one up the stack, or the newest.
        double low;
    };
    std::vector<Ground> stack;
    // For each point, the lowest value before it up to higher ground, then beyond it.
    std::vector<double> leftBase(n);
    std::vector<double> prominence(n, -kInfinity);
    // The lowest value before the bottom of the stack.
    double bottomLow = kInfinity;
    for (std::size_t i = 0; i < n; ++i) {
        const double height = points[i].gammaArea;
        double low = kInfinity;
        while (!stack.empty() && stack.back().height < height) {
            low = std::min({low, stack.back().height, stack.back().low});
            stack.pop_back();
        }
        if (stack.empty()) {
            bottomLow = std::min(bottomLow, low);
            leftBase[i] = bottomLow;
        } else {
            stack.back().low = std::min(stack.back().low, low);
            leftBase[i] = stack.back().low;
        }
        stack.push_back({height, kInfinity});
    }
    stack.clear();
    bottomLow = kInfinity;
    for (std::size_t i = n; i-- > 0;) {
        const double height = points[i].gammaArea;
        double low = kInfinity;
        while (!stack.empty() && stack.back().height <= height) {
            low = std::min({low, stack.back().height, stack.back().low});
            stack.pop_back();
        }
        double rightBase;
        if (stack.empty()) {
            bottomLow = std::min(bottomLow, low);
            rightBase = bottomLow;
        } else {
            stack.back().low = std::min(stack.back().low, low);
            rightBase = stack.back().low;
        }
        stack.push_back({height, kInfinity});
        if (i > 0 && i + 1 < n && height > points[i - 1].gammaArea &&
            height > points[i + 1].gammaArea) {
            prominence[i] = height - std::max(leftBase[i], rightBase);
        }
    }
    return prominence;
}

// Drops the less prominent half of the maxima between the first and the last of `points`, each
// with the higher of the minima beside it, so that the lowest value between the others stays;
// returns the greatest prominence dropped.
double SpectrumFiguresBuilder::DropLeastProminentHalf(std::vector<Extremum>& points) {
    const std::vector<double> prominence = Prominences(points);
    std::vector<std::size_t> maxima;
    for (std::size_t i = 1; i + 1 < points.size(); ++i) {
        if (prominence[i] > -kInfinity) {
            maxima.push_back(i);
        }
    }
    const auto lessProminent = [&](std::size_t left, std::size_t right) {
        return prominence[left] < prominence[right] ||
               (prominence[left] == prominence[right] && left > right);
    };
    const std::size_t dropped = maxima.size() / 2;
    std::nth_element(maxima.begin(), maxima.begin() + static_cast<std::ptrdiff_t>(dropped),
                     maxima.end(), lessProminent);
    std::vector<bool> drop(points.size(), false);
    double greatest = -kInfinity;
    for (std::size_t k = 0; k < dropped; ++k) {
        drop[maxima[k]] = true;
        greatest = std::max(greatest, prominence[maxima[k]]);
    }
    std::vector<Extremum> kept;
    kept.reserve(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!drop[i]) {
            kept.push_back(points[i]);
            continue;
        }
        ++i;
        if (points[i].gammaArea < kept.back().gammaArea) {
            kept.back() = points[i];
        }
    }
    points = std::move(kept);
    return greatest;
}

SpectrumFigures SpectrumFiguresBuilder::Finish() const {
    SpectrumFigures figures;
    figures.rows = m_stream.rows;
    if (m_stream.rows < 3) {
        figures.noFigures = "fewer than 3 rows";
        return figures;
    }
    if (!m_failure.empty()) {
        figures.noFigures = m_failure;
        return figures;
    }
    if (!std::isfinite(m_stream.twiceIntegral)) {
        figures.noFigures = "R_pol is not finite";
        return figures;
    }
    // Twice the integral, over ln τ as it runs in the file.
    const double half = m_increasing ? 0.5 : -0.5;
    figures.rPol = half * m_stream.twiceIntegral;
    figures.minFrequencyHz = Frequency(std::max(m_firstTau, m_stream.previousTau));
    figures.maxFrequencyHz = Frequency(std::min(m_firstTau, m_stream.previousTau));

    std::vector<Extremum> points(m_extrema.begin(),
                                 m_extrema.begin() + static_cast<std::ptrdiff_t>(m_count));
    // The candidate is a turning point too, unless it is the first row or the last.
    const Candidate& candidate = m_stream.candidate;
    if (candidate.row != 1 && candidate.row != m_stream.rows) {
        points.push_back({candidate.gammaArea, candidate.tau, candidate.twiceIntegral});
    }
    points.push_back({m_stream.previousGammaArea, m_stream.previousTau, m_stream.twiceIntegral});
    const std::vector<double> prominence = Prominences(points);
    const double threshold =
        kProminenceShare * std::max({m_largest, candidate.gammaArea, m_stream.previousGammaArea});
    std::vector<std::size_t> peaks;
    for (std::size_t i = 1; i + 1 < points.size(); ++i) {
        if (prominence[i] > -kInfinity && prominence[i] >= threshold) {
            peaks.push_back(i);
        }
    }
    // The highest first; of equal ones the earlier.
    const auto higher = [&](std::size_t left, std::size_t right) {
        return points[left].gammaArea > points[right].gammaArea ||
               (points[left].gammaArea == points[right].gammaArea && left < right);
    };
    const std::size_t count = std::min(peaks.size(), kMaxPeaks);
    std::partial_sort(peaks.begin(), peaks.begin() + static_cast<std::ptrdiff_t>(count),
                      peaks.end(), higher);
    peaks.resize(count);

    // Each peak's share runs between the lowest points (the first of equal ones) that part it from
    // the peaks beside it, or from the spectrum's ends.
    std::vector<std::size_t> inPlace = peaks;
    std::sort(inPlace.begin(), inPlace.end());
    const auto lowest = [&](std::size_t begin, std::size_t end) {
        std::size_t found = begin;
        for (std::size_t i = begin + 1; i < end; ++i) {
            if (points[i].gammaArea < points[found].gammaArea) {
                found = i;
            }
        }
        return found;
    };
    std::vector<std::size_t> bounds;
    bounds.push_back(inPlace.empty() ? 0 : lowest(0, inPlace[0]));
    for (std::size_t k = 0; k < inPlace.size(); ++k) {
        const std::size_t end = k + 1 < inPlace.size() ? inPlace[k + 1] : points.size();
        bounds.push_back(lowest(inPlace[k] + 1, end));
    }
    for (const std::size_t peak : peaks) {
        const std::size_t k = static_cast<std::size_t>(
            std::lower_bound(inPlace.begin(), inPlace.end(), peak) - inPlace.begin());
        const double share =
            half * (points[bounds[k + 1]].twiceIntegral - points[bounds[k]].twiceIntegral);
        figures.peaks.push_back({Frequency(points[peak].tau), points[peak].gammaArea, share});
    }
    return figures;
}

std::string FiguresLine(const SpectrumFigures& figures) {
    if (!figures.noFigures.empty()) {
        return "No figures: " + figures.noFigures;
    }
    std::string line = "R_pol " + Significant(figures.rPol);
    if (figures.peaks.empty()) {
        return line + "; no peaks";
    }
    line += "; peaks at ";
    for (std::size_t i = 0; i < figures.peaks.size(); ++i) {
        if (i > 0) {
            line += ", ";
        }
        line += FrequencyText(figures.peaks[i].frequencyHz) + " (" +
                Significant(figures.peaks[i].rPol) + ")";
    }
    return line;
}
