#include "text/fixed_decimal.h"

#include <charconv>
#include <cstdint>
#include <cstring>

#include "text/trailing_zero_bits.h"

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

// UINT64_MAX / 10^k: the largest number that 10^k multiplies without
// overflow, kept in a table for the division it saves.
constexpr uint64_t kLargestFactor[kMaxFastPrecision + 1] = {
    UINT64_MAX / kPowersOfTen[0],  UINT64_MAX / kPowersOfTen[1],  UINT64_MAX / kPowersOfTen[2],
    UINT64_MAX / kPowersOfTen[3],  UINT64_MAX / kPowersOfTen[4],  UINT64_MAX / kPowersOfTen[5],
    UINT64_MAX / kPowersOfTen[6],  UINT64_MAX / kPowersOfTen[7],  UINT64_MAX / kPowersOfTen[8],
    UINT64_MAX / kPowersOfTen[9],  UINT64_MAX / kPowersOfTen[10], UINT64_MAX / kPowersOfTen[11],
    UINT64_MAX / kPowersOfTen[12], UINT64_MAX / kPowersOfTen[13], UINT64_MAX / kPowersOfTen[14],
    UINT64_MAX / kPowersOfTen[15], UINT64_MAX / kPowersOfTen[16], UINT64_MAX / kPowersOfTen[17],
    UINT64_MAX / kPowersOfTen[18], UINT64_MAX / kPowersOfTen[19]};

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

// A finite double's magnitude at some precision, split at the point:
// whole, and the decimals rounded ties to even as the integer fraction
// (below 10^precision).
struct FixedParts {
  uint64_t whole;
  uint64_t fraction;
};

// Rounds numerator / 2^shift (shift 1..127) ties to even into quotient,
// where the parity that decides a tie is that of quotient + oddBase; false
// when the quotient does not fit in 64 bits.
bool RoundShifted(const Wide& numerator, int shift, bool oddBase, uint64_t& quotient) {
  if (shift >= 128) {  // the numerator is far below a half
    quotient = 0;
    return true;
  }
  if (!ShiftRight(numerator, shift, quotient)) return false;
  if (BitAt(numerator, shift - 1) &&
      (AnyBitBelow(numerator, shift - 1) || (((quotient & 1u) != 0) != oddBase))) {
    if (quotient == UINT64_MAX) return false;
    ++quotient;
  }
  return true;
}

// The parts of |bits| at precision (0..kMaxFastPrecision); false for a
// value that is not finite or whose whole part reaches 2^64, for the
// general path.
bool SplitFixed(uint64_t bits, int precision, FixedParts& parts) {
  const int exponentField = static_cast<int>((bits >> 52) & 0x7FF);
  if (exponentField == 0x7FF) return false;
  uint64_t mantissa = bits & ((uint64_t{1} << 52) - 1);
  int exponent = -1074;  // a subnormal's
  if (exponentField != 0) {
    mantissa |= uint64_t{1} << 52;
    exponent = exponentField - 1075;
  }
  // value = mantissa * 2^exponent, mantissa < 2^53.
  parts = {0, 0};
  if (exponent >= 0) {  // a whole number
    if (exponent >= 11) return false;
    parts.whole = mantissa << exponent;
    return true;
  }
  const int shift = -exponent;
  uint64_t fractionBits = mantissa;
  if (shift < 64) {
    parts.whole = mantissa >> shift;
    fractionBits = mantissa & ((uint64_t{1} << shift) - 1);
  }
  if (fractionBits == 0) return true;
  const uint64_t power = kPowersOfTen[precision];
  // With no decimals the tie goes by the whole part's parity; with any, by
  // the last decimal's, as 10^precision is even.
  const bool oddBase = precision == 0 && (parts.whole & 1u) != 0;
  uint64_t fraction = 0;
  if (shift < 64 && fractionBits <= kLargestFactor[precision]) {
    const uint64_t product = fractionBits * power;  // the common case, in one word
    fraction = product >> shift;
    const uint64_t half = uint64_t{1} << (shift - 1);
    const uint64_t rest = product & ((uint64_t{1} << shift) - 1);
    if (rest > half || (rest == half && ((fraction & 1u) != 0) != oddBase)) ++fraction;
  } else if (!RoundShifted(Multiply(fractionBits, power), shift, oddBase, fraction)) {
    return false;
  }
  if (fraction == power) {  // rounded up into the whole part
    fraction = 0;
    if (parts.whole == UINT64_MAX) return false;
    ++parts.whole;
  }
  parts.fraction = fraction;
  return true;
}

// The count of decimal digits of value, at least one.
int DigitCount(uint64_t value) {
  if (value < 10) return 1;
  if (value < 100) return 2;
  if (value < 1000) return 3;
  if (value < 10000) return 4;
  int count = 5;
  while (count < 20 && value >= kPowersOfTen[count]) ++count;
  return count;
}

// Writes the last count digits of value backwards, ending at end, in
// 32-bit steps where the value allows; value is below 10^count. A pair of
// digits is one two-byte copy.
void WriteDigitsBackwards(char* end, uint64_t value, int count) {
  while (value > UINT32_MAX && count > 0) {
    *--end = static_cast<char>('0' + value % 10);
    value /= 10;
    --count;
  }
  uint32_t small = static_cast<uint32_t>(value);
  for (; count >= 2; count -= 2) {
    const uint32_t rest = small / 100;
    end -= 2;
    std::memcpy(end, kDigitPairs + 2 * (small - rest * 100), 2);
    small = rest;
  }
  if (count == 1) end[-1] = static_cast<char>('0' + small % 10);
}

}  // namespace

char* WriteDecimalDigits(char* out, unsigned long long value) {
  if (value < 10) {
    *out = static_cast<char>('0' + value);
    return out + 1;
  }
  if (value < 100) {
    out[0] = kDigitPairs[2 * value];
    out[1] = kDigitPairs[2 * value + 1];
    return out + 2;
  }
  if (value <= UINT32_MAX) {  // most numbers: counted with a few comparisons, written in pairs
    const uint32_t small = static_cast<uint32_t>(value);
    const int count = small < 10000u ? (small < 1000u ? 3 : 4)
                      : small < 1000000u ? (small < 100000u ? 5 : 6)
                      : small < 100000000u ? (small < 10000000u ? 7 : 8)
                                           : (small < 1000000000u ? 9 : 10);
    WriteDigitsBackwards(out + count, small, count);
    return out + count;
  }
  const int count = DigitCount(value);
  WriteDigitsBackwards(out + count, value, count);
  return out + count;
}

namespace {

// The texts of 0 to 999, each in four bytes: its digits, then their count
// in the last byte, which a longer text writes over.
struct SmallWholes {
  char text[1000][4];
};

constexpr SmallWholes MakeSmallWholes() {
  SmallWholes table{};
  for (int value = 0; value < 1000; ++value) {
    const int count = value < 10 ? 1 : value < 100 ? 2 : 3;
    int rest = value;
    for (int k = count - 1; k >= 0; --k) {
      table.text[value][k] = static_cast<char>('0' + rest % 10);
      rest /= 10;
    }
    table.text[value][3] = static_cast<char>(count);
  }
  return table;
}

constexpr SmallWholes kSmallWholes = MakeSmallWholes();

// Every value the fast road below does not take.
#if defined(__GNUC__)
__attribute__((noinline))
#endif
char* WriteFixedDecimalInGeneral(char* out, double value, int precision) {
  if (precision < 0) precision = 0;
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  FixedParts parts;
  if (precision > kMaxFastPrecision || !SplitFixed(bits & ~(uint64_t{1} << 63), precision, parts)) {
    return std::to_chars(out, out + FixedDecimalRoom(precision), value, std::chars_format::fixed,
                         precision)
        .ptr;
  }
  if ((bits >> 63) != 0) *out++ = '-';
  out = WriteDecimalDigits(out, parts.whole);
  if (precision == 0) return out;
  *out++ = '.';
  if (parts.fraction == 0) {  // a whole number, as most of a scene's are
    if (precision <= 8) {
      // Eight zeros in one store: the room of a precision is always more
      // than the whole part leaves.
      std::memcpy(out, "00000000", 8);
    } else {
      std::memset(out, '0', static_cast<size_t>(precision));
    }
  } else {
    WriteDigitsBackwards(out + precision, parts.fraction, precision);
  }
  return out + precision;
}

}  // namespace

// The usual value, a zero or a normal number from 2^-11 to below 2^32 at
// up to nine decimals, takes the common case of SplitFixed without the
// rest of it; the rounding is the same.
char* WriteFixedDecimal(char* out, double value, int precision) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  const int exponentField = static_cast<int>((bits >> 52) & 0x7FF);
  const bool zero = (bits << 1) == 0;
  if (precision < 0 || precision > 9 || (!zero && (exponentField < 1012 || exponentField > 1054))) {
    return WriteFixedDecimalInGeneral(out, value, precision);
  }
  uint64_t whole = 0;
  uint64_t fraction = 0;
  if (!zero) {
    const uint64_t mantissa = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
    const int shift = 1075 - exponentField;  // 21 to 63
    whole = mantissa >> shift;
    const uint64_t fractionBits = mantissa & ((uint64_t{1} << shift) - 1);
    if (fractionBits != 0) {
      // The fraction is fractionBits / 2^shift, the same as with the zero
      // bits at its end taken off both: a float widened to double has at
      // least 29 of them, so that its decimals fit one word.
      const int zeros = TrailingZeroBits(fractionBits);
      const uint64_t significant = fractionBits >> zeros;
      const int bitsLeft = shift - zeros;  // at least 1, as fractionBits < 2^shift
      if (significant > kLargestFactor[precision]) return WriteFixedDecimalInGeneral(out, value, precision);
      const uint64_t power = kPowersOfTen[precision];
      const uint64_t product = significant * power;
      fraction = product >> bitsLeft;
      const uint64_t half = uint64_t{1} << (bitsLeft - 1);
      const uint64_t rest = product & ((uint64_t{1} << bitsLeft) - 1);
      const bool oddBase = precision == 0 && (whole & 1u) != 0;
      // Computed, not branched on: for a scene's numbers the rounding goes
      // either way as often.
      fraction += static_cast<uint64_t>((rest > half) | ((rest == half) & (((fraction & 1u) != 0) != oddBase)));
      if (fraction == power) {
        fraction = 0;
        ++whole;
      }
    }
  }
  *out = '-';  // kept only for a negative value, as the signs of a scene's numbers are a toss-up
  out += bits >> 63;
  if (whole < 1000) {
    // The room of a precision is far more than the four bytes copied.
    std::memcpy(out, kSmallWholes.text[whole], 4);
    out += kSmallWholes.text[whole][3];
  } else {
    out = WriteDecimalDigits(out, whole);
  }
  if (precision == 0) return out;
  *out++ = '.';
  if (fraction == 0 && precision <= 8) {
    std::memcpy(out, "00000000", 8);  // the room of a precision is far more
  } else {
    WriteDigitsBackwards(out + precision, fraction, precision);
  }
  return out + precision;
}
