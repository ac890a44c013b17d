#include "scene/text_template.h"

#include <charconv>
#include <cmath>

namespace {

// Room for any converted number: the longest "%f" of a double has 309
// integer digits.
constexpr int kNumberRoom = 400;

struct Conversion {
  int width = 0;       // at least this many characters, padded with blanks on the left
  int precision = -1;  // digits after the point; -1: the default of six
  char letter = 0;     // d, X, s or f
};

// Reads the conversion that follows a '%' at p; returns the character
// after it.
const char* ReadConversion(const char* p, Conversion& conversion) {
  while (*p >= '0' && *p <= '9') conversion.width = conversion.width * 10 + (*p++ - '0');
  if (*p == '.') {
    conversion.precision = 0;
    for (++p; *p >= '0' && *p <= '9'; ++p) conversion.precision = conversion.precision * 10 + (*p - '0');
  }
  while (*p == 'l') ++p;
  if (*p != '\0') conversion.letter = *p++;
  return p;
}

void AppendPadded(std::string& text, const char* begin, const char* end, int width) {
  const long length = end - begin;
  if (width > length) text.append(static_cast<size_t>(width - length), ' ');
  text.append(begin, static_cast<size_t>(length));
}

void AppendInteger(std::string& text, long long value, const Conversion& conversion) {
  char digits[kNumberRoom];
  std::to_chars_result result;
  if (conversion.letter == 'X') {
    // %X prints the two's complement bits of the unsigned value.
    result = std::to_chars(digits, digits + sizeof digits, static_cast<unsigned>(value), 16);
    for (char* c = digits; c < result.ptr; ++c) {
      if (*c >= 'a' && *c <= 'f') *c = static_cast<char>(*c - 'a' + 'A');
    }
  } else {
    result = std::to_chars(digits, digits + sizeof digits, value);
  }
  AppendPadded(text, digits, result.ptr, conversion.width);
}

void AppendReal(std::string& text, double value, const Conversion& conversion) {
  char digits[kNumberRoom];
  const int precision = conversion.precision < 0 ? 6 : conversion.precision;
  const char* end;
  if (std::isnan(value)) {  // printf's spelling, which to_chars shares only on some libraries
    end = std::signbit(value) ? "-nan" : "nan";
    AppendPadded(text, end, end + std::char_traits<char>::length(end), conversion.width);
    return;
  }
  end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, precision).ptr;
  AppendPadded(text, digits, end, conversion.width);
}

void AppendValue(std::string& text, const Conversion& conversion, const TemplateValue* value) {
  const TemplateValue zero(0);
  const TemplateValue& v = value != nullptr ? *value : zero;
  switch (conversion.letter) {
    case 'd':
    case 'i':
    case 'X':
      AppendInteger(text, v.kind() == TemplateValue::Kind::kInteger ? v.integer() : 0, conversion);
      break;
    case 'f':
      AppendReal(text,
                 v.kind() == TemplateValue::Kind::kReal      ? v.real()
                 : v.kind() == TemplateValue::Kind::kInteger ? static_cast<double>(v.integer())
                                                             : 0.0,
                 conversion);
      break;
    case 's': {
      const char* s = v.kind() == TemplateValue::Kind::kText ? v.text() : "";
      AppendPadded(text, s, s + std::char_traits<char>::length(s), conversion.width);
      break;
    }
    default:
      break;
  }
}

}  // namespace

void AppendTemplate(std::string& text, const char* tmpl, std::initializer_list<TemplateValue> values) {
  const TemplateValue* next = values.begin();
  const char* p = tmpl;
  while (*p != '\0') {
    const char* percent = p;
    while (*percent != '\0' && *percent != '%') ++percent;
    text.append(p, static_cast<size_t>(percent - p));
    if (*percent == '\0') break;
    if (percent[1] == '%') {
      text.push_back('%');
      p = percent + 2;
      continue;
    }
    Conversion conversion;
    p = ReadConversion(percent + 1, conversion);
    AppendValue(text, conversion, next != values.end() ? next : nullptr);
    if (next != values.end()) ++next;
  }
}

std::string FillTemplate(const char* tmpl, std::initializer_list<TemplateValue> values) {
  std::string text;
  AppendTemplate(text, tmpl, values);
  return text;
}
