#include "analysis/summary_table.h"

#include <cstdio>

#include "analysis/csv_text.h"

namespace {

// `value` to 9 significant figures, the C locale's point as decimal sign.
std::string Cell(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

}  // namespace

std::string SummaryHeader() {
    std::string header = "file,rows,f_min_Hz,f_max_Hz,area,R_pol";
    for (std::size_t i = 1; i <= kMaxPeaks; ++i) {
        const std::string peak = ",peak" + std::to_string(i);
        header += peak + "_f_Hz" + peak + "_gamma_area" + peak + "_R_pol";
    }
    return header + "\n";
}

std::string SummaryRow(const std::string& file, double area, const SpectrumFigures& figures) {
    const bool valid = figures.noFigures.empty();
    std::string row = CsvText(file);
    const auto add = [&row](const std::string& cell) {
        row += ',';
        row += cell;
    };
    add(std::to_string(figures.rows));
    add(valid ? Cell(figures.minFrequencyHz) : std::string());
    add(valid ? Cell(figures.maxFrequencyHz) : std::string());
    add(Cell(area));
    add(valid ? Cell(figures.rPol) : std::string());
    for (std::size_t i = 0; i < kMaxPeaks; ++i) {
        const bool shown = valid && i < figures.peaks.size();
        add(shown ? Cell(figures.peaks[i].frequencyHz) : std::string());
        add(shown ? Cell(figures.peaks[i].gammaArea) : std::string());
        add(shown ? Cell(figures.peaks[i].rPol) : std::string());
    }
    row += '\n';
    return row;
}
