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
        ++m_rows;
        // ln(τ / τ before) as a series around the last ratio whose log was taken: on the even log
        // grid of a DRT export the ratio varies only by the rounding of the printed τ. The bound
        // of the series also keeps the ratio on the same side of 1 as that one, so τ is still
        // strictly monotonic, positive and finite.
        const double u = tau / m_previousTau * m_inverseRatio - 1.0;
        const double square = u * u;
        if (!(square < m_seriesLimitSquared)) [[unlikely]] {
            AddUnusualRow(tau, gammaArea);
            return;
        }
        Advance(tau, gammaArea, m_logRatio + u - 0.5 * square);
    }

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

    // Adds the row of a valid τ, `step` the ln(τ / τ before).
    void Advance(double tau, double gammaArea, double step) {
        if (gammaArea * m_trend < m_previousGammaArea * m_trend) [[unlikely]] {
            Turn();
        }
        m_twiceIntegral += (gammaArea + m_previousGammaArea) * step;
        m_previousTau = tau;
        m_previousGammaArea = gammaArea;
    }

    void AddUnusualRow(double tau, double gammaArea);
    void Fail(const char* reason, std::size_t row);
    void Turn();
    void MakeRoom();

    std::size_t m_rows = 0;
    // ln(ratio) = m_logRatio + ln(1 + u), u = ratio × m_inverseRatio - 1, through the series
    // while u² < m_seriesLimitSquared.
    double m_inverseRatio = 0;
    double m_logRatio = 0;
    double m_seriesLimitSquared = 0;
    double m_previousTau = 1;
    // +1 while γ·A rises, -1 while it falls.
    double m_trend = 1;
    double m_previousGammaArea = 0;
    double m_twiceIntegral = 0;
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

// The figures in one line for the console: "R_pol 0.214; peaks at 1.23 kHz (0.0912), 35.1 Hz
// (0.0405)", each peak's share of R_pol in brackets, numbers to 3 significant figures;
// "R_pol 0.214; no peaks"; or "no figures: " and the reason.
std::string FiguresLine(const SpectrumFigures& figures);
