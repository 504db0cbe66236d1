#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "core/column_header.h"
#include "core/data_row.h"
#include "tests/support/row_model.h"

// Feeds each input after its first byte, as one line read as that byte says (decimal points or
// commas, with or without a label field), to ReadDataRow and to ModelDataRow, the plain sscanf
// model of its rules, and traps when the layouts or the bits of the two numbers differ. The input
// also goes to ReadColumnHeader, only for the sanitizers to see.

namespace {

std::uint32_t Bits(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Prints `line` with its bytes outside printable ASCII escaped.
void PrintLine(const std::string& line) {
    std::fputc('"', stderr);
    for (const char c : line) {
        const unsigned byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && c != '"' && c != '\\') {
            std::fputc(c, stderr);
        } else {
            std::fprintf(stderr, "\\x%02x", byte);
        }
    }
    std::fputs("\"\n", stderr);
}

void CheckRow(const std::string& line, const RowReading& reading) {
    // Kept between inputs, as the converter keeps it between lines.
    static std::string scratch;
    float first = 0.0f;
    float second = 0.0f;
    const RowLayout layout = ReadDataRow(line, reading, scratch, first, second);
    float expectedFirst = 0.0f;
    float expectedSecond = 0.0f;
    RowLayout expectedLayout = RowLayout::none;
    ModelDataRow(line, reading, expectedFirst, expectedSecond, expectedLayout);
    if (layout != expectedLayout ||
        (layout != RowLayout::none &&
         (Bits(first) != Bits(expectedFirst) || Bits(second) != Bits(expectedSecond)))) {
        std::fprintf(stderr,
                     "ReadDataRow (sign %d, label %d): layout %d, %08x %08x; model: layout %d, "
                     "%08x %08x; line ",
                     static_cast<int>(reading.sign), reading.labelSeparator,
                     static_cast<int>(layout), Bits(first), Bits(second),
                     static_cast<int>(expectedLayout), Bits(expectedFirst), Bits(expectedSecond));
        PrintLine(line);
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // The first byte chooses how the rest is read: either decimal sign, with or without a label.
    if (size == 0) {
        return 0;
    }
    const RowReading reading{(data[0] & 1) != 0 ? DecimalSign::comma : DecimalSign::point,
                             (data[0] & 2) != 0 ? ',' : '\0'};
    CheckRow(std::string(text.substr(1)), reading);
    const ColumnHeader header = ReadColumnHeader(text);
    if (header.tauFirst && !header.recognised) {
        __builtin_trap();
    }
    return 0;
}
