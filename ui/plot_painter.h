#pragma once

#include <windows.h>

#include "plot/plot_layout.h"

// Paints `drawing` on `dc` at its origin with GDI, in the order the drawing gives: the white
// background, lines, curves, the frame and the texts.
void PaintPlot(HDC dc, const PlotDrawing& drawing);
