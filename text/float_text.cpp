#include "text/float_text.h"

#include <charconv>
#include <cmath>

#include "text/fixed_decimal.h"

namespace {

// printf's spelling of a value that is no finite number; null for a finite one.
const char* NonFiniteText(float value) {
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  return nullptr;
}

}  // namespace

void AppendShortestFloat(std::string& text, float value) {
  if (const char* word = NonFiniteText(value)) {
    text += word;
    return;
  }
  // The longest shortest plain text is well under 64 characters: a sign
  // and 39 integer digits for the largest floats, "0." and at most 54
  // decimals for the smallest.
  char digits[64];
  char* end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed).ptr;
  text.append(digits, end);
}

std::string FixedFloatText(float value, int decimals) {
  if (const char* word = NonFiniteText(value)) return word;
  if (decimals < 0) decimals = 0;
  if (decimals > kMaxFixedDecimals) decimals = kMaxFixedDecimals;
  char digits[FixedDecimalRoom(kMaxFixedDecimals)];
  return std::string(digits, WriteFixedDecimal(digits, static_cast<double>(value), decimals));
}
