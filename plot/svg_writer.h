#pragma once

#include <string>

#include "plot/plot_layout.h"

// `drawing` as a self-contained SVG 1.1 document in UTF-8, painted in PlotDrawing's order, each
// curve one <path>: coordinates rounded to hundredths of a pixel, written alike in every locale;
// text escaped for XML, with any byte that is not valid UTF-8 and any control character shown as
// U+FFFD.
std::string SvgDocument(const PlotDrawing& drawing);
