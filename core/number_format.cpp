#include "core/number_format.h"

#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace {

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

static_assert(std::endian::native == std::endian::little,
              "the digit words below put the first character in the lowest byte");

constexpr std::uint64_t kZeroCharacters = 0x3030303030303030u;

// The eight decimal digits of `value` (below 10^8), leading zeros included, one digit value per
// byte and the most significant in the lowest byte: split into halves of four digits, those into
// pairs and the pairs into digits, every lane at once, dividing by multiplication.
inline std::uint64_t EightDigits(std::uint32_t value) {
    const std::uint64_t halves = value / 10000 | std::uint64_t{value % 10000} << 32;
    const std::uint64_t hundreds = ((halves * 10486) >> 20) & 0x0000007f0000007fu;
    const std::uint64_t pairs = hundreds | (halves - 100 * hundreds) << 16;
    const std::uint64_t tens = ((pairs * 103) >> 10) & 0x000f000f000f000fu;
    return tens | (pairs - 10 * tens) << 8;
}

inline void Store8(char* out, std::uint64_t characters) {
    std::memcpy(out, &characters, 8);
}

// The two characters of each number below 100, the first in the low byte.
constexpr auto kDigitPairs = [] {
    std::array<std::uint16_t, 100> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[i] = static_cast<std::uint16_t>(('0' + i / 10) | ('0' + i % 10) << 8);
    }
    return pairs;
}();

// The six digit characters of `value` (below 10^6), leading zeros included, the first in the
// lowest byte; the top two bytes are zero.
inline std::uint64_t SixDigitCharacters(std::uint32_t value) {
    const std::uint32_t high = value / 10000;
    const std::uint32_t rest = value - high * 10000;
    const std::uint32_t middle = rest / 100;
    const std::uint32_t low = rest - middle * 100;
    return std::uint64_t{kDigitPairs[high]} | std::uint64_t{kDigitPairs[middle]} << 16 |
           std::uint64_t{kDigitPairs[low]} << 32;
}

// Writes `value` (below 10^8) without leading zeros, eight bytes stored; returns the text's end.
inline char* WriteUnsigned(char* out, std::uint32_t value) {
    const std::uint64_t digits = EightDigits(value);
    // Marking the last digit keeps one digit for zero.
    const int leadingZeros = std::countr_zero(digits | std::uint64_t{1} << 56) >> 3;
    Store8(out, (digits >> (8 * leadingZeros)) + kZeroCharacters);
    return out + 8 - leadingZeros;
}

// Lays out six significant digits d.ddddd × 10^exponent as %g does: fixed notation for exponents
// from -4 to 5, exponential otherwise (whose exponent here has two digits), trailing zeros and a
// bare point removed. Stores whole words, all within kMaxGeneral6Length bytes.
char* LayOutGeneral(bool negative, std::uint32_t value, int exponent, char* out) {
    const std::uint64_t characters = SixDigitCharacters(value);
    // Bytes 6 and 7 are empty, the ones below them hold the digits, the first nonzero.
    const int significant = 8 - (std::countl_zero(characters - 0x0000303030303030u) >> 3);
    *out = '-';
    out += negative ? 1 : 0;
    if (exponent >= 0 && exponent < 6) {
        const int integerDigits = exponent + 1;
        if (integerDigits == 6) {
            Store8(out, characters);
            return out + 6;
        }
        const std::uint64_t low = characters & ((std::uint64_t{1} << (8 * integerDigits)) - 1);
        const std::uint64_t high = characters >> (8 * integerDigits) << (8 * integerDigits + 8);
        Store8(out, low | std::uint64_t{'.'} << (8 * integerDigits) | high);
        return out + (significant <= integerDigits ? integerDigits : significant + 1);
    }
    if (exponent < 0 && exponent >= -4) {
        Store8(out, 0x3030303030302e30u);  // "0.000000"
        out += 1 - exponent;
        std::memcpy(out, &characters, 6);
        return out + significant;
    }
    Store8(out, (characters & 0xff) | std::uint64_t{'.'} << 8 | (characters >> 8) << 16);
    out += significant == 1 ? 1 : significant + 1;
    const int magnitude = exponent < 0 ? -exponent : exponent;
    out[0] = 'e';
    out[1] = exponent < 0 ? '-' : '+';
    out[2] = static_cast<char>('0' + magnitude / 10);
    out[3] = static_cast<char>('0' + magnitude % 10);
    return out + 4;
}

// Rounds `scaled`, the correctly rounded double of an exact product below 2^51, to the integer
// nearest that exact product. Every half-integer below 2^52 is a double and rounding is monotonic,
// so the exact product lies on the same side of each half-integer as `scaled` does, unless
// `scaled` is a half-integer itself: then the exact product may be a tie or lie on either side,
// and this declines. Adding 2^52 leaves no fraction bits, so the sum rounds `scaled` to an
// integer, which its low 52 bits then hold.
inline bool RoundScaled(double scaled, std::uint64_t& rounded) {
    constexpr double kTwoTo52 = 4503599627370496.0;
    const double shifted = scaled + kTwoTo52;
    const double offset = scaled - (shifted - kTwoTo52);
    if (offset == 0.5 || offset == -0.5) {
        return false;
    }
    rounded = std::bit_cast<std::uint64_t>(shifted) & ((std::uint64_t{1} << 52) - 1);
    return true;
}

inline double ScaleByPowerOfTen(double value, int power) {
    return power < 0 ? value / kPowersOfTen[-power] : value * kPowersOfTen[power];
}

}  // namespace

char* FormatFixed6(double value, char* out) {
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    const bool negative = (bits >> 63) != 0;
    const double magnitude = std::bit_cast<double>(bits & ~(std::uint64_t{1} << 63));
    // Below 10^9 the product with 10^6 stays under 2^50 and its integer part fits the digits below.
    if (magnitude < 1e9) {
        const double scaled = magnitude * 1e6;
        std::uint64_t rounded = 0;
        if (RoundScaled(scaled, rounded)) {
            *out = '-';
            out += negative ? 1 : 0;
            const auto integer = static_cast<std::uint32_t>(rounded / 1000000);
            const auto fraction = static_cast<std::uint32_t>(rounded % 1000000);
            if (integer < 100000000) {
                out = WriteUnsigned(out, integer);
            } else {
                // Up to 10^9: the leading one or two digits, then eight.
                const std::uint32_t leading = integer / 100000000;
                if (leading >= 10) {
                    *out++ = '1';
                }
                *out++ = static_cast<char>('0' + leading % 10);
                Store8(out, EightDigits(integer % 100000000) + kZeroCharacters);
                out += 8;
            }
            Store8(out, SixDigitCharacters(fraction) << 8 | '.');
            return out + 7;
        }
    }
    return FormatFixed6Exact(value, out);
}

char* FormatGeneral6(double value, char* out) {
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    const bool negative = (bits >> 63) != 0;
    const double magnitude = std::bit_cast<double>(bits & ~(std::uint64_t{1} << 63));
    if (magnitude == 0.0) {
        *out = '-';
        out += negative ? 1 : 0;
        *out = '0';
        return out + 1;
    }
    const int biasedExponent = static_cast<int>(bits >> 52 & 0x7ff);
    // magnitude lies in [2^binaryExponent, 2^(binaryExponent + 1)), so its decimal exponent is
    // floor(binaryExponent · log10 2) or one more.
    const int binaryExponent = biasedExponent - 1023;
    int exponent = (binaryExponent * 78913) >> 18;
    // Each scaling below is one operation with an exact power of ten up to 10^22, so the result
    // is correctly rounded; subnormals, infinities and NaNs fall outside the range.
    if (biasedExponent != 0 && exponent >= -17 && exponent <= 26) {
        // Both candidate scalings at once, rather than a second one after a mispredicted branch.
        const double high = ScaleByPowerOfTen(magnitude, 5 - exponent);
        const double low = ScaleByPowerOfTen(magnitude, 4 - exponent);
        const bool over = high >= 1e6;
        exponent += over ? 1 : 0;
        const double scaled = over ? low : high;
        // 10^5 and 10^6 are doubles, so a scaled value in [10^5, 10^6) has its exact counterpart
        // in the same decade, or just below 10^5, where six digits round to 100000 all the same.
        std::uint64_t rounded = 0;
        if (scaled >= 1e5 && scaled < 1e6 && RoundScaled(scaled, rounded)) {
            if (rounded == 1000000) {
                rounded = 100000;
                ++exponent;
            }
            return LayOutGeneral(negative, static_cast<std::uint32_t>(rounded), exponent, out);
        }
    }
    return FormatGeneral6Exact(value, out);
}

char* FormatRow(double frequency, double gamma, char* out) {
    out = FormatFixed6(frequency, out);
    out[0] = ',';
    out[1] = ' ';
    out = FormatGeneral6(gamma, out + 2);
    *out = '\n';
    return out + 1;
}

char* FormatRowCrLf(double frequency, double gamma, char* out) {
    out = FormatFixed6(frequency, out);
    out[0] = ',';
    out[1] = ' ';
    out = FormatGeneral6(gamma, out + 2);
    out[0] = '\r';
    out[1] = '\n';
    return out + 2;
}

char* FormatFixed6Exact(double value, char* out) {
    return std::to_chars(out, out + kMaxFixed6Length, value, std::chars_format::fixed, 6).ptr;
}

char* FormatGeneral6Exact(double value, char* out) {
    return std::to_chars(out, out + kMaxGeneral6Length, value, std::chars_format::general, 6).ptr;
}

char* FormatRowExact(double frequency, double gamma, char* out) {
    out = FormatFixed6Exact(frequency, out);
    out[0] = ',';
    out[1] = ' ';
    out = FormatGeneral6Exact(gamma, out + 2);
    *out = '\n';
    return out + 1;
}
