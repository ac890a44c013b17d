#include "text/fixed_decimal.h"

#include <charconv>
#include <cstdint>
#include <cstring>

namespace {

constexpr int kMaxFastPrecision = 19;  // 10^19 is the largest power of ten below 2^64

constexpr uint64_t kPowersOfTen[kMaxFastPrecision + 1] = {
    1u,
    10u,
    100u,
    1000u,
    10000u,
    100000u,
    1000000u,
    10000000u,
    100000000u,
    1000000000u,
    10000000000u,
    100000000000u,
    1000000000000u,
    10000000000000u,
    100000000000000u,
    1000000000000000u,
    10000000000000000u,
    100000000000000000u,
    1000000000000000000u,
    10000000000000000000u};

// "00" to "99", two digits at a time.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// A 128-bit unsigned number in two halves, with only what the rounding
// below needs; two halves rather than a compiler's 128-bit type, which
// 32-bit targets lack.
struct Wide {
  uint64_t high;
  uint64_t low;
};

Wide Multiply(uint64_t a, uint64_t b) {
  const uint64_t aLow = a & 0xFFFFFFFFu, aHigh = a >> 32;
  const uint64_t bLow = b & 0xFFFFFFFFu, bHigh = b >> 32;
  const uint64_t lowLow = aLow * bLow;
  const uint64_t lowHigh = aLow * bHigh;
  const uint64_t highLow = aHigh * bLow;
  const uint64_t highHigh = aHigh * bHigh;
  const uint64_t middle = (lowLow >> 32) + (lowHigh & 0xFFFFFFFFu) + (highLow & 0xFFFFFFFFu);
  return {highHigh + (lowHigh >> 32) + (highLow >> 32) + (middle >> 32),
          (middle << 32) | (lowLow & 0xFFFFFFFFu)};
}

// Bit k (0..127) of w.
bool BitAt(const Wide& w, int k) {
  return k < 64 ? ((w.low >> k) & 1u) != 0 : ((w.high >> (k - 64)) & 1u) != 0;
}

// Whether any of the bits of w below bit k (0..127) is set.
bool AnyBitBelow(const Wide& w, int k) {
  if (k == 0) return false;
  if (k < 64) return (w.low & ((uint64_t{1} << k) - 1)) != 0;
  if (w.low != 0) return true;
  return k > 64 && (w.high & ((uint64_t{1} << (k - 64)) - 1)) != 0;
}

// w >> shift (1..127) into quotient; false when it does not fit in 64 bits.
bool ShiftRight(const Wide& w, int shift, uint64_t& quotient) {
  if (shift < 64) {
    if ((w.high >> shift) != 0) return false;
    quotient = (w.low >> shift) | (w.high << (64 - shift));
  } else {
    quotient = w.high >> (shift - 64);
  }
  return true;
}

// The value of |bits| times 10^precision, rounded to an integer ties to
// even, into scaled; false when it might not fit in 64 bits (or the value
// is not finite), for the general path.
bool ScaledMagnitude(uint64_t bits, int precision, uint64_t& scaled) {
  const int exponentField = static_cast<int>((bits >> 52) & 0x7FF);
  if (exponentField == 0x7FF) return false;
  uint64_t mantissa = bits & ((uint64_t{1} << 52) - 1);
  int exponent = -1074;  // a subnormal's
  if (exponentField != 0) {
    mantissa |= uint64_t{1} << 52;
    exponent = exponentField - 1075;
  }
  // value = mantissa * 2^exponent, mantissa < 2^53.
  if (mantissa == 0) {
    scaled = 0;
    return true;
  }
  const uint64_t power = kPowersOfTen[precision];
  if (exponent >= 0) {
    // A whole number: no rounding, only its size to check.
    if (exponent >= 11) return false;
    const uint64_t whole = mantissa << exponent;
    if (whole > UINT64_MAX / power) return false;
    scaled = whole * power;
    return true;
  }
  const Wide product = Multiply(mantissa, power);  // below 2^117
  const int shift = -exponent;
  if (shift >= 128) {  // below a half: rounds to zero
    scaled = 0;
    return true;
  }
  uint64_t quotient = 0;
  if (!ShiftRight(product, shift, quotient)) return false;
  const bool half = BitAt(product, shift - 1);
  if (half && (AnyBitBelow(product, shift - 1) || (quotient & 1u) != 0)) {
    if (quotient == UINT64_MAX) return false;
    ++quotient;
  }
  scaled = quotient;
  return true;
}

}  // namespace

char* WriteDecimalDigits(char* out, unsigned long long value) {
  char digits[20];
  char* start = digits + sizeof digits;
  while (value >= 100) {
    const unsigned pair = static_cast<unsigned>(value % 100);
    value /= 100;
    start -= 2;
    std::memcpy(start, kDigitPairs + 2 * pair, 2);
  }
  if (value >= 10) {
    start -= 2;
    std::memcpy(start, kDigitPairs + 2 * value, 2);
  } else {
    *--start = static_cast<char>('0' + value);
  }
  const size_t count = static_cast<size_t>(digits + sizeof digits - start);
  std::memcpy(out, start, count);
  return out + count;
}

char* WriteFixedDecimal(char* out, double value, int precision) {
  if (precision < 0) precision = 0;
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  uint64_t scaled = 0;
  if (precision > kMaxFastPrecision || !ScaledMagnitude(bits & ~(uint64_t{1} << 63), precision, scaled)) {
    return std::to_chars(out, out + FixedDecimalRoom(precision), value, std::chars_format::fixed,
                         precision)
        .ptr;
  }
  if ((bits >> 63) != 0) *out++ = '-';
  char digits[20];
  const size_t count = static_cast<size_t>(WriteDecimalDigits(digits, scaled) - digits);
  const size_t decimals = static_cast<size_t>(precision);
  if (decimals == 0) {
    std::memcpy(out, digits, count);
    return out + count;
  }
  if (count <= decimals) {  // "0." and the zeros before the digits
    *out++ = '0';
    *out++ = '.';
    std::memset(out, '0', decimals - count);
    out += decimals - count;
    std::memcpy(out, digits, count);
    return out + count;
  }
  const size_t whole = count - decimals;
  std::memcpy(out, digits, whole);
  out += whole;
  *out++ = '.';
  std::memcpy(out, digits + whole, decimals);
  return out + decimals;
}
