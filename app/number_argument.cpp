#include "app/number_argument.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>

#include "text/text_rules.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

const char* SkipDigits(const char* p) {
  while (IsDigit(*p)) ++p;
  return p;
}

// The end of the decimal number that starts at p, or null when none does.
const char* MatchDecimal(const char* p) {
  if (*p == '+' || *p == '-') ++p;
  const char* intEnd = SkipDigits(p);
  const char* end = intEnd;
  if (*end == '.') end = SkipDigits(end + 1);
  const bool anyDigit = intEnd > p || end > intEnd + 1;
  if (!anyDigit) return nullptr;
  if (*end == 'e' || *end == 'E') {
    const char* exponent = end + 1;
    if (*exponent == '+' || *exponent == '-') ++exponent;
    const char* exponentEnd = SkipDigits(exponent);
    if (exponentEnd == exponent) return nullptr;
    end = exponentEnd;
  }
  return end;
}

}  // namespace

bool ParseDecimalArgument(const char* text, float* value) {
  if (text == nullptr) return false;
  const char* start = SkipScanSpace(text);
  const char* end = MatchDecimal(start);
  if (end == nullptr) return false;
  for (const char* rest = end; *rest != '\0'; ++rest) {
    if (!IsScanSpace(*rest)) return false;
  }
  // The text is plain decimal, so strtod reads exactly the matched part.
  const double number = std::strtod(start, nullptr);
  if (!std::isfinite(number) || std::fabs(number) > FLT_MAX) return false;
  *value = static_cast<float>(number);
  return true;
}
