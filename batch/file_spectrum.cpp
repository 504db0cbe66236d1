#include "batch/file_spectrum.h"

#include "core/file_converter.h"

void SpectrumWatch::OnRows(const ConvertedRow* rows, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const double tau = static_cast<double>(rows[i].tau);
        const double gammaArea = static_cast<double>(rows[i].gammaArea);
        m_figures.Add(tau, gammaArea);
        m_curve.Add(K / tau, gammaArea);
    }
}

FileSpectrum SpectrumWatch::Spectrum(const std::string& name, const std::string& output) const {
    return {name, output, m_figures.Finish(), m_curve.Points()};
}
