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

}  // namespace

const char* ScanFloat(const char* p, float* value) {
  // from_chars, exact like strtof and faster, takes the decimal forms;
  // strtof everything else (a plus sign, hexadecimal, inf and nan, numbers
  // out of range).
  const char* start = SkipScanSpace(p);
  const bool negative = *start == '-';
  const char* digits = start + (negative ? 1 : 0);
  const bool hexadecimal = digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
  if ((IsDigit(*digits) || (*digits == '.' && IsDigit(digits[1]))) && !hexadecimal) {
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
