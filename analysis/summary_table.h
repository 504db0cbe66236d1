#pragma once

#include <string>

#include "analysis/spectrum_figures.h"

// The first line of the --summary CSV, ending in "\n": file, rows, f_min_Hz, f_max_Hz, area,
// R_pol, then peakN_f_Hz, peakN_gamma_area and peakN_R_pol for each of kMaxPeaks peaks.
std::string SummaryHeader();

// One file's line of the --summary CSV, ending in "\n": `file` (quoted when it holds a comma, a
// quote, CR or LF), then its figures and `area` to 9 significant figures with a point, the cells
// of missing peaks, and every figure but rows and area when there are none, left empty.
std::string SummaryRow(const std::string& file, double area, const SpectrumFigures& figures);
