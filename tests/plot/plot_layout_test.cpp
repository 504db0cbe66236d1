#include "plot/plot_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr double kCharWidth = 0.55;

// The frequency axis' labels, left to right.
std::vector<PlotText> FrequencyLabels(const PlotDrawing& drawing) {
    std::vector<PlotText> labels;
    for (const PlotText& text : drawing.texts) {
        if (text.text.ends_with("Hz") && text.text != "Frequency (Hz)") {
            labels.push_back(text);
        }
    }
    std::sort(labels.begin(), labels.end(),
              [](const PlotText& a, const PlotText& b) { return a.at.x < b.at.x; });
    return labels;
}

// The γ·A axis' labels, bottom to top.
std::vector<std::string> GammaAreaLabels(const PlotDrawing& drawing) {
    std::vector<PlotText> labels;
    for (const PlotText& text : drawing.texts) {
        if (text.anchor == TextAnchor::end && text.at.y > drawing.frame.top) {
            labels.push_back(text);
        }
    }
    std::sort(labels.begin(), labels.end(),
              [](const PlotText& a, const PlotText& b) { return a.at.y > b.at.y; });
    std::vector<std::string> texts;
    for (const PlotText& label : labels) {
        texts.push_back(label.text);
    }
    return texts;
}

PixelPoint PixelOf(const PlotDrawing& drawing, const PlotPoint& point) {
    const PixelRect& frame = drawing.frame;
    const double share =
        std::log10(point.frequencyHz / drawing.lowHz) / std::log10(drawing.highHz / drawing.lowHz);
    const double height =
        (point.gammaArea - drawing.lowGammaArea) / (drawing.highGammaArea - drawing.lowGammaArea);
    return {frame.left + share * (frame.right - frame.left),
            frame.bottom - height * (frame.bottom - frame.top)};
}

TEST(PlotLayoutTest, FrequencyAxisHasDecadeTicksAndLabelsThatDoNotOverlap) {
    const std::vector<PlotCurve> curves{{"cell.txt", {{2e6, 1.0}, {3.0, 2.0}, {0.05, 0.5}}}};
    const std::vector<std::string> decades{"10 mHz", "100 mHz", "1 Hz",    "10 Hz", "100 Hz",
                                           "1 kHz",  "10 kHz",  "100 kHz", "1 MHz", "10 MHz"};
    for (const double width : {1200.0, 420.0}) {
        SCOPED_TRACE(width);
        const PlotDrawing drawing = LayOutPlot(curves, 2.5, {width, 500.0, 12.0});
        EXPECT_DOUBLE_EQ(drawing.lowHz, 0.01);
        EXPECT_DOUBLE_EQ(drawing.highHz, 1e7);
        const PixelRect& frame = drawing.frame;
        const double decadeWidth = (frame.right - frame.left) / 9.0;
        for (std::size_t i = 0; i < decades.size(); ++i) {
            const double x = frame.left + static_cast<double>(i) * decadeWidth;
            EXPECT_TRUE(std::any_of(drawing.lines.begin(), drawing.lines.end(),
                                    [&](const PlotLine& line) {
                                        return std::fabs(line.from.x - x) < 1.0 &&
                                               line.from.y == frame.bottom &&
                                               line.to.y > frame.bottom;
                                    }))
                << "no tick at " << decades[i];
        }
        const std::vector<PlotText> labels = FrequencyLabels(drawing);
        ASSERT_GE(labels.size(), 2u);
        if (width > 1000.0) {
            EXPECT_EQ(labels.size(), decades.size());
        }
        for (std::size_t i = 0; i < labels.size(); ++i) {
            const auto decade = std::find(decades.begin(), decades.end(), labels[i].text);
            ASSERT_NE(decade, decades.end()) << labels[i].text;
            const double x =
                frame.left + static_cast<double>(decade - decades.begin()) * decadeWidth;
            EXPECT_NEAR(labels[i].at.x, x, 1.0) << labels[i].text;
            if (i > 0) {
                const auto chars = labels[i - 1].text.size() + labels[i].text.size();
                const double halves = static_cast<double>(chars) / 2.0;
                EXPECT_GT(labels[i].at.x - labels[i - 1].at.x, halves * kCharWidth * 12.0)
                    << labels[i - 1].text << " overlaps " << labels[i].text;
            }
        }
    }
    const PlotDrawing none = LayOutPlot({}, 2.5, {});
    EXPECT_DOUBLE_EQ(none.lowHz, 1.0);
    EXPECT_DOUBLE_EQ(none.highHz, 1e6);
    EXPECT_EQ(FrequencyLabels(none).front().text, "1 Hz");
    EXPECT_EQ(FrequencyLabels(none).back().text, "1 MHz");
}

TEST(PlotLayoutTest, GammaAreaAxisRunsFromZeroOrBelowToARoundTopInFourToEightTicks) {
    const struct {
        std::vector<PlotPoint> points;
        std::vector<std::string> labels;
    } cases[] = {
        {{{1.0, 0.4}, {10.0, 3.7}}, {"0", "1", "2", "3", "4"}},
        {{{1.0, -0.23}, {10.0, 0.9}}, {"-0.4", "-0.2", "0", "0.2", "0.4", "0.6", "0.8", "1"}},
        {{{1.0, 2e-5}, {10.0, 1.2e-4}},
         {"0", "2e-05", "4e-05", "6e-05", "8e-05", "0.0001", "0.00012"}},
        {{{1.0, 0.0}, {10.0, 0.0}}, {"0", "0.2", "0.4", "0.6", "0.8", "1"}},
        {{}, {"0", "0.2", "0.4", "0.6", "0.8", "1"}},
    };
    for (const auto& c : cases) {
        const PlotDrawing drawing = LayOutPlot({{"a.txt", c.points}}, 1.0, {});
        EXPECT_EQ(GammaAreaLabels(drawing), c.labels);
        EXPECT_EQ(drawing.lowGammaArea, std::stod(c.labels.front()));
        EXPECT_NEAR(drawing.highGammaArea, std::stod(c.labels.back()), 1e-12);
    }
}

TEST(PlotLayoutTest, CurveRunsWithinAFifthOfAPixelOfEveryPointWithFrequencyRisingRightward) {
    // An export's order: frequency falling; a smooth peak and a one-row spike.
    std::vector<PlotPoint> points;
    for (int i = 0; i < 2000; ++i) {
        const double x = (i - 1200) / 150.0;
        points.push_back({1e5 * std::pow(10.0, -6.0 * i / 2000), std::exp(-x * x) * 3.0});
    }
    points[400].gammaArea = 1.5;
    const PlotDrawing drawing = LayOutPlot({{"peak.txt", points}}, 1.0, {});
    ASSERT_EQ(drawing.curves.size(), 1u);
    const std::vector<PixelPoint>& line = drawing.curves[0].points;
    ASSERT_GE(line.size(), 2u);
    EXPECT_GT(line.front().x, line.back().x);
    for (const PlotPoint& point : points) {
        const PixelPoint p = PixelOf(drawing, point);
        ASSERT_GE(p.x, drawing.frame.left);
        ASSERT_LE(p.x, drawing.frame.right);
        ASSERT_GE(p.y, drawing.frame.top);
        ASSERT_LE(p.y, drawing.frame.bottom);
        double nearest = std::numeric_limits<double>::infinity();
        for (std::size_t i = 1; i < line.size(); ++i) {
            const PixelPoint a = line[i - 1];
            const PixelPoint b = line[i];
            const double dx = b.x - a.x;
            const double dy = b.y - a.y;
            const double t = std::clamp(
                ((p.x - a.x) * dx + (p.y - a.y) * dy) / std::max(dx * dx + dy * dy, 1e-300), 0.0,
                1.0);
            nearest = std::min(nearest, std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y));
        }
        ASSERT_LE(nearest, 0.2 + 1e-9) << point.frequencyHz << " Hz, " << point.gammaArea;
    }
}

}  // namespace
