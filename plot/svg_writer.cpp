#include "plot/svg_writer.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";

// `value` in hundredths, rounded; 0 for NaN, as the drawing is never near these bounds.
long long Hundredths(double value) {
    const double bounded = std::fabs(value) < 1e12 ? value : (value > 0.0 ? 1e12 : -1e12);
    return std::llround(bounded * 100.0);
}

// Appends `hundredths` / 100 without trailing zeros: "12.5", "-0.07", "300".
void AppendHundredths(std::string& out, long long hundredths) {
    if (hundredths < 0) {
        out += '-';
        hundredths = -hundredths;
    }
    out += std::to_string(hundredths / 100);
    const auto fraction = static_cast<int>(hundredths % 100);
    if (fraction != 0) {
        out += '.';
        out += static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0) {
            out += static_cast<char>('0' + fraction % 10);
        }
    }
}

void AppendNumber(std::string& out, double value) {
    AppendHundredths(out, Hundredths(value));
}

// Appends the path data of `points`: a move to the first, then lines by the differences of the
// rounded positions, which keeps every point where rounding puts it and takes fewer characters.
void AppendPathData(std::string& out, const std::vector<PixelPoint>& points) {
    long long x = Hundredths(points[0].x);
    long long y = Hundredths(points[0].y);
    out += 'M';
    AppendHundredths(out, x);
    out += ' ';
    AppendHundredths(out, y);
    out += 'l';
    bool drawn = false;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const long long nextX = Hundredths(points[i].x);
        const long long nextY = Hundredths(points[i].y);
        if (nextX == x && nextY == y) {
            continue;
        }
        // A minus sign separates numbers as well as a blank does.
        if (drawn && nextX >= x) {
            out += ' ';
        }
        AppendHundredths(out, nextX - x);
        if (nextY >= y) {
            out += ' ';
        }
        AppendHundredths(out, nextY - y);
        x = nextX;
        y = nextY;
        drawn = true;
    }
    // A lone point is a line of no length, which round ends show as a dot.
    if (!drawn) {
        out += "0 0";
    }
}

void AppendColour(std::string& out, const PlotColour& colour) {
    static constexpr char kDigits[] = "0123456789abcdef";
    out += '#';
    for (const std::uint8_t channel : {colour.red, colour.green, colour.blue}) {
        out += kDigits[channel >> 4];
        out += kDigits[channel & 0xF];
    }
}

// The length of the UTF-8 sequence at text[i] that XML 1.0 allows, or 0 when it is not one.
std::size_t ValidSequence(const std::string& text, std::size_t i) {
    const auto byte = [&text](std::size_t at) {
        return at < text.size() ? static_cast<unsigned char>(text[at]) : 0u;
    };
    const unsigned lead = byte(i);
    const auto continues = [&byte](std::size_t at) { return (byte(at) & 0xC0) == 0x80; };
    if (lead >= 0x20 && lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return continues(i + 1) ? 2 : 0;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned second = byte(i + 1);
        // No overlong forms, no surrogates, and not U+FFFE or U+FFFF.
        const bool allowed = (lead != 0xE0 || second >= 0xA0) && (lead != 0xED || second < 0xA0) &&
                             !(lead == 0xEF && second == 0xBF && byte(i + 2) >= 0xBE);
        return allowed && continues(i + 1) && continues(i + 2) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned second = byte(i + 1);
        const bool allowed = (lead != 0xF0 || second >= 0x90) && (lead != 0xF4 || second < 0x90);
        return allowed && continues(i + 1) && continues(i + 2) && continues(i + 3) ? 4 : 0;
    }
    return 0;
}

void AppendEscaped(std::string& out, const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = ValidSequence(text, i);
        if (length == 0) {
            out += kReplacement;
            ++i;
            continue;
        }
        switch (text[i]) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                out.append(text, i, length);
        }
        i += length;
    }
}

void AppendAttribute(std::string& out, const char* name, double value) {
    out += ' ';
    out += name;
    out += "=\"";
    AppendNumber(out, value);
    out += '"';
}

const char* AnchorName(TextAnchor anchor) {
    switch (anchor) {
        case TextAnchor::middle:
            return "middle";
        case TextAnchor::end:
            return "end";
        case TextAnchor::start:
            break;
    }
    return "start";
}

}  // namespace

std::string SvgDocument(const PlotDrawing& drawing) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\"";
    AppendAttribute(out, "width", drawing.width);
    AppendAttribute(out, "height", drawing.height);
    out += " viewBox=\"0 0 ";
    AppendNumber(out, drawing.width);
    out += ' ';
    AppendNumber(out, drawing.height);
    out += "\">\n<rect x=\"0\" y=\"0\"";
    AppendAttribute(out, "width", drawing.width);
    AppendAttribute(out, "height", drawing.height);
    out += " fill=\"#ffffff\"/>\n";

    out += "<g fill=\"none\">\n";
    for (const PlotLine& line : drawing.lines) {
        out += "<line";
        AppendAttribute(out, "x1", line.from.x);
        AppendAttribute(out, "y1", line.from.y);
        AppendAttribute(out, "x2", line.to.x);
        AppendAttribute(out, "y2", line.to.y);
        out += " stroke=\"";
        AppendColour(out, line.colour);
        out += '"';
        AppendAttribute(out, "stroke-width", line.width);
        out += "/>\n";
    }
    out += "</g>\n<g fill=\"none\" stroke-linejoin=\"round\" stroke-linecap=\"round\">\n";
    for (const PlotPolyline& curve : drawing.curves) {
        if (curve.points.empty()) {
            continue;
        }
        out += "<path d=\"";
        AppendPathData(out, curve.points);
        out += "\" stroke=\"";
        AppendColour(out, curve.colour);
        out += '"';
        AppendAttribute(out, "stroke-width", curve.width);
        out += "/>\n";
    }
    out += "</g>\n<rect";
    AppendAttribute(out, "x", drawing.frame.left);
    AppendAttribute(out, "y", drawing.frame.top);
    AppendAttribute(out, "width", drawing.frame.right - drawing.frame.left);
    AppendAttribute(out, "height", drawing.frame.bottom - drawing.frame.top);
    out += " fill=\"none\" stroke=\"#000000\" stroke-width=\"1\"/>\n";

    out += "<g font-family=\"sans-serif\">\n";
    for (const PlotText& text : drawing.texts) {
        out += "<text";
        AppendAttribute(out, "x", text.at.x);
        AppendAttribute(out, "y", text.at.y);
        AppendAttribute(out, "font-size", text.fontHeight);
        out += " text-anchor=\"";
        out += AnchorName(text.anchor);
        out += "\" fill=\"";
        AppendColour(out, text.colour);
        out += "\">";
        AppendEscaped(out, text.text);
        out += "</text>\n";
    }
    out += "</g>\n</svg>\n";
    return out;
}
