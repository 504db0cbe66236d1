#include "batch/file_spectrum.h"

#include "analysis/summary_table.h"
#include "batch/file_table.h"
#include "core/file_converter.h"

void SpectrumWatch::OnRows(const ConvertedRow* rows, std::size_t count) {
    m_figures.AddRows(rows, count, [](const ConvertedRow& row) {
        return SpectrumRow{static_cast<double>(row.tau), static_cast<double>(row.gammaArea)};
    });
    // The curve is thinned over τ, which orders the rows as their frequencies do and is
    // positive and finite where they are, so that no row costs a division.
    m_curve.AddRows(rows, count, [](const ConvertedRow& row) {
        return PlotPoint{static_cast<double>(row.tau), static_cast<double>(row.gammaArea)};
    });
}

FileSpectrum SpectrumWatch::Spectrum(const std::string& name, const std::string& output) const {
    std::vector<PlotPoint> curve = m_curve.Points();
    for (PlotPoint& point : curve) {
        point.frequencyHz = K / point.frequencyHz;
    }
    return {name, output, m_figures.Finish(), std::move(curve)};
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
