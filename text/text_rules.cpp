#include "text/text_rules.h"

#include <charconv>
#include <cstdint>
#include <cstdlib>

const char* ScanClampedInt(const char* p, int32_t* value) {
  p = SkipScanSpace(p);
  const bool negative = *p == '-';
  if (*p == '+' || *p == '-') ++p;
  if (*p < '0' || *p > '9') return nullptr;
  int64_t number = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    if (number <= INT32_MAX) number = number * 10 + (*p - '0');  // later digits cannot matter
  }
  if (negative) number = -number;
  *value = static_cast<int32_t>(number > INT32_MAX ? INT32_MAX
                                : number < INT32_MIN ? INT32_MIN
                                                     : number);
  return p;
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool MayBelongToNumber(char c) {
  return IsDigit(c) || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
}

// The decimal number at p (after its sign) as digits * 10^-decimals, with
// the trailing zeros of its decimals dropped. When digits fits a float's
// 24 bits and decimals is at most 10, one float division of two exact
// floats gives the correctly rounded value, as strtof does. Null when the
// number is not of that plain form.
const char* ScanPlainDecimal(const char* p, bool negative, float* value) {
  static const uint64_t kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000,
                                          100000000, 1000000000, 10000000000};
  constexpr uint64_t kLargest = uint64_t{1} << 24;
  const char* start = p;
  uint64_t digits = 0;
  for (; IsDigit(*p); ++p) {
    digits = digits * 10 + static_cast<uint64_t>(*p - '0');
    if (digits > kLargest) return nullptr;
  }
  int decimals = 0;
  if (*p == '.') {
    int zeros = 0;  // held back: trailing zeros do not count
    for (++p; IsDigit(*p); ++p) {
      if (*p == '0') {
        ++zeros;
        continue;
      }
      decimals += zeros + 1;
      if (decimals > 10) return nullptr;
      digits = digits * kPowersOfTen[zeros + 1] + static_cast<uint64_t>(*p - '0');
      if (digits > kLargest) return nullptr;
      zeros = 0;
    }
  }
  if (p == start || (p == start + 1 && *start == '.')) return nullptr;
  if (*p == 'e' || *p == 'E') return nullptr;  // left to the general path
  float number = static_cast<float>(digits);
  if (decimals > 0) number /= static_cast<float>(kPowersOfTen[decimals]);
  *value = negative ? -number : number;
  return p;
}

}  // namespace

const char* ScanFloat(const char* p, float* value) {
  // The plain decimals that writers produce are read exactly without a
  // library call; from_chars, exact like strtof and faster, takes the other
  // decimal forms; strtof everything else (a plus sign, hexadecimal, inf
  // and nan, numbers out of range).
  const char* start = SkipScanSpace(p);
  const bool negative = *start == '-';
  const char* digits = start + (negative ? 1 : 0);
  const bool hexadecimal = digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
  if ((IsDigit(*digits) || (*digits == '.' && IsDigit(digits[1]))) && !hexadecimal) {
    if (const char* end = ScanPlainDecimal(digits, negative, value)) return end;
    const char* last = digits;
    while (MayBelongToNumber(*last)) ++last;
    float number;
    const std::from_chars_result result = std::from_chars(start, last, number);
    if (result.ec == std::errc()) {
      *value = number;
      return result.ptr;
    }
  }
  char* end = nullptr;
  const float number = std::strtof(p, &end);
  if (end == p) return p;
  *value = number;
  return end;
}
