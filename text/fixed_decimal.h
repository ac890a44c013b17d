// printf's "%.Nf" of a double, written into a caller's buffer: the exact
// decimal value rounded to N decimals, ties to even, "-" for any negative
// value (also -0 and values that round to zero), no point for N = 0.
// Infinities are "inf" and "-inf"; a NaN's spelling differs between C
// libraries, so callers spell it themselves before they come here.
//
// The common case, a value below 2^64 / 10^N with N <= 19, is done with
// integer arithmetic on the double's own bits; every other value goes to
// std::to_chars, which rounds the same way.
#ifndef QUADKIT_TEXT_FIXED_DECIMAL_H_
#define QUADKIT_TEXT_FIXED_DECIMAL_H_

#include <cstddef>

// The room WriteFixedDecimal needs for precision decimals: a sign, the 309
// integer digits of the largest double, the point and the decimals.
constexpr size_t FixedDecimalRoom(int precision) {
  return 320 + static_cast<size_t>(precision < 0 ? 0 : precision);
}

// Writes value with precision (>= 0) decimals at out, which has at least
// FixedDecimalRoom(precision) characters; returns the end of the text.
char* WriteFixedDecimal(char* out, double value, int precision);

// The decimal digits of value at out (at least 20 characters); returns
// their end.
char* WriteDecimalDigits(char* out, unsigned long long value);

#endif  // QUADKIT_TEXT_FIXED_DECIMAL_H_
