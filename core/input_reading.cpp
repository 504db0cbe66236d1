#include "core/input_reading.h"

#include <initializer_list>
#include <utility>

namespace {

constexpr unsigned Bit(RowLayout layout) {
    return 1u << static_cast<unsigned>(layout);
}

std::string LayoutsText(unsigned layouts) {
    std::string text;
    for (const auto& [layout, words] : std::initializer_list<std::pair<RowLayout, const char*>>{
             {RowLayout::blanks, "white-space-separated"},
             {RowLayout::commas, "comma-separated"},
             {RowLayout::semicolons, "semicolon-separated"}}) {
        if ((layouts & Bit(layout)) != 0) {
            text += (text.empty() ? "" : " and ") + std::string(words);
        }
    }
    return text;
}

}  // namespace

std::string DescribeReading(const InputReading& reading) {
    std::string parts;
    const auto add = [&parts](const std::string& part) {
        parts += (parts.empty() ? "" : "; ") + part;
    };
    if (reading.encoding != TextEncoding::bytes) {
        add(reading.encoding == TextEncoding::utf16LE ? "UTF-16 LE text" : "UTF-16 BE text");
    }
    if (reading.crLineEnds) {
        add("lines ending in CR alone");
    }
    const bool comma = reading.sign == DecimalSign::comma;
    const bool againstData = reading.gridColumn == (reading.tauFirst ? 2 : 1);
    const bool untold = reading.unreadHeaderLine > 0;
    if ((reading.layouts & ~Bit(RowLayout::blanks)) != 0 || reading.tauFirst || comma ||
        reading.labelColumn || againstData || untold) {
        std::string columns =
            LayoutsText(reading.layouts) + (comma ? " decimal-comma" : "") + " columns ";
        switch (reading.order) {
            case OrderSource::header:
                columns += reading.columnNames + " (header at line " +
                           std::to_string(reading.headerLine) + ")";
                break;
            case OrderSource::setting:
                columns += reading.tauFirst ? "τ, γ" : "γ, τ";
                columns += " (the order asked for)";
                break;
            case OrderSource::data:
                columns += "τ, γ: the first column runs evenly on a log scale, as τ does";
                break;
            case OrderSource::standard:
                columns += "γ, τ";
                break;
        }
        if (reading.labelColumn) {
            columns += ", after a label column";
        }
        if (againstData) {
            columns += std::string(", though the ") + (reading.tauFirst ? "second" : "first") +
                       " column runs evenly on a log scale, as τ does";
        }
        if (untold) {
            columns += ": line " + std::to_string(reading.unreadHeaderLine) +
                       " names τ in a way not recognised, and neither column runs evenly on a "
                       "log scale as τ does, so the order could not be told and γ was taken first";
        }
        add(columns);
    }
    return parts.empty() ? std::string() : "Read as " + parts;
}
