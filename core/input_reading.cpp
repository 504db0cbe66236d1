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
             {RowLayout::semicolons, "semicolon-separated decimal-comma"},
             {RowLayout::tabs, "tab-separated decimal-comma"}}) {
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
    if ((reading.layouts & ~Bit(RowLayout::blanks)) != 0 || reading.tauFirst) {
        std::string columns = LayoutsText(reading.layouts) + " columns ";
        switch (reading.order) {
            case OrderSource::header:
                columns += reading.columnNames + " (header at line " +
                           std::to_string(reading.headerLine) + ")";
                break;
            case OrderSource::setting:
                columns += "τ, γ (the order asked for)";
                break;
            case OrderSource::standard:
                columns += "γ, τ";
                break;
        }
        add(columns);
    }
    return parts.empty() ? std::string() : "Read as " + parts;
}
