#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "core/number_format.h"
#include "core/number_scan.h"

// Feeds each input, as one line, to ScanGammaTau, to its exact path and to glibc's sscanf, and
// formats the values read and doubles taken from the input's bytes with FormatRow, its exact path
// and glibc's snprintf; any difference traps.

namespace {

constexpr double kFrequencyConstant = 0.15915494580678602;

std::uint32_t Bits(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

void CheckRow(double frequency, double gamma) {
    char row[kMaxRowLength];
    char exactRow[kMaxRowLength];
    char expected[kMaxRowLength];
    const std::string_view fast(row,
                                static_cast<std::size_t>(FormatRow(frequency, gamma, row) - row));
    const std::string_view exact(
        exactRow, static_cast<std::size_t>(FormatRowExact(frequency, gamma, exactRow) - exactRow));
    const int length = std::snprintf(expected, sizeof expected, "%f, %g\n", frequency, gamma);
    const std::string_view reference(expected, static_cast<std::size_t>(length));
    if (fast != reference || exact != reference) {
        std::fprintf(stderr, "FormatRow(%a, %a): \"%.*s\", exact \"%.*s\", glibc \"%s\"\n",
                     frequency, gamma, static_cast<int>(fast.size()), fast.data(),
                     static_cast<int>(exact.size()), exact.data(), expected);
        __builtin_trap();
    }
}

void CheckScan(std::string_view line) {
    float gamma = 0.0f;
    float tau = 0.0f;
    float exactGamma = 0.0f;
    float exactTau = 0.0f;
    float expectedGamma = 0.0f;
    float expectedTau = 0.0f;
    const bool read = ScanGammaTau(line, gamma, tau);
    const bool exactRead = ScanGammaTauExact(line, exactGamma, exactTau);
    // Exactly as long as the text and its NUL, so that AddressSanitizer sees any read past it.
    const std::unique_ptr<char[]> terminated(new char[line.size() + 1]);
    std::memcpy(terminated.get(), line.data(), line.size());
    terminated[line.size()] = '\0';
    float textGamma = 0.0f;
    float textTau = 0.0f;
    const bool textRead = ScanGammaTau(terminated.get(), textGamma, textTau);
    const bool expectedRead =
        std::sscanf(terminated.get(), "%g %g", &expectedGamma, &expectedTau) == 2;
    if (read != expectedRead || exactRead != expectedRead || textRead != expectedRead) {
        std::fprintf(stderr, "ScanGammaTau read %d, exact %d, C string %d, glibc %d\n", read,
                     exactRead, textRead, expectedRead);
        __builtin_trap();
    }
    if (!expectedRead) {
        return;
    }
    if (Bits(gamma) != Bits(expectedGamma) || Bits(tau) != Bits(expectedTau) ||
        Bits(exactGamma) != Bits(expectedGamma) || Bits(exactTau) != Bits(expectedTau) ||
        Bits(textGamma) != Bits(expectedGamma) || Bits(textTau) != Bits(expectedTau)) {
        std::fprintf(
            stderr,
            "ScanGammaTau %08x %08x, exact %08x %08x, C string %08x %08x, glibc %08x %08x\n",
            Bits(gamma), Bits(tau), Bits(exactGamma), Bits(exactTau), Bits(textGamma),
            Bits(textTau), Bits(expectedGamma), Bits(expectedTau));
        __builtin_trap();
    }
    CheckRow(kFrequencyConstant / static_cast<double>(expectedTau),
             static_cast<double>(expectedGamma));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckScan(std::string_view(reinterpret_cast<const char*>(data), size));
    if (size >= 2 * sizeof(double)) {
        double first = 0.0;
        double second = 0.0;
        std::memcpy(&first, data, sizeof first);
        std::memcpy(&second, data + sizeof first, sizeof second);
        CheckRow(first, second);
        float narrow = 0.0f;
        std::memcpy(&narrow, data + size - sizeof narrow, sizeof narrow);
        CheckRow(kFrequencyConstant / static_cast<double>(narrow), static_cast<double>(narrow));
    }
    return 0;
}
