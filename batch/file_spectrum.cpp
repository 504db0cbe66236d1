#include "batch/file_spectrum.h"

#include "analysis/summary_table.h"
#include "batch/file_table.h"
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

std::string SpectraSummary(const std::vector<FileSpectrum>& spectra, double area) {
    std::string table = SummaryHeader();
    for (const FileSpectrum& spectrum : spectra) {
        table += SummaryRow(spectrum.name, area, spectrum.figures);
    }
    return table;
}

std::vector<PlotCurve> SpectraCurves(const std::vector<FileSpectrum>& spectra) {
    std::vector<PlotCurve> curves;
    for (const FileSpectrum& spectrum : spectra) {
        const FileNameParts parts = InputFileFor(spectrum.name);
        curves.push_back({parts.name + parts.ext, spectrum.curve});
    }
    return curves;
}
