#include "ui/plot_painter.h"

#include <cmath>
#include <vector>

#include "framework/windows_text.h"

namespace {

int Pixel(double value) {
    return static_cast<int>(std::lround(value));
}

COLORREF Colour(const PlotColour& colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

// A pen of `colour` and `width`, with round ends and joins, selected into a DC while it lives.
class SelectedPen {
  public:
    SelectedPen(HDC dc, const PlotColour& colour, double width) : m_dc(dc) {
        LOGBRUSH brush = {BS_SOLID, Colour(colour), 0};
        m_pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                             std::max(1, Pixel(width)), &brush, 0, nullptr);
        m_old = SelectObject(dc, m_pen);
    }
    ~SelectedPen() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_pen);
    }
    SelectedPen(const SelectedPen&) = delete;
    SelectedPen& operator=(const SelectedPen&) = delete;

  private:
    HDC m_dc;
    HPEN m_pen;
    HGDIOBJ m_old;
};

void PaintText(HDC dc, const PlotText& text) {
    const HFONT font = CreateFontW(-Pixel(text.fontHeight), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
    const HGDIOBJ old = SelectObject(dc, font);
    const UINT align = text.anchor == TextAnchor::start    ? TA_LEFT
                       : text.anchor == TextAnchor::middle ? TA_CENTER
                                                           : TA_RIGHT;
    SetTextAlign(dc, align | TA_BASELINE);
    SetTextColor(dc, Colour(text.colour));
    const std::wstring wide = Widen(text.text);
    TextOutW(dc, Pixel(text.at.x), Pixel(text.at.y), wide.c_str(), static_cast<int>(wide.size()));
    SelectObject(dc, old);
    DeleteObject(font);
}

}  // namespace

void PaintPlot(HDC dc, const PlotDrawing& drawing) {
    const RECT all = {0, 0, Pixel(drawing.width), Pixel(drawing.height)};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    for (const PlotLine& line : drawing.lines) {
        const SelectedPen pen(dc, line.colour, line.width);
        MoveToEx(dc, Pixel(line.from.x), Pixel(line.from.y), nullptr);
        LineTo(dc, Pixel(line.to.x), Pixel(line.to.y));
    }
    std::vector<POINT> points;
    for (const PlotPolyline& curve : drawing.curves) {
        points.clear();
        for (const PixelPoint& point : curve.points) {
            points.push_back({Pixel(point.x), Pixel(point.y)});
        }
        const SelectedPen pen(dc, curve.colour, curve.width);
        if (points.size() == 1) {
            points.push_back(points.front());
        }
        Polyline(dc, points.data(), static_cast<int>(points.size()));
    }
    {
        const SelectedPen pen(dc, PlotColour{}, 1.0);
        const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, Pixel(drawing.frame.left), Pixel(drawing.frame.top),
                  Pixel(drawing.frame.right) + 1, Pixel(drawing.frame.bottom) + 1);
        SelectObject(dc, oldBrush);
    }
    for (const PlotText& text : drawing.texts) {
        PaintText(dc, text);
    }
}
