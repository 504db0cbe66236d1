#include "core/number_scan.h"

#include <gtest/gtest.h>

#include "support/split_mix.h"

#include <array>
#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();

std::uint32_t Bits(float value) {
    return std::bit_cast<std::uint32_t>(value);
}

std::string Printable(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && byte != '\\') {
            out += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            out += escaped;
        }
    }
    return out;
}

struct Case {
    std::string_view line;
    bool read;
    float gamma;
    float tau;
};

void ExpectScans(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        float gamma = -7.0f;
        float tau = -7.0f;
        const bool read = ScanGammaTau(c.line, gamma, tau);
        EXPECT_EQ(read, c.read) << "line \"" << Printable(c.line) << '"';
        if (read && c.read) {
            EXPECT_EQ(Bits(gamma), Bits(c.gamma)) << "gamma of \"" << Printable(c.line) << '"';
            EXPECT_EQ(Bits(tau), Bits(c.tau)) << "tau of \"" << Printable(c.line) << '"';
        }
        // The same line as a C string, read in place up to its NUL.
        const std::string text(c.line);
        float textGamma = -7.0f;
        float textTau = -7.0f;
        const bool textRead = ScanGammaTau(text.c_str(), textGamma, textTau);
        EXPECT_EQ(textRead, c.read) << "C string \"" << Printable(c.line) << '"';
        if (textRead && c.read) {
            EXPECT_EQ(Bits(textGamma), Bits(c.gamma)) << "C string gamma of " << Printable(c.line);
            EXPECT_EQ(Bits(textTau), Bits(c.tau)) << "C string tau of " << Printable(c.line);
        }
        float exactGamma = -7.0f;
        float exactTau = -7.0f;
        EXPECT_EQ(ScanGammaTauExact(c.line, exactGamma, exactTau), c.read)
            << "exact path, line \"" << Printable(c.line) << '"';
        if (read && c.read) {
            EXPECT_EQ(Bits(exactGamma), Bits(c.gamma)) << "exact gamma of " << Printable(c.line);
            EXPECT_EQ(Bits(exactTau), Bits(c.tau)) << "exact tau of " << Printable(c.line);
        }
    }
}

TEST(ScanGammaTau, ReadsTheCommonShapes) {
    ExpectScans({
        {"1.5 2e-3", true, 1.5f, 0.002f},
        {"1.234567e-03 0.0012345", true, 1.234567e-03f, 0.0012345f},
        {"-12.5\t1e-7", true, -12.5f, 1e-7f},
        {"5. .5", true, 5.0f, 0.5f},
        {"+1E+2 -3.25E-2", true, 100.0f, -3.25e-2f},
        {"000123.4500 -0.000", true, 123.45f, -0.0f},
        {"0 -0", true, 0.0f, -0.0f},
        {"0e999999 123456789", true, 0.0f, 123456789.0f},
        {"9.87654321e+15 1.17549435e-38", true, 9.87654321e+15f, 1.17549435e-38f},
        {"3.14159265358979323846 2.718281828459045", true, 3.14159265358979323846f,
         2.718281828459045f},
    });
}

TEST(ScanGammaTau, SkipsOnlyCLocaleWhitespaceAndIgnoresWhatFollows) {
    ExpectScans({
        {" \t\n\v\f\r1 \t\n\v\f\r2", true, 1.0f, 2.0f},
        {"1\v2", true, 1.0f, 2.0f},
        {"1 2 3", true, 1.0f, 2.0f},
        {"1 2abc", true, 1.0f, 2.0f},
        {"1 2\r\n", true, 1.0f, 2.0f},
        // The blank in "%g %g" matches no whitespace at all just as well.
        {"1-2", true, 1.0f, -2.0f},
        {"1.2.3", true, 1.2f, 0.3f},
        {"\x85 1 2", false, 0, 0},
        {"\xa0 1 2", false, 0, 0},
        {"1\xa0 2", false, 0, 0},
        {"", false, 0, 0},
        {" \t ", false, 0, 0},
        {"1", false, 0, 0},
        {"1 ", false, 0, 0},
        {"1 ,2", false, 0, 0},
        {"1,2", false, 0, 0},
        {"abc 1 2", false, 0, 0},
    });
}

TEST(ScanGammaTau, StopsAtTheFirstNulByte) {
    ExpectScans({
        {std::string_view("1\0 2", 4), false, 0, 0},
        {std::string_view("1 2\0 garbage", 12), true, 1.0f, 2.0f},
        {std::string_view("\0 1 2", 5), false, 0, 0},
        {std::string_view("1 2\0"
                          "5",
                          5),
         true, 1.0f, 2.0f},
        {std::string_view("1 0x\0"
                          "1",
                          6),
         false, 0, 0},
        {std::string_view("1 in\0f", 6), false, 0, 0},
    });
}

// What glibc's scanf consumes of malformed or partial numbers decides where the second one starts.
TEST(ScanGammaTau, ConsumesCharactersAsGlibcScanfDoes) {
    ExpectScans({
        {"1e 2", true, 1.0f, 2.0f},
        {"1e+ 2", true, 1.0f, 2.0f},
        {"1e-+2", true, 1.0f, 2.0f},
        {"1ex2", false, 0, 0},
        {"1e5e5", false, 0, 0},
        {"1.5e3.5", true, 1500.0f, 0.5f},
        {"-.5-.5", true, -0.5f, -0.5f},
        {"+ 1 2", false, 0, 0},
        {"+-1 2", false, 0, 0},
        {". 1", false, 0, 0},
        {"-.e5 1", false, 0, 0},
        {"e5 1", false, 0, 0},
        {"1 .", false, 0, 0},
        {"1 -", false, 0, 0},
        {"0x 1", false, 0, 0},
        {"1 0x", false, 0, 0},
        {"-0x 1", false, 0, 0},
        {"0xp1 1", false, 0, 0},
        {"0x. 5", true, 0.0f, 5.0f},
        {"-0x. 5", true, -0.0f, 5.0f},
        {"0x.p1 5", false, 0, 0},
        {"0x1p 5", true, 1.0f, 5.0f},
        {"0x1p+ 5", true, 1.0f, 5.0f},
        {"0xe+1", true, 14.0f, 1.0f},
        {"0x1p1p1", false, 0, 0},
        {"00x1 2", false, 0, 0},
        {"0x1.2.3", true, 1.125f, 0.3f},
        {"nan 2", true, std::bit_cast<float>(0x7fc00000u), 2.0f},
        {"nan2", true, std::bit_cast<float>(0x7fc00000u), 2.0f},
        {"nan(1) 2", false, 0, 0},
        {"1 nan(", true, 1.0f, std::bit_cast<float>(0x7fc00000u)},
        {"na 2", false, 0, 0},
        {"inf2", true, kInfinity, 2.0f},
        {"infinityinf", true, kInfinity, kInfinity},
        {"infINITY 3", true, kInfinity, 3.0f},
        {"infi 2", false, 0, 0},
        {"1 infin", false, 0, 0},
        {"in 2", false, 0, 0},
    });
}

TEST(ScanGammaTau, RoundsStraightToFloatWithTiesToEven) {
    ExpectScans({
        {"16777217 16777219", true, 16777216.0f, 16777220.0f},
        {"1.000000059604644775390625 1.000000059604644775390626", true, 1.0f, 0x1.000002p0f},
        {"1.000000178813934326171875 1.000000178813934326171874", true, 0x1.000004p0f,
         0x1.000002p0f},
        // The nearest doubles to these are exactly the midpoint 1 + 2^-24, so narrowing the
        // double would round both down.
        {"1.0000000596046448 1.0000000596046447", true, 0x1.000002p0f, 1.0f},
        {"-1.0000000596046448 -1.0000000596046447", true, -0x1.000002p0f, -1.0f},
        {"5.000000298023223876953125e-1 0.50000002980232238769531251", true, 0.5f, 0x1.000002p-1f},
    });
}

TEST(ScanGammaTau, HandlesSubnormalsOverflowAndUnderflow) {
    ExpectScans({
        {"1e-40 1.4e-45", true, 1e-40f, 0x1p-149f},
        {"7.006e-46 7.01e-46", true, 0.0f, 0x1p-149f},
        {"-1e-50 1e-39", true, -0.0f, 1e-39f},
        {"1.1754942e-38 1.17549435e-38", true, 0x1.fffffcp-127f, FLT_MIN},
        {"3.4028235e38 3.40282357e38", true, FLT_MAX, kInfinity},
        {"340282356779733661637539395458142568447 340282356779733661637539395458142568448", true,
         FLT_MAX, kInfinity},
        {"1e39 -1e400", true, kInfinity, -kInfinity},
        {"1e-99999999999999999999 -1e99999999999999999999", true, 0.0f, -kInfinity},
        {"0x1p-150 0x1.000002p-150", true, 0.0f, 0x1p-149f},
        {"0x1.fffffefp127 0x1.ffffffp127", true, FLT_MAX, kInfinity},
        {"0x1p-1000 -0x1p1000", true, 0.0f, -kInfinity},
    });
}

TEST(ScanGammaTau, ReadsLongMantissasExactly) {
    const std::string zeros(1000, '0');
    const std::string tinyTimesHuge = "0." + zeros + "1e1001 1" + zeros + "e-1000";
    const std::string pastKeptDigits = "16777217." + zeros + "1 16777217." + zeros;
    const std::string hexSticky = "0x1.000001000000000000001p0 0x1.000001p0";
    ExpectScans({
        {tinyTimesHuge, true, 1.0f, 1.0f},
        {pastKeptDigits, true, 16777218.0f, 16777216.0f},
        {hexSticky, true, 0x1.000002p0f, 1.0f},
    });
}

TEST(ScanGammaTau, ReadsSpecialValuesWithTheirSigns) {
    ExpectScans({
        {"nan -nan", true, std::bit_cast<float>(0x7fc00000u), std::bit_cast<float>(0xffc00000u)},
        {"+NaN -NAN", true, std::bit_cast<float>(0x7fc00000u), std::bit_cast<float>(0xffc00000u)},
        {"-inf +INFINITY", true, -kInfinity, kInfinity},
        {"Inf 0X1P-1", true, kInfinity, 0.5f},
    });
}

// A deterministic source of numbers and lines in the shapes that stress a scanner.
class LineGenerator : SplitMix64 {
  public:
    explicit LineGenerator(std::uint64_t seed) : SplitMix64(seed) {}

    std::string Line() {
        static constexpr std::array<std::string_view, 6> kLeading = {"",  "",    "",
                                                                     " ", "\t ", "\r\n "};
        static constexpr std::array<std::string_view, 10> kSeparators = {
            " ", " ", " ", "\t", "  ", "\n", "\v\f\r", "", ",", " , "};
        static constexpr std::array<std::string_view, 9> kTrailing = {
            "", "", "", "\r", "\n", " junk", "x", " 3 4", "e"};
        std::string line(Pick(kLeading));
        line += Number();
        line += Pick(kSeparators);
        line += Number();
        line += Pick(kTrailing);
        if (Below(40) == 0 && !line.empty()) {
            line[Below(line.size())] = '\0';
        }
        return line;
    }

    std::string Number() {
        switch (Below(16)) {
            case 0:
            case 1:
            case 2:
                return DataValue();
            case 3:
            case 4:
                return DigitString();
            case 5:
                return Midpoint(/*exact=*/true);
            case 6:
                return Midpoint(/*exact=*/false);
            case 7:
                return MidpointNeighbour();
            case 8:
                return ShortestFloat();
            case 9:
                return NearLimits();
            case 10:
                return Special();
            case 11:
                return Hex();
            case 12:
                return Degenerate();
            case 13:
                return std::to_string(Next() >> Below(64));
            case 14:
                return "0." + std::string(Below(50), '0') + DigitString();
            default:
                return Sign() + DigitString() + "e" + std::to_string(ExponentNearLimits());
        }
    }

  private:
    template <typename Array>
    std::string_view Pick(const Array& choices) {
        return choices[Below(choices.size())];
    }

    std::string Sign() {
        static constexpr std::array<std::string_view, 4> kSigns = {"", "", "-", "+"};
        return std::string(Pick(kSigns));
    }

    std::string Digits(std::size_t count) {
        std::string digits;
        for (std::size_t i = 0; i < count; ++i) {
            digits += static_cast<char>('0' + Below(10));
        }
        return digits;
    }

    float RandomFiniteFloat() {
        float value = 0.0f;
        do {
            value = std::bit_cast<float>(static_cast<std::uint32_t>(Next()));
        } while (!std::isfinite(value));
        return value;
    }

    static std::string ToText(double value, std::chars_format format, int precision) {
        char text[400];
        return std::string(text,
                           std::to_chars(text, text + sizeof text, value, format, precision).ptr);
    }

    // Values as measurement tables hold them, in fixed and exponential notation.
    std::string DataValue() {
        const double mantissa = 1.0 + static_cast<double>(Next() >> 11) * 0x1p-53 * 9.0;
        const int exponent = static_cast<int>(Below(25)) - 12;
        const double value = mantissa * std::pow(10.0, exponent) * (Below(4) == 0 ? -1.0 : 1.0);
        const int precision = static_cast<int>(Below(10));
        if (Below(2) == 0 && exponent > -8 && exponent < 9) {
            return ToText(value, std::chars_format::fixed, precision);
        }
        std::string text = ToText(value, std::chars_format::scientific, precision);
        if (Below(4) == 0) {
            text[text.find('e')] = 'E';
        }
        return text;
    }

    std::string DigitString() {
        std::string text = Sign();
        text += Digits(Below(4) == 0 ? Below(26) : Below(10));
        if (Below(2) == 0) {
            text += '.';
            text += Digits(Below(4) == 0 ? Below(26) : Below(10));
        }
        if (Below(2) == 0) {
            text += Below(2) == 0 ? 'e' : 'E';
            text += Sign();
            text += Digits(Below(4));
        }
        return text;
    }

    // The exact decimal of the point halfway between a float and the next one up, or that
    // decimal cut short (just below it) or with a 1 appended (just above it).
    std::string Midpoint(bool exact) {
        float low = std::fabs(RandomFiniteFloat());
        if (low == FLT_MAX) {
            low = std::nextafter(low, 0.0f);
        }
        const float high = std::nextafter(low, kInfinity);
        const double middle = (static_cast<double>(low) + static_cast<double>(high)) / 2;
        std::string text = ToText(middle, std::chars_format::scientific, 120);
        const std::size_t e = text.find('e');
        std::string mantissa = text.substr(0, e);
        const std::string exponent = text.substr(e);
        while (mantissa.back() == '0') {
            mantissa.pop_back();
        }
        if (!exact) {
            if (Below(2) == 0 && mantissa.size() > 3) {
                mantissa.resize(mantissa.size() - 1 - Below(mantissa.size() - 3));
            } else {
                mantissa += std::string(Below(3), '0') + "1";
            }
        }
        return Sign() + mantissa + exponent;
    }

    // A decimal close enough to a float midpoint that its nearest double is that midpoint.
    std::string MidpointNeighbour() {
        const float low = std::fabs(RandomFiniteFloat());
        const float high = std::nextafter(low, kInfinity);
        const double middle = (static_cast<double>(low) + static_cast<double>(high)) / 2;
        const double near =
            Below(3) == 0 ? std::nextafter(middle, Below(2) == 0 ? 0.0 : 1e300) : middle;
        return Sign() +
               ToText(near, std::chars_format::scientific, 14 + static_cast<int>(Below(5)));
    }

    std::string ShortestFloat() {
        char text[64];
        const float value = RandomFiniteFloat();
        std::string shortest(text, std::to_chars(text, text + sizeof text, value).ptr);
        return Below(8) == 0 ? "+" + shortest : shortest;
    }

    std::string NearLimits() {
        static constexpr std::array<std::string_view, 12> kBases = {
            "3.4028234663852886e38",
            "3.4028235677973366163753939545814256e38",
            "340282356779733661637539395458142568448",
            "1.1754943508222875e-38",
            "1.1754942106924411e-38",
            "1.4012984643248171e-45",
            "7.0064923216240853546186479164495807e-46",
            "2.1019476964872256e-45",
            "8.9999999e37",
            "9.007199254740993e15",
            "4.9406564584124654e-324",
            "1.7976931348623157e308",
        };
        std::string text(Pick(kBases));
        if (Below(2) == 0) {
            const std::size_t e = text.find('e');
            text.insert(e == std::string::npos ? text.size() : e, Digits(1 + Below(4)));
        }
        return Sign() + text;
    }

    int ExponentNearLimits() {
        static constexpr std::array<int, 6> kCentres = {-46, -39, 38, -325, 308, 0};
        return kCentres[Below(kCentres.size())] + static_cast<int>(Below(15)) - 7;
    }

    std::string Special() {
        static constexpr std::array<std::string_view, 12> kWords = {
            "nan",   "inf",      "infinity", "nan(", "nan(123)", "nan()",
            "infin", "infinite", "in",       "na",   "nanq",     "infinityx"};
        std::string word(Pick(kWords));
        for (char& c : word) {
            if (c >= 'a' && c <= 'z' && Below(3) == 0) {
                c = static_cast<char>(c - 'a' + 'A');
            }
        }
        return Sign() + word;
    }

    std::string Hex() {
        static constexpr std::string_view kHexDigits = "0123456789abcdefABCDEF";
        std::string text = Sign() + (Below(4) == 0 ? "0X" : "0x");
        const std::size_t integerDigits = Below(4) == 0 ? Below(20) : Below(4);
        for (std::size_t i = 0; i < integerDigits; ++i) {
            text += kHexDigits[Below(kHexDigits.size())];
        }
        if (Below(2) == 0) {
            text += '.';
            const std::size_t fractionDigits = Below(4) == 0 ? Below(20) : Below(7);
            for (std::size_t i = 0; i < fractionDigits; ++i) {
                text += kHexDigits[Below(kHexDigits.size())];
            }
        }
        if (Below(3) != 0) {
            static constexpr std::array<int, 5> kCentres = {0, 127, -126, -149, -1100};
            text += Below(2) == 0 ? 'p' : 'P';
            text += Sign();
            if (Below(6) != 0) {
                const int exponent =
                    kCentres[Below(kCentres.size())] + static_cast<int>(Below(9)) - 4;
                text += std::to_string(exponent < 0 ? -exponent : exponent);
            }
        }
        return text;
    }

    std::string Degenerate() {
        static constexpr std::array<std::string_view, 18> kTexts = {
            "+",  "-",   ".",    "+.",   "-.",   "e5",    "1e",    "1e+", "1e-",
            "0x", "0x.", "-.e5", "0xp1", "00x1", "0x.p1", "0x1p-", "",    "0."};
        return std::string(Pick(kTexts));
    }
};

constexpr int kGeneratedLines = 200000;

TEST(ScanGammaTau, FastPathsAgreeWithTheExactPath) {
    LineGenerator generator(0x5eed0001u);
    std::vector<std::string> mismatches;
    for (int i = 0; i < kGeneratedLines; ++i) {
        const std::string line = generator.Line();
        float gamma = 0.0f;
        float tau = 0.0f;
        float exactGamma = 0.0f;
        float exactTau = 0.0f;
        const bool read = ScanGammaTau(line, gamma, tau);
        const bool exactRead = ScanGammaTauExact(line, exactGamma, exactTau);
        if (read != exactRead ||
            (read && (Bits(gamma) != Bits(exactGamma) || Bits(tau) != Bits(exactTau)))) {
            mismatches.push_back(Printable(line));
        }
        float textGamma = 0.0f;
        float textTau = 0.0f;
        const bool textRead = ScanGammaTau(line.c_str(), textGamma, textTau);
        if (textRead != exactRead || (textRead && (Bits(textGamma) != Bits(exactGamma) ||
                                                   Bits(textTau) != Bits(exactTau)))) {
            mismatches.push_back("C string: " + Printable(line));
        }
    }
    EXPECT_TRUE(mismatches.empty()) << mismatches.size() << " lines differ, the first: \""
                                    << (mismatches.empty() ? "" : mismatches.front()) << '"';
}

TEST(ScanGammaTau, MatchesGlibcSscanf) {
#if defined(__GLIBC__)
    LineGenerator generator(0x5eed0002u);
    std::vector<std::string> mismatches;
    for (int i = 0; i < kGeneratedLines; ++i) {
        const std::string line = generator.Line();
        float gamma = 0.0f;
        float tau = 0.0f;
        float expectedGamma = 0.0f;
        float expectedTau = 0.0f;
        const bool read = ScanGammaTau(line, gamma, tau);
        const bool expectedRead =
            std::sscanf(line.c_str(), "%g %g", &expectedGamma, &expectedTau) == 2;
        if (read != expectedRead ||
            (read && (Bits(gamma) != Bits(expectedGamma) || Bits(tau) != Bits(expectedTau)))) {
            mismatches.push_back(Printable(line));
        }
        float exactGamma = 0.0f;
        float exactTau = 0.0f;
        const bool exactRead = ScanGammaTauExact(line, exactGamma, exactTau);
        if (exactRead != expectedRead || (exactRead && (Bits(exactGamma) != Bits(expectedGamma) ||
                                                        Bits(exactTau) != Bits(expectedTau)))) {
            mismatches.push_back("exact path: " + Printable(line));
        }
    }
    ASSERT_TRUE(mismatches.empty()) << mismatches.size() << " lines differ, the first: \""
                                    << (mismatches.empty() ? "" : mismatches.front()) << '"';
#else
    GTEST_SKIP() << "glibc's sscanf is the reference, and this C library is not glibc";
#endif
}

}  // namespace
