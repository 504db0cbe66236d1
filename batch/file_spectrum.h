#pragma once

#include <string>
#include <vector>

#include "analysis/spectrum_figures.h"
#include "core/row_observer.h"
#include "plot/curve_sampler.h"

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
