#pragma once

#include <string>
#include <vector>

#include "analysis/spectrum_figures.h"
#include "core/row_observer.h"
#include "plot/curve_sampler.h"
#include "plot/plot_layout.h"

// A converted file's spectrum: the file, its output, its figures and its curve thinned for a plot.
struct FileSpectrum {
    std::string name;
    std::string output;
    SpectrumFigures figures;
    std::vector<PlotPoint> curve;
};

// Watches a conversion's rows and gathers its spectrum in bounded memory.
class SpectrumWatch : public RowObserver {
  public:
    void OnRows(const ConvertedRow* rows, std::size_t count) override;

    // The spectrum of the rows seen, named `name`, written to `output`.
    FileSpectrum Spectrum(const std::string& name, const std::string& output) const;

  private:
    SpectrumFiguresBuilder m_figures;
    CurveSampler m_curve;
};

// The --summary table of `spectra`, converted at `area`: SummaryHeader, then a SummaryRow a file.
std::string SpectraSummary(const std::vector<FileSpectrum>& spectra, double area);

// The curves of `spectra` to plot, each named by its file's name without the folder.
std::vector<PlotCurve> SpectraCurves(const std::vector<FileSpectrum>& spectra);
