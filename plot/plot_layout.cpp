#include "plot/plot_layout.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <tuple>
#include <utility>

namespace {

constexpr double kCharWidth = 0.55;
constexpr std::size_t kMaxLegendEntries = 12;
constexpr double kCurveWidth = 1.5;
constexpr double kTolerance = 0.2;
constexpr PlotColour kInk{0, 0, 0};
constexpr PlotColour kGrid{221, 221, 221};
// d3's category10 (Tableau's former ten), then black and indigo.
constexpr std::array<PlotColour, 12> kPalette{{{31, 119, 180},
                                               {255, 127, 14},
                                               {44, 160, 44},
                                               {214, 39, 40},
                                               {148, 103, 189},
                                               {140, 86, 75},
                                               {227, 119, 194},
                                               {127, 127, 127},
                                               {188, 189, 34},
                                               {23, 190, 207},
                                               {0, 0, 0},
                                               {57, 59, 121}}};

bool Plottable(const PlotPoint& point) {
    return std::isfinite(point.frequencyHz) && point.frequencyHz > 0.0 &&
           std::isfinite(point.gammaArea);
}

int FloorDiv(int value, int divisor) {
    return value / divisor - (value % divisor < 0 ? 1 : 0);
}

// `value` as printf("%g") writes it in the C locale.
std::string FormatGeneral(double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value == 0.0 ? 0.0 : value,
                                      std::chars_format::general, 6);
    return std::string(text, result.ptr);
}

// 10^`decade` Hz with an SI prefix: "1 mHz", "10 Hz", "100 kHz".
std::string FrequencyLabel(int decade) {
    static constexpr std::array<const char*, 17> kPrefixes{
        "y", "z", "a", "f", "p", "n", "µ", "m", "", "k", "M", "G", "T", "P", "E", "Z", "Y"};
    const int group = FloorDiv(decade, 3);
    if (group < -8 || group > 8) {
        return "1e" + std::to_string(decade) + " Hz";
    }
    static constexpr std::array<const char*, 3> kMantissas{"1", "10", "100"};
    return std::string(kMantissas[decade - 3 * group]) + " " + kPrefixes[group + 8] + "Hz";
}

// Characters of UTF-8 `text`: its bytes that do not continue a character.
std::size_t CharCount(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char byte) {
        return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
    }));
}

// The byte offset of character `index` of UTF-8 `text` (its size past the last).
std::size_t CharOffset(const std::string& text, std::size_t index) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && seen++ == index) {
            return i;
        }
    }
    return text.size();
}

// `text` cut to `maxChars` characters by an ellipsis in its middle, which keeps the start and the
// end of a file name.
std::string ShortenMiddle(const std::string& text, std::size_t maxChars) {
    const std::size_t count = CharCount(text);
    if (count <= maxChars) {
        return text;
    }
    const std::size_t tail = (maxChars - 1) / 2;
    const std::size_t head = maxChars - 1 - tail;
    return text.substr(0, CharOffset(text, head)) + "…" +
           text.substr(CharOffset(text, count - tail));
}

// The middle of the pixel that holds `value`, where a one-pixel line is sharp.
double Snap(double value) {
    return std::floor(value) + 0.5;
}

// The whole decades [first, last] that cover [low, high] (both above 0), at least one.
std::pair<int, int> CoveringDecades(double low, double high) {
    int first = static_cast<int>(std::floor(std::log10(low)));
    if (std::pow(10.0, first) > low) {
        --first;
    } else if (std::pow(10.0, first + 1) <= low) {
        ++first;
    }
    int last = static_cast<int>(std::ceil(std::log10(high)));
    if (std::pow(10.0, last) < high) {
        ++last;
    } else if (std::pow(10.0, last - 1) >= high) {
        --last;
    }
    return {first, std::max(last, first + 1)};
}

// Ticks at index × step, the index running from first to last.
struct LinearTicks {
    double step = 1.0;
    long long first = 0;
    long long last = 1;
};

// The ticks of the smallest step of 1, 2 or 5 × 10^n that covers [low, high] (low <= 0 <= high,
// low < high) in at most 7 steps, which makes 4 to 8 ticks.
LinearTicks NiceTicks(double low, double high) {
    // A hair of slack, so that 0.3 / 0.1 does not reach a fourth step.
    constexpr double kSlack = 1e-9;
    double decade = std::pow(10.0, std::floor(std::log10(high - low)) - 1.0);
    for (;;) {
        for (const double multiple : {1.0, 2.0, 5.0}) {
            const double step = multiple * decade;
            const auto first = static_cast<long long>(std::floor(low / step + kSlack));
            const auto last = static_cast<long long>(std::ceil(high / step - kSlack));
            if (last - first <= 7) {
                return {step, first, last};
            }
        }
        decade *= 10.0;
    }
}

double SquaredDistanceToSegment(const PixelPoint& p, const PixelPoint& a, const PixelPoint& b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = a.x + t * dx - p.x;
    const double ey = a.y + t * dy - p.y;
    return ex * ex + ey * ey;
}

// The points of `points` that keep the line through them within `tolerance` pixels of every one
// (Douglas–Peucker); a smooth curve needs far fewer than it has.
std::vector<PixelPoint> Simplify(const std::vector<PixelPoint>& points, double tolerance) {
    if (points.size() <= 2) {
        return points;
    }
    std::vector<bool> keep(points.size(), false);
    keep.front() = true;
    keep.back() = true;
    std::vector<std::pair<std::size_t, std::size_t>> spans{{0, points.size() - 1}};
    while (!spans.empty()) {
        const auto [first, last] = spans.back();
        spans.pop_back();
        double farthest = tolerance * tolerance;
        std::size_t at = first;
        for (std::size_t i = first + 1; i < last; ++i) {
            const double distance =
                SquaredDistanceToSegment(points[i], points[first], points[last]);
            if (distance > farthest) {
                farthest = distance;
                at = i;
            }
        }
        if (at != first) {
            keep[at] = true;
            spans.emplace_back(first, at);
            spans.emplace_back(at, last);
        }
    }
    std::vector<PixelPoint> kept;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (keep[i]) {
            kept.push_back(points[i]);
        }
    }
    return kept;
}

// The curves that have a plottable point, and the extent of those points.
struct DataExtent {
    std::vector<const PlotCurve*> plotted;
    double lowHz = 1.0;
    double highHz = 1e6;
    double lowValue = 0.0;
    double highValue = 0.0;
};

DataExtent ExtentOf(const std::vector<PlotCurve>& curves) {
    DataExtent extent;
    for (const PlotCurve& curve : curves) {
        bool any = false;
        for (const PlotPoint& point : curve.points) {
            if (!Plottable(point)) {
                continue;
            }
            if (extent.plotted.empty() && !any) {
                extent.lowHz = extent.highHz = point.frequencyHz;
            }
            any = true;
            extent.lowHz = std::min(extent.lowHz, point.frequencyHz);
            extent.highHz = std::max(extent.highHz, point.frequencyHz);
            extent.lowValue = std::min(extent.lowValue, point.gammaArea);
            extent.highValue = std::max(extent.highValue, point.gammaArea);
        }
        if (any) {
            extent.plotted.push_back(&curve);
        }
    }
    return extent;
}

// The sizes that follow from the font height, in pixels.
struct Metrics {
    explicit Metrics(double fontHeight) : em(std::max(fontHeight, 1.0)) {}

    double TextWidth(const std::string& text) const {
        return static_cast<double>(CharCount(text)) * kCharWidth * em;
    }

    double em;
    double title = 1.2 * em;
    double pad = 0.6 * em;
    double gap = 0.4 * em;
    double tick = std::max(4.0, 0.4 * em);
    double rowPitch = 1.4 * em;
};

// Where a frequency's decade and a γ·A fall in the frame.
struct Scales {
    PixelRect frame;
    int firstDecade = 0;
    int lastDecade = 1;
    double lowValue = 0.0;
    double highValue = 1.0;

    double X(double logHz) const {
        return frame.left +
               (logHz - firstDecade) / (lastDecade - firstDecade) * (frame.right - frame.left);
    }
    double Y(double value) const {
        return frame.bottom -
               (value - lowValue) / (highValue - lowValue) * (frame.bottom - frame.top);
    }
};

void AddText(PlotDrawing& drawing, PixelPoint at, std::string text, TextAnchor anchor,
             double fontHeight) {
    drawing.texts.push_back({at, std::move(text), anchor, fontHeight, kInk});
}

// Ticks at every decade, minor ones between when there is room, and labels at every decade whose
// number is a multiple of the smallest step (1, 2, 3, 6, 9, …) that keeps them a gap apart.
void AddFrequencyAxis(PlotDrawing& drawing, const Scales& scales, const Metrics& metrics,
                      double labelWidth) {
    const PixelRect& frame = scales.frame;
    const int decades = scales.lastDecade - scales.firstDecade;
    const double decadeWidth = (frame.right - frame.left) / decades;
    int labelStep = 1;
    while (labelStep * decadeWidth < labelWidth + metrics.em && labelStep < decades) {
        labelStep = labelStep < 3 ? labelStep + 1 : labelStep + 3;
    }
    bool labelled = false;
    for (int decade = scales.firstDecade; decade <= scales.lastDecade; ++decade) {
        labelled = labelled || decade % labelStep == 0;
    }
    const double labelBaseline = frame.bottom + metrics.tick + metrics.em;
    for (int decade = scales.firstDecade; decade <= scales.lastDecade; ++decade) {
        const double x = Snap(scales.X(decade));
        if (decade != scales.firstDecade && decade != scales.lastDecade) {
            drawing.lines.push_back({{x, frame.top}, {x, frame.bottom}, kGrid, 1.0});
        }
        drawing.lines.push_back({{x, frame.bottom}, {x, frame.bottom + metrics.tick}, kInk, 1.0});
        if (decade % labelStep == 0 || (!labelled && decade == scales.firstDecade)) {
            AddText(drawing, {x, labelBaseline}, FrequencyLabel(decade), TextAnchor::middle,
                    metrics.em);
        }
        if (decade != scales.lastDecade && decadeWidth >= 2.5 * metrics.em) {
            for (int multiple = 2; multiple <= 9; ++multiple) {
                const double minorX = Snap(scales.X(decade + std::log10(multiple)));
                drawing.lines.push_back({{minorX, frame.bottom},
                                         {minorX, frame.bottom + metrics.tick / 2.0},
                                         kInk,
                                         1.0});
            }
        }
    }
    AddText(drawing, {(frame.left + frame.right) / 2.0, labelBaseline + metrics.rowPitch},
            "Frequency (Hz)", TextAnchor::middle, metrics.em);
}

void AddGammaAreaAxis(PlotDrawing& drawing, const Scales& scales, const Metrics& metrics,
                      const std::vector<double>& values, const std::vector<std::string>& labels) {
    const PixelRect& frame = scales.frame;
    const double labelRight = frame.left - metrics.tick - metrics.gap;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double y = Snap(scales.Y(values[i]));
        if (i != 0 && i + 1 != values.size()) {
            drawing.lines.push_back({{frame.left, y}, {frame.right, y}, kGrid, 1.0});
        }
        drawing.lines.push_back({{frame.left - metrics.tick, y}, {frame.left, y}, kInk, 1.0});
        AddText(drawing, {labelRight, y + 0.35 * metrics.em}, labels[i], TextAnchor::end,
                metrics.em);
    }
}

// One entry a row right of the frame: a swatch of the curve's colour and its name, the first
// `shown`, then the "+N more" entry if any.
void AddLegend(PlotDrawing& drawing, const Metrics& metrics,
               const std::vector<std::string>& entries, std::size_t shown) {
    const double swatchLeft = drawing.frame.right + metrics.em;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const double baseline =
            drawing.frame.top + metrics.em + static_cast<double>(i) * metrics.rowPitch;
        if (i < shown) {
            const double y = baseline - 0.35 * metrics.em;
            drawing.lines.push_back({{swatchLeft, y},
                                     {swatchLeft + 2.0 * metrics.em, y},
                                     kPalette[i % kPalette.size()],
                                     2.0});
        }
        AddText(drawing, {swatchLeft + 2.5 * metrics.em, baseline}, entries[i], TextAnchor::start,
                metrics.em);
    }
}

}  // namespace

PlotDrawing LayOutPlot(const std::vector<PlotCurve>& curves, double area, const PlotSize& size) {
    const Metrics metrics(size.fontHeight);
    const DataExtent extent = ExtentOf(curves);
    PlotDrawing drawing;
    drawing.width = std::max(size.width, 1.0);
    drawing.height = std::max(size.height, 1.0);

    Scales scales;
    std::tie(scales.firstDecade, scales.lastDecade) = CoveringDecades(extent.lowHz, extent.highHz);
    drawing.lowHz = std::pow(10.0, scales.firstDecade);
    drawing.highHz = std::pow(10.0, scales.lastDecade);
    double xLabelWidth = 0.0;
    for (int decade = scales.firstDecade; decade <= scales.lastDecade; ++decade) {
        xLabelWidth = std::max(xLabelWidth, metrics.TextWidth(FrequencyLabel(decade)));
    }

    // A span too small to divide, as when every γ·A is 0, gets the unit span.
    const bool divisible = extent.highValue - extent.lowValue >= 1e-300;
    const LinearTicks ticks =
        NiceTicks(extent.lowValue, divisible ? extent.highValue : extent.lowValue + 1.0);
    std::vector<double> yValues;
    std::vector<std::string> yLabels;
    const std::string yTitle = "γ·A";
    double yLabelWidth = metrics.TextWidth(yTitle);
    for (long long i = ticks.first; i <= ticks.last; ++i) {
        yValues.push_back(static_cast<double>(i) * ticks.step);
        yLabels.push_back(FormatGeneral(yValues.back()));
        yLabelWidth = std::max(yLabelWidth, metrics.TextWidth(yLabels.back()));
    }
    drawing.lowGammaArea = scales.lowValue = yValues.front();
    drawing.highGammaArea = scales.highValue = yValues.back();

    // Top to bottom: the title, the γ·A axis' title, the frame, the frequency labels and title.
    const double titleBaseline = metrics.pad + metrics.title;
    const double yTitleBaseline = titleBaseline + metrics.rowPitch;
    PixelRect& frame = drawing.frame;
    frame.top = Snap(yTitleBaseline + 0.6 * metrics.em);
    frame.bottom =
        Snap(std::max(frame.top + 1.0, drawing.height - metrics.pad - 0.3 * metrics.em -
                                           metrics.rowPitch - metrics.tick - metrics.em));
    frame.left = Snap(metrics.pad + yLabelWidth + metrics.gap + metrics.tick);

    // The legend: as many of the first 12 curves as fit in the frame's height, then "+N more".
    const std::size_t plotted = extent.plotted.size();
    const auto rows =
        static_cast<std::size_t>(std::max(0.0, (frame.bottom - frame.top) / metrics.rowPitch));
    std::size_t shown = std::min(plotted, kMaxLegendEntries);
    if (shown < plotted || shown > rows) {
        shown = std::min(shown, rows > 0 ? rows - 1 : 0);
    }
    const auto maxNameChars = std::max<std::size_t>(
        8, static_cast<std::size_t>(0.25 * drawing.width / (kCharWidth * metrics.em)));
    std::vector<std::string> legend;
    for (std::size_t i = 0; i < shown; ++i) {
        legend.push_back(ShortenMiddle(extent.plotted[i]->name, maxNameChars));
    }
    if (shown < plotted) {
        legend.push_back("+" + std::to_string(plotted - shown) + " more");
    }
    double legendWidth = 0.0;
    for (const std::string& entry : legend) {
        legendWidth = std::max(legendWidth, 3.5 * metrics.em + metrics.TextWidth(entry));
    }
    frame.right = Snap(std::max(
        frame.left + 1.0, drawing.width - metrics.pad - std::max(legendWidth, xLabelWidth / 2.0)));
    scales.frame = frame;

    AddText(drawing, {drawing.width / 2.0, titleBaseline},
            "γ·A against frequency, area " + FormatGeneral(area), TextAnchor::middle,
            metrics.title);
    AddText(drawing, {frame.left - metrics.tick - metrics.gap, yTitleBaseline}, yTitle,
            TextAnchor::end, metrics.em);
    AddFrequencyAxis(drawing, scales, metrics, xLabelWidth);
    AddGammaAreaAxis(drawing, scales, metrics, yValues, yLabels);
    for (std::size_t c = 0; c < plotted; ++c) {
        std::vector<PixelPoint> pixels;
        for (const PlotPoint& point : extent.plotted[c]->points) {
            if (Plottable(point)) {
                pixels.push_back(
                    {scales.X(std::log10(point.frequencyHz)), scales.Y(point.gammaArea)});
            }
        }
        drawing.curves.push_back(
            {Simplify(pixels, kTolerance), kPalette[c % kPalette.size()], kCurveWidth});
    }
    AddLegend(drawing, metrics, legend, shown);
    return drawing;
}
