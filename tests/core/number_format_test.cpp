#include "core/number_format.h"

#include <gtest/gtest.h>

#include "support/split_mix.h"

#include <array>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
const double kNan = std::bit_cast<double>(std::uint64_t{0x7ff8000000000000});
const double kNegativeNan = std::bit_cast<double>(std::uint64_t{0xfff8000000000000});

std::string Fixed(double value) {
    char text[kMaxFixed6Length];
    return std::string(text, FormatFixed6(value, text));
}

std::string General(double value) {
    char text[kMaxGeneral6Length];
    return std::string(text, FormatGeneral6(value, text));
}

std::string Row(double frequency, double gamma) {
    char text[kMaxRowLength];
    return std::string(text, FormatRow(frequency, gamma, text));
}

std::string ExactRow(double frequency, double gamma) {
    char text[kMaxRowLength];
    return std::string(text, FormatRowExact(frequency, gamma, text));
}

void ExpectFixed(const std::vector<std::pair<double, std::string>>& cases) {
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(Fixed(value), expected) << "value " << std::hexfloat << value;
        char text[kMaxFixed6Length];
        EXPECT_EQ(std::string(text, FormatFixed6Exact(value, text)), expected)
            << "exact path, value " << std::hexfloat << value;
    }
}

void ExpectGeneral(const std::vector<std::pair<double, std::string>>& cases) {
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(General(value), expected) << "value " << std::hexfloat << value;
        char text[kMaxGeneral6Length];
        EXPECT_EQ(std::string(text, FormatGeneral6Exact(value, text)), expected)
            << "exact path, value " << std::hexfloat << value;
    }
}

TEST(FormatFixed6, RoundsToSixDecimalsWithTiesToEven) {
    ExpectFixed({
        {0.0, "0.000000"},
        {1.5, "1.500000"},
        {159.15494309189535, "159.154943"},
        {123456789.123456789, "123456789.123457"},
        {0x1p-20, "0.000001"},
        {0x1p-21, "0.000000"},
        {1.0 - 0x1p-21, "1.000000"},
        // k/128 has seven decimals ending in 5: an exact tie.
        {1.0 / 128, "0.007812"},
        {3.0 / 128, "0.023438"},
        {-5.0 / 128, "-0.039062"},
        {1234567.0 + 1.0 / 128, "1234567.007812"},
        {999999999.0 + 127.0 / 128, "999999999.992188"},
        {1e9, "1000000000.000000"},
        {1e15 + 0.5, "1000000000000000.500000"},
        {0x1p60, "1152921504606846976.000000"},
    });
}

TEST(FormatFixed6, KeepsTheSignOfNegativeZeroAndOfValuesThatRoundToZero) {
    ExpectFixed({
        {-0.0, "-0.000000"},
        {-1e-9, "-0.000000"},
        {-4e-324, "-0.000000"},
        {4e-324, "0.000000"},
        {-2.5, "-2.500000"},
    });
}

TEST(FormatFixed6, PrintsInfinitiesAndNans) {
    ExpectFixed({{kInfinity, "inf"}, {-kInfinity, "-inf"}, {kNan, "nan"}, {kNegativeNan, "-nan"}});
}

TEST(FormatFixed6, PrintsTheLargestDoubleInFull) {
    const std::string text = Fixed(-DBL_MAX);
    EXPECT_EQ(text.size(), kMaxFixed6Length);
    EXPECT_EQ(text.substr(0, 18), "-17976931348623157");
    EXPECT_EQ(text.substr(text.size() - 7), ".000000");
}

TEST(FormatGeneral6, UsesFixedOrExponentialNotationAsPrintfDoes) {
    ExpectGeneral({
        {0.0, "0"},
        {-0.0, "-0"},
        {1.0, "1"},
        {-2.5, "-2.5"},
        {123456.0, "123456"},
        {1234567.0, "1.23457e+06"},
        {1e6, "1e+06"},
        {100000.0, "100000"},
        {0.0001, "0.0001"},
        {0.00012345678, "0.000123457"},
        {0.00001, "1e-05"},
        {1.5e10, "1.5e+10"},
        {1e-300, "1e-300"},
        {-1.5e300, "-1.5e+300"},
        {4e-324, "4.94066e-324"},
        {DBL_MAX, "1.79769e+308"},
        {static_cast<double>(0.1f), "0.1"},
        {static_cast<double>(FLT_MAX), "3.40282e+38"},
        {static_cast<double>(0x1p-149f), "1.4013e-45"},
    });
}

TEST(FormatGeneral6, RoundsToSixDigitsWithTiesToEvenAndCarriesIntoTheExponent) {
    ExpectGeneral({
        {1234565.0, "1.23456e+06"},
        {1234575.0, "1.23458e+06"},
        {123456.5, "123456"},
        {123457.5, "123458"},
        {999999.5, "1e+06"},
        {999998.5, "999998"},
        {9999995.0, "1e+07"},
        {std::nextafter(999999.5, 0.0), "999999"},
        {std::nextafter(99999.95, 1.0), "99999.9"},
        {0.000099999951, "0.0001"},
        {0.00009999994, "9.99999e-05"},
        {std::nextafter(1e-5, 0.0), "1e-05"},
    });
}

TEST(FormatGeneral6, PrintsInfinitiesAndNans) {
    ExpectGeneral(
        {{kInfinity, "inf"}, {-kInfinity, "-inf"}, {kNan, "nan"}, {kNegativeNan, "-nan"}});
}

TEST(FormatRow, JoinsBothNumbersIntoOneLine) {
    EXPECT_EQ(Row(1.5, 2e-3), "1.500000, 0.002\n");
    EXPECT_EQ(Row(-kInfinity, kNegativeNan), "-inf, -nan\n");
    EXPECT_EQ(Row(0.15915494309189535 / 1e-3, static_cast<double>(1.234567e-3f)),
              "159.154943, 0.00123457\n");
    const std::string longest = Row(-DBL_MAX, -DBL_MAX);
    EXPECT_EQ(longest.size(), kMaxFixed6Length + 2 + kMaxGeneral6Length + 1);
    EXPECT_EQ(longest.substr(longest.size() - 23), ".000000, -1.79769e+308\n");
}

// A deterministic source of the doubles a conversion formats, and of the ones that stress it.
class ValueGenerator : SplitMix64 {
  public:
    explicit ValueGenerator(std::uint64_t seed) : SplitMix64(seed) {}

    double Frequency() {
        switch (Below(8)) {
            case 0:
                return FixedTie();
            case 1:
                return std::nextafter(FixedTie(), Below(2) == 0 ? 0.0 : kInfinity);
            case 2:
                return RandomDouble();
            case 3:
                return DecadeEdge();
            default:
                return 0.15915494580678602 / static_cast<double>(DataFloat());
        }
    }

    double Gamma() {
        switch (Below(8)) {
            case 0:
                return GeneralTie();
            case 1:
                return std::nextafter(GeneralTie(), Below(2) == 0 ? 0.0 : kInfinity);
            case 2:
                return DecadeEdge();
            case 3:
                return static_cast<double>(
                    std::bit_cast<float>(static_cast<std::uint32_t>(Next())));
            case 4:
                return Below(4) == 0 ? RandomDouble() : static_cast<double>(DataFloat());
            default:
                return static_cast<double>(DataFloat() * DataFloat());
        }
    }

  private:
    double Sign() { return Below(4) == 0 ? -1.0 : 1.0; }

    // Floats as a measurement table yields them: a few significant digits, moderate exponents.
    float DataFloat() {
        const double mantissa = 1.0 + static_cast<double>(Below(900000)) / 100000.0;
        const int exponent = static_cast<int>(Below(20)) - 12;
        return static_cast<float>(Sign() * mantissa * std::pow(10.0, exponent));
    }

    // Any double, special values included, though most often one of a printable size.
    double RandomDouble() {
        std::uint64_t bits = Next();
        if (Below(8) != 0) {
            const std::uint64_t biased = 1023 - 40 + Below(80);
            bits = (bits & 0x800fffffffffffffu) | biased << 52;
        }
        return std::bit_cast<double>(bits);
    }

    // An odd multiple of 2^-7: its seventh decimal is an exact 5.
    double FixedTie() {
        const double odd = static_cast<double>((Next() >> (24 + Below(40))) | 1);
        return Sign() * odd / 128.0;
    }

    // A double whose exact decimal has seven significant digits, the last a 5: (10q + 5)·10^j,
    // or n/2^k for odd n in the range that gives seven digits.
    double GeneralTie() {
        if (Below(2) == 0) {
            const double digits = static_cast<double>(1000005 + 10 * Below(900000));
            return Sign() * digits * std::pow(10.0, static_cast<int>(Below(9)));
        }
        const int k = 1 + static_cast<int>(Below(9));
        std::uint64_t fiveToK = 1;
        for (int i = 0; i < k; ++i) {
            fiveToK *= 5;
        }
        const std::uint64_t low = (1000000 + fiveToK - 1) / fiveToK;
        const std::uint64_t high = 10000000 / fiveToK;
        std::uint64_t odd = (low + Below(static_cast<std::size_t>(high - low))) | 1;
        if (odd >= high) {
            odd -= 2;
        }
        return Sign() * std::ldexp(static_cast<double>(odd), -k);
    }

    // Values just around 10^k·(1 - 5·10^-7), where the six digits carry into the next decade, or
    // around the nearest double of 10^k itself, where the decade begins.
    double DecadeEdge() {
        const int exponent = static_cast<int>(Below(70)) - 30;
        const double power = std::strtod(("1e" + std::to_string(exponent)).c_str(), nullptr);
        double value = Below(2) == 0 ? power : (1.0 - 5e-7) * power;
        for (std::uint64_t steps = Below(4); steps > 0; --steps) {
            value = std::nextafter(value, Below(2) == 0 ? 0.0 : kInfinity);
        }
        return Sign() * value;
    }
};

constexpr int kGeneratedRows = 200000;

TEST(FormatRow, FastPathsAgreeWithTheExactPath) {
    ValueGenerator generator(0x5eed0003u);
    int mismatches = 0;
    std::string first;
    for (int i = 0; i < kGeneratedRows; ++i) {
        const double frequency = generator.Frequency();
        const double gamma = generator.Gamma();
        const std::string row = Row(frequency, gamma);
        const std::string expected = ExactRow(frequency, gamma);
        if (row != expected && mismatches++ == 0) {
            first = row + " instead of " + expected;
        }
    }
    EXPECT_EQ(mismatches, 0) << "the first: " << first;
}

TEST(FormatRowCrLf, WritesFormatRowsTextEndingInCrLf) {
    ValueGenerator generator(0x5eed0005u);
    std::vector<std::pair<double, double>> values = {{-DBL_MAX, -DBL_MAX}, {0.0, -0.0}};
    for (int i = 0; i < kGeneratedRows / 10; ++i) {
        values.emplace_back(generator.Frequency(), generator.Gamma());
    }
    int mismatches = 0;
    std::string first;
    for (const auto& [frequency, gamma] : values) {
        char text[kMaxRowLength + 1];
        const std::string row(text, FormatRowCrLf(frequency, gamma, text));
        std::string expected = Row(frequency, gamma);
        expected.insert(expected.size() - 1, "\r");
        if (row != expected && mismatches++ == 0) {
            first = row + " instead of " + expected;
        }
    }
    EXPECT_EQ(mismatches, 0) << "the first: " << first;
}

TEST(FormatRow, MatchesGlibcPrintf) {
#if defined(__GLIBC__)
    ValueGenerator generator(0x5eed0004u);
    int mismatches = 0;
    std::string first;
    for (int i = 0; i < kGeneratedRows; ++i) {
        const double frequency = generator.Frequency();
        const double gamma = generator.Gamma();
        char expected[kMaxRowLength];
        std::snprintf(expected, sizeof expected, "%f, %g\n", frequency, gamma);
        const std::string row = Row(frequency, gamma);
        const std::string exactRow = ExactRow(frequency, gamma);
        if ((row != expected || exactRow != expected) && mismatches++ == 0) {
            first = row + " and " + exactRow + " instead of " + expected;
        }
    }
    EXPECT_EQ(mismatches, 0) << "the first: " << first;
#else
    GTEST_SKIP() << "glibc's printf is the reference, and this C library is not glibc";
#endif
}

}  // namespace
