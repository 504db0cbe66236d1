#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

// The most peaks a spectrum's figures name.
inline constexpr std::size_t kMaxPeaks = 5;

// A peak of γ·A: the frequency 1/(2πτ) of its highest row, that row's γ·A, and its share of
// R_pol, the integral of γ·A over ln τ between the lowest points on either side of it.
struct Peak {
    double frequencyHz = 0;
    double gammaArea = 0;
    double rPol = 0;
};

// A converted row as the figures take it: τ in seconds and γ·A.
struct SpectrumRow {
    double tau;
    double gammaArea;
};

// What a converted file's spectrum shows. When noFigures holds a reason, only rows is set.
struct SpectrumFigures {
    std::size_t rows = 0;
    double minFrequencyHz = 0;
    double maxFrequencyHz = 0;
    double rPol = 0;
    std::vector<Peak> peaks;
    std::string noFigures;
};

// Gathers the figures of a spectrum row by row, in memory bounded whatever the number of rows (a
// spectrum of thousands of noise peaks that all reach the threshold may lose the least prominent).
// R_pol is the trapezoid integral of γ·A over ln τ, positive for a positive γ·A whichever way τ
// runs. Peaks are the rows above both neighbours (the last row of a flat top; the first and last
// rows are none) whose prominence is at least 5 % of the largest γ·A, at most kMaxPeaks of them,
// the highest first.
class SpectrumFiguresBuilder {
  public:
    // Takes the next converted row, in file order: its τ in seconds and its γ·A.
    void Add(double tau, double gammaArea) {
        const SpectrumRow row{tau, gammaArea};
        AddRows(&row, 1, [](const SpectrumRow& each) { return each; });
    }

    // Takes the next `count` rows in file order, each as the SpectrumRow `rowOf(row)`, as Add
    // takes them one by one.
    template <class Row, class RowOf>
    void AddRows(const Row* rows, std::size_t count, RowOf rowOf);

    // The figures of the rows added so far: none for fewer than 3 rows, or when τ is not
    // strictly monotonic, positive and finite, or R_pol is not finite.
    SpectrumFigures Finish() const;

  private:
    // A turning point of γ·A, with twice the integral from the first row up to it.
    struct Extremum {
        double gammaArea;
        double tau;
        double twiceIntegral;
    };

    static std::size_t Append(Extremum* points, std::size_t count, const Extremum& extremum,
                              double threshold);
    static std::vector<double> Prominences(const std::vector<Extremum>& points);
    static double DropLeastProminentHalf(std::vector<Extremum>& points);

    // The row that may become the next turning point kept: the highest since the last one kept
    // while γ·A rises, the lowest while it falls, its row numbered from 1.
    struct Candidate {
        double gammaArea;
        double tau;
        double twiceIntegral;
        std::size_t row;
    };

    // What every row reads and changes, kept in locals while a batch of rows streams through.
    struct Stream {
        std::size_t rows = 0;
        // ln(ratio) = logRatio + ln(1 + u), u = ratio × inverseRatio - 1, through the series
        // while u² < seriesLimitSquared.
        double inverseRatio = 0;
        double logRatio = 0;
        double seriesLimitSquared = 0;
        double previousTau = 1;
        double previousGammaArea = 0;
        double twiceIntegral = 0;
        // +1 while the candidate is a maximum, -1 while it is a minimum.
        int trend = -1;
        Candidate candidate{0, 0, 0, 0};
        // A copy of m_threshold.
        double threshold = 0;
        // The γ·A of the turning point kept last, or of the first row.
        double opposite = 0;
    };

    // What a row does to the candidate.
    enum class Move { takesItsPlace, makesItATurn, passes };

    // The Move of the row `row` of γ·A `gammaArea` with the candidate `candidate` a maximum
    // (kTrend +1) or a minimum (-1). A row beyond the candidate takes its place, and so does the
    // next row of a flat stretch but for the first row, which is a turning point already. A row
    // back from it by `threshold`, or past `opposite`, the γ·A of the turning point kept last
    // (the threshold may have grown since), makes it a turning point.
    template <int kTrend>
    static Move MoveOf(double gammaArea, std::size_t row, const Candidate& candidate,
                       double threshold, double opposite) {
        const double beyond =
            kTrend > 0 ? gammaArea - candidate.gammaArea : candidate.gammaArea - gammaArea;
        if (beyond > 0.0 || (beyond == 0.0 && candidate.row + 1 == row && candidate.row != 1)) {
            return Move::takesItsPlace;
        }
        const bool past = kTrend > 0 ? gammaArea < opposite : gammaArea > opposite;
        return !(-beyond < threshold) || past ? Move::makesItATurn : Move::passes;
    }

    // Adds the rows from `first` on while the candidate stays a maximum (kTrend +1) or a minimum
    // (-1) and the ratio of τ to the one before stays; returns the index of the next row.
    template <int kTrend, class Row, class RowOf>
    std::size_t AddRun(const Row* rows, std::size_t first, std::size_t count, RowOf rowOf);

    // Adds the row of a valid τ, `step` the ln(τ / τ before).
    void Advance(double tau, double gammaArea, double step);

    void AddUnusualRow(double tau, double gammaArea);
    void Fail(const char* reason, std::size_t row);
    void KeepCandidate();
    void Keep(const Extremum& extremum);
    void MakeRoom();

    Stream m_stream;
    double m_firstTau = 0;
    bool m_increasing = true;
    double m_largest = 0;
    // Below it Append cancels as well, once memory ran short.
    double m_floor = -std::numeric_limits<double>::infinity();
    // Append's threshold: kProminenceShare of m_largest, or m_floor.
    double m_threshold = 0;
    // The turning points so far are the first m_count of the m_room.
    std::vector<Extremum> m_extrema;
    std::size_t m_count = 0;
    std::size_t m_room = 0;
    std::string m_failure;
};

template <class Row, class RowOf>
void SpectrumFiguresBuilder::AddRows(const Row* rows, std::size_t count, RowOf rowOf) {
    std::size_t next = 0;
    while (next < count && m_failure.empty()) {
        next = m_stream.trend > 0 ? AddRun<1>(rows, next, count, rowOf)
                                  : AddRun<-1>(rows, next, count, rowOf);
    }
    // Only the rows are counted once the spectrum can have no figures.
    m_stream.rows += count - next;
}

template <int kTrend, class Row, class RowOf>
std::size_t SpectrumFiguresBuilder::AddRun(const Row* rows, std::size_t first, std::size_t count,
                                           RowOf rowOf) {
    // The state every row reads and changes stays in locals, out of memory, while the rows
    // stream through.
    std::size_t number = m_stream.rows;
    const double inverseRatio = m_stream.inverseRatio;
    const double logRatio = m_stream.logRatio;
    const double seriesLimitSquared = m_stream.seriesLimitSquared;
    const double threshold = m_stream.threshold;
    const double opposite = m_stream.opposite;
    double previousTau = m_stream.previousTau;
    double previousGammaArea = m_stream.previousGammaArea;
    double twiceIntegral = m_stream.twiceIntegral;
    Candidate candidate = m_stream.candidate;
    const auto store = [&] {
        m_stream.rows = number;
        m_stream.previousTau = previousTau;
        m_stream.previousGammaArea = previousGammaArea;
        m_stream.twiceIntegral = twiceIntegral;
        m_stream.candidate = candidate;
    };
    for (std::size_t i = first; i < count; ++i) {
        const SpectrumRow row = rowOf(rows[i]);
        ++number;
        // ln(τ / τ before) as a series around the last ratio whose log was taken: on the even log
        // grid of a DRT export the ratio varies only by the rounding of the printed τ. The bound
        // of the series also keeps the ratio on the same side of 1 as that one, so τ is still
        // strictly monotonic, positive and finite.
        const double u = row.tau / previousTau * inverseRatio - 1.0;
        const double square = u * u;
        if (!(square < seriesLimitSquared)) [[unlikely]] {
            store();
            AddUnusualRow(row.tau, row.gammaArea);
            return i + 1;
        }
        twiceIntegral += (row.gammaArea + previousGammaArea) * (logRatio + u - 0.5 * square);
        previousTau = row.tau;
        previousGammaArea = row.gammaArea;
        const Move move = MoveOf<kTrend>(row.gammaArea, number, candidate, threshold, opposite);
        if (move == Move::takesItsPlace) {
            candidate = {row.gammaArea, row.tau, twiceIntegral, number};
        } else if (move == Move::makesItATurn) [[unlikely]] {
            store();
            KeepCandidate();
            return i + 1;
        }
    }
    store();
    return count;
}

// The figures in one line for the console: "R_pol 0.214; peaks at 1.23 kHz (0.0912), 35.1 Hz
// (0.0405)", each peak's share of R_pol in brackets, numbers to 3 significant figures;
// "R_pol 0.214; no peaks"; or "no figures: " and the reason.
std::string FiguresLine(const SpectrumFigures& figures);
