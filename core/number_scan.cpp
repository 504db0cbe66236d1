#include "core/number_scan.h"

#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <system_error>

namespace {

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The nearest doubles of 10^-22 ... 10^22, exact from 10^0 up.
constexpr double kScales[] = {1e-22, 1e-21, 1e-20, 1e-19, 1e-18, 1e-17, 1e-16, 1e-15, 1e-14,
                              1e-13, 1e-12, 1e-11, 1e-10, 1e-9,  1e-8,  1e-7,  1e-6,  1e-5,
                              1e-4,  1e-3,  1e-2,  1e-1,  1e0,   1e1,   1e2,   1e3,   1e4,
                              1e5,   1e6,   1e7,   1e8,   1e9,   1e10,  1e11,  1e12,  1e13,
                              1e14,  1e15,  1e16,  1e17,  1e18,  1e19,  1e20,  1e21,  1e22};

// The 29 low bits of a double that a float drops, when the double lies halfway between two
// floats; and a margin around that pattern, in units of the double's last place, wider than the
// error of a product with an inexact power of ten.
constexpr std::uint64_t kFloatMidpoint = 0x10000000u;
constexpr std::uint64_t kProductError = 4;

constexpr std::uint32_t kSignBit = 0x80000000u;
constexpr std::uint32_t kInfinityBits = 0x7f800000u;
constexpr std::uint32_t kQuietNanBits = 0x7fc00000u;

// Exponents saturate here: far beyond any float, yet small enough that adding a digit count to one
// cannot overflow.
constexpr std::int64_t kExponentLimit = std::int64_t{1} << 50;

// Significant digits kept by the exact decimal conversion. A float's rounding midpoints have at
// most 112 significant digits, so any longer tail only needs to be known as zero or not.
constexpr int kKeptDigits = 200;

// The byte at `p`, or 0 at the end of the text. A NUL byte ends the line, and 0 matches nothing
// in the grammar, so the two need no separate handling. A sentinel text ends in a NUL byte and
// needs no bounds check: the scanner never looks past the first byte that fails to match.
template <bool kSentinel>
inline unsigned Peek(const char* p, const char* end) {
    if constexpr (kSentinel) {
        return static_cast<unsigned char>(*p);
    } else {
        return p < end ? static_cast<unsigned char>(*p) : 0u;
    }
}

inline bool IsSpace(unsigned c) {
    return c == ' ' || c - '\t' < 5u;
}

// ASCII lower case of a letter; the result is only ever compared with lower-case letters, which
// no other byte maps to.
inline unsigned Lower(unsigned c) {
    return c | 0x20u;
}

inline unsigned HexDigitValue(unsigned c) {
    if (c - '0' < 10u) {
        return c - '0';
    }
    const unsigned letter = Lower(c) - 'a';
    return letter < 6u ? letter + 10 : 16u;
}

inline float FloatFromBits(std::uint32_t bits) {
    return std::bit_cast<float>(bits);
}

template <bool kSentinel>
inline const char* SkipSpace(const char* p, const char* end) {
    while (IsSpace(Peek<kSentinel>(p, end))) {
        ++p;
    }
    return p;
}

// Appends the run of decimal digits at `p` to `significand` (which wraps harmlessly once past 19
// digits; callers count digits) and returns the end of the run.
template <bool kSentinel>
inline const char* ReadDigits(const char* p, const char* end, std::uint64_t& significand) {
    unsigned digit = 0;
    while ((digit = Peek<kSentinel>(p, end) - '0') < 10u) {
        significand = significand * 10 + digit;
        ++p;
    }
    return p;
}

// Reads decimal exponent digits starting at `p` (at least one is there), saturating the value.
template <bool kSentinel>
inline const char* ReadExponentDigits(const char* p, const char* end, std::int64_t& exponent) {
    unsigned digit = Peek<kSentinel>(p, end) - '0';
    do {
        if (exponent < kExponentLimit) {
            exponent = exponent * 10 + digit;
        }
        digit = Peek<kSentinel>(++p, end) - '0';
    } while (digit < 10u);
    return p;
}

// Converts the unsigned decimal text [first, last), digits with at most one point and optionally
// a complete exponent, to the nearest float; overflow gives infinity and underflow zero, as glibc's
// strtof gives them. The text is first reduced to its leading significant digits, a sticky digit
// for any nonzero tail and a small exponent, so from_chars sees a short text however long the
// input, and the decimal exponent that tells overflow from underflow is known exactly.
float DecimalToFloatExact(const char* first, const char* last, bool negative) {
    char reduced[kKeptDigits + 32];
    int kept = 0;
    bool sticky = false;
    bool seenNonzero = false;
    bool seenPoint = false;
    std::int64_t integerDigits = 0;  // digits before the point, leading zeros included
    std::int64_t leadingZeros = 0;   // zeros before the first nonzero digit
    const char* p = first;
    for (; p < last; ++p) {
        const unsigned c = static_cast<unsigned char>(*p);
        if (c == '.') {
            seenPoint = true;
            continue;
        }
        if (c - '0' >= 10u) {
            break;
        }
        if (!seenPoint) {
            ++integerDigits;
        }
        if (!seenNonzero) {
            if (c == '0') {
                ++leadingZeros;
                continue;
            }
            seenNonzero = true;
        }
        if (kept < kKeptDigits) {
            reduced[kept++] = static_cast<char>(c);
        } else if (c != '0') {
            sticky = true;
        }
    }
    if (!seenNonzero) {
        return FloatFromBits(negative ? kSignBit : 0u);
    }
    std::int64_t exponent = 0;
    if (p < last) {
        ++p;  // the exponent character
        const bool negativeExponent = *p == '-';
        if (*p == '-' || *p == '+') {
            ++p;
        }
        ReadExponentDigits<false>(p, last, exponent);
        if (negativeExponent) {
            exponent = -exponent;
        }
    }
    // The decimal exponent of the first nonzero digit.
    const std::int64_t leadingExponent = integerDigits - leadingZeros - 1 + exponent;
    const std::uint32_t sign = negative ? kSignBit : 0u;
    if (leadingExponent > 39) {
        return FloatFromBits(sign | kInfinityBits);
    }
    if (leadingExponent < -47) {
        return FloatFromBits(sign);
    }
    if (sticky) {
        reduced[kept++] = '1';
    }
    // The kept digits d1 d2 ... dk stand for d1.d2...dk × 10^leadingExponent.
    const std::int64_t textExponent = leadingExponent + 1 - kept;
    char* end = reduced + kept;
    *end++ = 'e';
    end = std::to_chars(end, reduced + sizeof reduced, textExponent).ptr;
    float value = 0.0f;
    const std::from_chars_result result =
        std::from_chars(reduced, end, value, std::chars_format::scientific);
    if (result.ec == std::errc::result_out_of_range) {
        return FloatFromBits(sign | (leadingExponent > 0 ? kInfinityBits : 0u));
    }
    return negative ? -value : value;
}

// Rounds mantissa × 2^exponent (mantissa nonzero, `sticky` standing for nonzero bits below it) to
// the nearest float, ties to even, with subnormals, overflow to infinity and underflow to zero.
float BinaryToFloat(std::uint64_t mantissa, std::int64_t exponent, bool sticky, bool negative) {
    const int leadingZeros = std::countl_zero(mantissa);
    mantissa <<= leadingZeros;
    // The value is now mantissa × 2^(top - 63) with the top bit of the mantissa set.
    const std::int64_t top = exponent - leadingZeros + 63;
    const std::uint32_t sign = negative ? kSignBit : 0u;
    if (top > 127) {
        return FloatFromBits(sign | kInfinityBits);
    }
    const std::int64_t shift = top >= -126 ? 40 : -86 - top;
    if (shift > 64) {
        return FloatFromBits(sign);
    }
    std::uint64_t kept = shift == 64 ? 0 : mantissa >> shift;
    const std::uint64_t rest =
        shift == 64 ? mantissa : mantissa & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    if (rest > half || (rest == half && (sticky || (kept & 1) != 0))) {
        ++kept;
    }
    // For normal numbers the implicit bit of `kept` carries into the exponent field, which also
    // turns a rounding past the largest float into infinity.
    const std::uint64_t bits =
        top >= -126 ? (static_cast<std::uint64_t>(top + 126) << 23) + kept : kept;
    return FloatFromBits(sign | static_cast<std::uint32_t>(bits));
}

// Reads the hexadecimal number whose "0x" ends at `p`, as glibc's scanf consumes it, and converts
// what strtof would take of it. Null when nothing followed the prefix.
template <bool kSentinel>
const char* ScanHex(const char* p, const char* end, bool negative, float& value) {
    std::uint64_t mantissa = 0;
    std::int64_t exponent = 0;
    bool sticky = false;
    bool gotDigit = false;
    bool gotPoint = false;
    const char* const digitsStart = p;
    for (;; ++p) {
        const unsigned c = Peek<kSentinel>(p, end);
        const unsigned digit = HexDigitValue(c);
        if (digit < 16u) {
            gotDigit = true;
            if (mantissa >> 60 == 0) {
                mantissa = mantissa * 16 + digit;
                exponent -= gotPoint ? 4 : 0;
            } else {
                exponent += gotPoint ? 0 : 4;
                sticky |= digit != 0;
            }
        } else if (c == '.' && !gotPoint) {
            gotPoint = true;
        } else {
            break;
        }
    }
    if (p == digitsStart) {
        return nullptr;
    }
    if (gotDigit && Lower(Peek<kSentinel>(p, end)) == 'p') {
        ++p;
        unsigned c = Peek<kSentinel>(p, end);
        const bool negativeExponent = c == '-';
        if (c == '-' || c == '+') {
            c = Peek<kSentinel>(++p, end);
        }
        if (c - '0' < 10u) {
            std::int64_t binaryExponent = 0;
            p = ReadExponentDigits<kSentinel>(p, end, binaryExponent);
            exponent += negativeExponent ? -binaryExponent : binaryExponent;
        }
    }
    value = mantissa == 0 ? FloatFromBits(negative ? kSignBit : 0u)
                          : BinaryToFloat(mantissa, exponent, sticky, negative);
    return p;
}

// Reads one "%g" conversion at `p` (whitespace already skipped) the way glibc's scanf consumes
// characters, and stores the float strtof makes of them. Returns the first character not
// consumed, or null on a matching failure.
template <bool kSentinel, bool kExactOnly>
[[gnu::always_inline]] inline const char* ScanNumber(const char* p, const char* end, float& value) {
    unsigned c = Peek<kSentinel>(p, end);
    bool negative = false;
    if (c == '-' || c == '+') {
        negative = c == '-';
        c = Peek<kSentinel>(++p, end);
    }
    if (c - '1' >= 9u && c != '.') [[unlikely]] {
        if (c == '0' && Lower(Peek<kSentinel>(p + 1, end)) == 'x') {
            return ScanHex<kSentinel>(p + 2, end, negative, value);
        }
        const std::uint32_t sign = negative ? kSignBit : 0u;
        if (Lower(c) == 'n') {
            // scanf takes just "nan"; a following "(...)" stays in the input.
            if (Lower(Peek<kSentinel>(p + 1, end)) != 'a' ||
                Lower(Peek<kSentinel>(p + 2, end)) != 'n') {
                return nullptr;
            }
            value = FloatFromBits(sign | kQuietNanBits);
            return p + 3;
        }
        if (Lower(c) == 'i') {
            if (Lower(Peek<kSentinel>(p + 1, end)) != 'n' ||
                Lower(Peek<kSentinel>(p + 2, end)) != 'f') {
                return nullptr;
            }
            p += 3;
            if (Lower(Peek<kSentinel>(p, end)) == 'i') {
                // Once past "infi", scanf insists on the whole "infinity".
                for (const char expected : {'n', 'i', 't', 'y'}) {
                    if (Lower(Peek<kSentinel>(++p, end)) != static_cast<unsigned char>(expected)) {
                        return nullptr;
                    }
                }
                ++p;
            }
            value = FloatFromBits(sign | kInfinityBits);
            return p;
        }
    }

    const char* const digitsStart = p;
    std::uint64_t significand = 0;
    p = ReadDigits<kSentinel>(p, end, significand);
    std::int64_t digitCount = p - digitsStart;
    std::int64_t fractionDigits = 0;
    if (Peek<kSentinel>(p, end) == '.') {
        const char* const fractionStart = ++p;
        p = ReadDigits<kSentinel>(p, end, significand);
        fractionDigits = p - fractionStart;
        digitCount += fractionDigits;
    }
    if (digitCount == 0) {
        return nullptr;
    }
    const char* valueEnd = p;
    std::int64_t exponent = 0;
    if (Lower(Peek<kSentinel>(p, end)) == 'e') {
        // scanf consumes "e" and a sign even when no digit follows; strtof then ignores them.
        c = Peek<kSentinel>(++p, end);
        const bool negativeExponent = c == '-';
        if (c == '-' || c == '+') {
            c = Peek<kSentinel>(++p, end);
        }
        if (c - '0' < 10u) {
            // One or two digits, the usual exponents, are read without the saturating loop.
            const unsigned second = Peek<kSentinel>(p + 1, end) - '0';
            if (second >= 10u) {
                exponent = c - '0';
                ++p;
            } else if (Peek<kSentinel>(p + 2, end) - '0' >= 10u) {
                exponent = (c - '0') * 10 + second;
                p += 2;
            } else {
                p = ReadExponentDigits<kSentinel>(p, end, exponent);
            }
            valueEnd = p;
            if (negativeExponent) {
                exponent = -exponent;
            }
        }
    }

    if (!kExactOnly && digitCount <= 19) {
        // Clinger's fast path: the significand and a power of ten up to 10^22 are exact doubles,
        // so one multiplication or division rounds correctly. Narrowing that double to float
        // rounds once more; this equals rounding the decimal straight to float unless the double
        // lies exactly on a float midpoint, where it falls back to the exact path. Within these
        // bounds the result is always a normal float.
        const std::int64_t powerOfTen = exponent - fractionDigits;
        if (significand <= (std::uint64_t{1} << 53) && powerOfTen >= -22 && powerOfTen <= 22) {
            const double whole = static_cast<double>(static_cast<std::int64_t>(significand));
            // Multiplying by the nearest double of 10^-k instead of dividing by 10^k is off by
            // less than two units of the double's last place, 2^29 times finer than a float's:
            // the narrowing is right whenever the product lies further than that from a float
            // midpoint, and the division settles the rest.
            const double product = whole * kScales[powerOfTen + 22];
            const std::uint64_t dropped = std::bit_cast<std::uint64_t>(product) & 0x1fffffffu;
            if (dropped - (kFloatMidpoint - kProductError) > 2 * kProductError) {
                const float narrow = static_cast<float>(product);
                value = negative ? -narrow : narrow;
                return p;
            }
            const double wide = powerOfTen < 0 ? whole / kPowersOfTen[-powerOfTen]
                                               : whole * kPowersOfTen[powerOfTen];
            if ((std::bit_cast<std::uint64_t>(wide) & 0x1fffffffu) != kFloatMidpoint) {
                const float narrow = static_cast<float>(wide);
                value = negative ? -narrow : narrow;
                return p;
            }
        } else if (significand == 0) {
            value = FloatFromBits(negative ? kSignBit : 0u);
            return p;
        }
    }
    value = DecimalToFloatExact(digitsStart, valueEnd, negative);
    return p;
}

// Reads "%g %g" at `p`; returns the ends of the two numbers, null where not read.
template <bool kSentinel, bool kExactOnly>
[[gnu::always_inline]] inline PairEnds ScanPairEnds(const char* p, const char* end, float& gamma,
                                                    float& tau) {
    p = SkipSpace<kSentinel>(p, end);
    p = ScanNumber<kSentinel, kExactOnly>(p, end, gamma);
    if (p == nullptr) {
        return {nullptr, nullptr};
    }
    const char* gammaEnd = p;
    p = SkipSpace<kSentinel>(p, end);
    return {gammaEnd, ScanNumber<kSentinel, kExactOnly>(p, end, tau)};
}

// ScanPairEnds giving the end of the second number only.
template <bool kSentinel, bool kExactOnly>
[[gnu::always_inline]] inline const char* ScanPair(const char* p, const char* end, float& gamma,
                                                   float& tau) {
    return ScanPairEnds<kSentinel, kExactOnly>(p, end, gamma, tau).tau;
}

// Lines up to this length are copied into a padded buffer and read without bounds checks.
constexpr std::size_t kBufferedLength = 128;

}  // namespace

bool ScanGammaTau(std::string_view line, float& gamma, float& tau) {
    if (line.size() <= kBufferedLength) {
        char buffer[kBufferedLength + 16];
        if (!line.empty()) {
            std::memcpy(buffer, line.data(), line.size());
        }
        std::memset(buffer + line.size(), 0, 16);
        return ScanPair<true, false>(buffer, buffer + line.size(), gamma, tau) != nullptr;
    }
    return ScanPair<false, false>(line.data(), line.data() + line.size(), gamma, tau) != nullptr;
}

bool ScanGammaTau(const char* line, float& gamma, float& tau) {
    return ScanPair<true, false>(line, nullptr, gamma, tau) != nullptr;
}

PairEnds ScanGammaTauEnds(const char* line, float& gamma, float& tau) {
    return ScanPairEnds<true, false>(line, nullptr, gamma, tau);
}

bool ScanGammaTauExact(std::string_view line, float& gamma, float& tau) {
    return ScanPair<false, true>(line.data(), line.data() + line.size(), gamma, tau) != nullptr;
}

const char* ScanFloat(const char* text, float& value) {
    return ScanNumber<true, false>(text, nullptr, value);
}
