#include "text/float_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "text/fixed_decimal.h"
#include "text/trailing_zero_bits.h"

namespace {

// printf's spelling of a value that is no finite number; null for a finite one.
const char* NonFiniteText(float value) {
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  return nullptr;
}

// A float whose exact decimal value has at most seven significant digits,
// as digits * 10^exponent. Such a value is its own shortest text: a float
// lies within 2^-24 of its own size from the next one, and a text with
// fewer digits would lie at least 10^-7 of it away. Most of a scene's
// numbers are like that (64, 32.5, 0.25); any other float is left to
// std::to_chars.
struct ShortDecimal {
  uint32_t digits;  // no trailing zero, but 0 for zero
  int exponent;
  bool negative;
};

constexpr uint32_t kMaxShortDigits = 9999999;

bool ExactShortDecimal(float value, ShortDecimal& decimal) {
  uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  decimal.negative = (bits >> 31) != 0;
  const int exponentField = static_cast<int>((bits >> 23) & 0xFF);
  uint32_t mantissa = bits & 0x7FFFFF;
  if (exponentField == 0xFF) return false;
  if (exponentField == 0 && mantissa == 0) {
    decimal.digits = 0;
    decimal.exponent = 0;
    return true;
  }
  if (exponentField == 0) return false;  // subnormals have far more digits
  mantissa |= 0x800000;
  int exponent = exponentField - 150;  // value = mantissa * 2^exponent
  const int zeroBits = TrailingZeroBits(mantissa);
  mantissa >>= zeroBits;
  exponent += zeroBits;
  if (exponent < 0) {
    // mantissa / 2^n = mantissa * 5^n / 10^n: odd digits, so no trailing zero.
    if (exponent < -10) return false;
    uint64_t digits = mantissa;
    for (int k = exponent; k < 0; ++k) digits *= 5;
    if (digits > kMaxShortDigits) return false;
    decimal.digits = static_cast<uint32_t>(digits);
    decimal.exponent = exponent;
    return true;
  }
  if (exponent > 39) return false;
  uint64_t whole = static_cast<uint64_t>(mantissa) << exponent;
  int zeros = 0;
  while (whole % 10 == 0) {
    whole /= 10;
    ++zeros;
  }
  if (whole > kMaxShortDigits) return false;
  decimal.digits = static_cast<uint32_t>(whole);
  decimal.exponent = zeros;
  return true;
}

// The decimal's text without an exponent. The digits are written in
// place and moved the few places the point and leading zeros need (at
// most seven digits, at most ten decimals).
char* WritePlain(char* out, const ShortDecimal& decimal) {
  if (decimal.negative) *out++ = '-';
  char* end = WriteDecimalDigits(out, decimal.digits);
  if (decimal.exponent >= 0) {
    if (decimal.digits != 0) {
      for (int k = 0; k < decimal.exponent; ++k) *end++ = '0';
    }
    return end;
  }
  const int count = static_cast<int>(end - out);
  const int decimals = -decimal.exponent;
  if (count > decimals) {
    for (char* p = end; p > end - decimals; --p) *p = p[-1];
    end[-decimals] = '.';
    return end + 1;
  }
  const int zeros = decimals - count;
  for (int k = count - 1; k >= 0; --k) out[k + 2 + zeros] = out[k];
  out[0] = '0';
  out[1] = '.';
  for (int k = 0; k < zeros; ++k) out[2 + k] = '0';
  return out + 2 + decimals;
}

// The decimal's text with an exponent, as printf's "%e" spells it: one
// digit, the point and the others only when there are others, "e", the
// exponent's sign and at least two digits.
char* WriteWithExponent(char* out, const ShortDecimal& decimal) {
  if (decimal.negative) *out++ = '-';
  char digits[12];
  const int count = static_cast<int>(WriteDecimalDigits(digits, decimal.digits) - digits);
  *out++ = digits[0];
  if (count > 1) {
    *out++ = '.';
    std::memcpy(out, digits + 1, static_cast<size_t>(count - 1));
    out += count - 1;
  }
  int exponent = decimal.exponent + count - 1;
  *out++ = 'e';
  *out++ = exponent < 0 ? '-' : '+';
  if (exponent < 0) exponent = -exponent;
  if (exponent < 10) *out++ = '0';
  return WriteDecimalDigits(out, static_cast<unsigned long long>(exponent));
}

}  // namespace

char* WriteShortestFloat(char* out, float value) {
  ShortDecimal decimal;
  if (!ExactShortDecimal(value, decimal)) {
    return std::to_chars(out, out + kShortestFloatRoom, value).ptr;
  }
  if (decimal.digits == 0) return WritePlain(out, decimal);
  // The lengths of both forms, without the sign they share; an exponent
  // below 100 takes "e+" and two digits.
  const uint32_t d = decimal.digits;  // below 10^7
  const int count = d < 1000u ? (d < 10u ? 1 : d < 100u ? 2 : 3)
                              : d < 100000u ? (d < 10000u ? 4 : 5) : (d < 1000000u ? 6 : 7);
  const int decimals = -decimal.exponent;
  const int plain = decimal.exponent >= 0 ? count + decimal.exponent
                                          : (count > decimals ? count + 1 : decimals + 2);
  const int withExponent = count + (count > 1 ? 1 : 0) + 4;
  return plain <= withExponent ? WritePlain(out, decimal) : WriteWithExponent(out, decimal);
}

char* WritePlainShortestFloat(char* out, float value) {
  ShortDecimal decimal;
  if (!ExactShortDecimal(value, decimal)) {
    return std::to_chars(out, out + kPlainShortestFloatRoom, value, std::chars_format::fixed).ptr;
  }
  return WritePlain(out, decimal);
}

char* WritePlainShortestFloatText(char* out, float value) {
  if (const char* word = NonFiniteText(value)) {
    const size_t length = std::strlen(word);
    std::memcpy(out, word, length);
    return out + length;
  }
  return WritePlainShortestFloat(out, value);
}

void AppendShortestFloat(std::string& text, float value) {
  char digits[kPlainShortestFloatRoom];
  text.append(digits, WritePlainShortestFloatText(digits, value));
}

std::string FixedFloatText(float value, int decimals) {
  if (const char* word = NonFiniteText(value)) return word;
  if (decimals < 0) decimals = 0;
  if (decimals > kMaxFixedDecimals) decimals = kMaxFixedDecimals;
  char digits[FixedDecimalRoom(kMaxFixedDecimals)];
  return std::string(digits, WriteFixedDecimal(digits, static_cast<double>(value), decimals));
}
