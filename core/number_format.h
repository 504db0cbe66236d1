#pragma once

#include <cstddef>

// Longest text that FormatRow writes, including its line feed.
inline constexpr std::size_t kMaxRowLength = 400;

// Longest text of FormatFixed6: a sign, 309 integer digits, the point and six decimals.
inline constexpr std::size_t kMaxFixed6Length = 317;

// Longest text of FormatGeneral6, as in "-1.23457e+308".
inline constexpr std::size_t kMaxGeneral6Length = 13;

static_assert(kMaxFixed6Length + 2 + kMaxGeneral6Length + 1 <= kMaxRowLength);

// Writes `frequency` and `gamma` as glibc's printf("%f, %g\n") does, two-digit exponents
// included, into `out` (room for kMaxRowLength bytes); returns the end of the text.
char* FormatRow(double frequency, double gamma, char* out);

// FormatRow ending the row in CR LF, as a text-mode stream writes its line feed; room for
// kMaxRowLength + 1 bytes.
char* FormatRowCrLf(double frequency, double gamma, char* out);

// Writes `value` as glibc's printf("%f") does into `out` (room for kMaxFixed6Length bytes).
char* FormatFixed6(double value, char* out);

// Writes `value` as glibc's printf("%g") does into `out` (room for kMaxGeneral6Length bytes).
char* FormatGeneral6(double value, char* out);

// FormatRow through the exact conversions alone, never through a fast path.
char* FormatRowExact(double frequency, double gamma, char* out);

// FormatFixed6 through the exact conversion alone.
char* FormatFixed6Exact(double value, char* out);

// FormatGeneral6 through the exact conversion alone.
char* FormatGeneral6Exact(double value, char* out);
