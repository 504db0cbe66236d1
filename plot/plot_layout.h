#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plot/curve_sampler.h"

// A curve to plot: the name its legend shows (UTF-8) and its points in row order.
struct PlotCurve {
    std::string name;
    std::vector<PlotPoint> points;
};

// The drawing's size in pixels and the height of its text; a character of text is taken to be
// 0.55 font heights wide on average.
struct PlotSize {
    double width = 800.0;
    double height = 500.0;
    double fontHeight = 12.0;
};

// A colour, 0 to 255 a channel.
struct PlotColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// A position in pixels from the drawing's top left corner, y growing downward.
struct PixelPoint {
    double x = 0.0;
    double y = 0.0;
};

// A rectangle in pixels, y growing downward (top < bottom).
struct PixelRect {
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;
};

// A straight line `width` pixels wide.
struct PlotLine {
    PixelPoint from;
    PixelPoint to;
    PlotColour colour;
    double width = 1.0;
};

// Connected lines through `points`, `width` pixels wide, with round joins and ends (one point is
// a dot).
struct PlotPolyline {
    std::vector<PixelPoint> points;
    PlotColour colour;
    double width = 1.0;
};

// Which point of a text its position gives, along its baseline.
enum class TextAnchor { start, middle, end };

// A line of UTF-8 text in a sans-serif font `fontHeight` pixels high (the em size), whose baseline
// passes through `at`.
struct PlotText {
    PixelPoint at;
    std::string text;
    TextAnchor anchor = TextAnchor::start;
    double fontHeight = 12.0;
    PlotColour colour;
};

// A plot as a renderer paints it, in this order: a white background of width × height, `lines`,
// `curves`, the outline of `frame` in black one pixel wide, and `texts`.
struct PlotDrawing {
    double width = 0.0;
    double height = 0.0;
    // The plot area; its left and bottom sides are the axes.
    PixelRect frame;
    // The frequencies at frame.left and frame.right, on a log scale, a whole number of decades.
    double lowHz = 1.0;
    double highHz = 1.0;
    // The γ·A at frame.bottom and frame.top, on a linear scale.
    double lowGammaArea = 0.0;
    double highGammaArea = 1.0;
    // Grid, ticks and legend swatches.
    std::vector<PlotLine> lines;
    // One per curve that has a point to plot, in the order of the curves.
    std::vector<PlotPolyline> curves;
    // Title, tick labels, axis titles and legend.
    std::vector<PlotText> texts;
};

// Lays out the plot of γ·A against frequency for `curves` of electrode area `area` on `size`:
// a log frequency axis of whole decades covering the points, rising to the right, a linear γ·A
// axis from 0 (or the lowest γ·A below it) to a rounded top, and a legend naming the first 12
// curves then how many more. Curves without a point of finite γ·A at a finite frequency above 0
// are left out of the plot and the legend; with none, the axes run over 1 Hz to 1 MHz and 0 to 1.
// Each polyline departs from its points by at most a fifth of a pixel.
PlotDrawing LayOutPlot(const std::vector<PlotCurve>& curves, double area, const PlotSize& size);
