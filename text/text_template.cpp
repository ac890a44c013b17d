#include "text/text_template.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

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

// Collects a template's pieces in a small buffer and hands them to the text
// in few appends: a template is many short pieces.
class StagedText {
 public:
  explicit StagedText(std::string& text) : text_(text) {}
  ~StagedText() { Flush(); }
  void Put(const char* piece, size_t length) {
    if (used_ + length > sizeof buffer_) {
      Flush();
      if (length > sizeof buffer_) {
        text_.append(piece, length);
        return;
      }
    }
    std::memcpy(buffer_ + used_, piece, length);
    used_ += length;
  }
  void PutBlanks(size_t count) {
    while (count-- > 0) Put(" ", 1);
  }

 private:
  void Flush() {
    text_.append(buffer_, used_);
    used_ = 0;
  }
  std::string& text_;
  char buffer_[2048];
  size_t used_ = 0;
};

void AppendPadded(StagedText& text, const char* begin, const char* end, int width) {
  const long length = end - begin;
  if (width > length) text.PutBlanks(static_cast<size_t>(width - length));
  text.Put(begin, static_cast<size_t>(length));
}

void AppendInteger(StagedText& text, long long value, const Conversion& conversion) {
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

void AppendReal(StagedText& text, double value, const Conversion& conversion) {
  char digits[kNumberRoom];
  const int precision = conversion.precision < 0 ? 6 : conversion.precision;
  const char* end;
  if (std::isnan(value)) {  // printf's spelling, which to_chars shares only on some libraries
    end = std::signbit(value) ? "-nan" : "nan";
    AppendPadded(text, end, end + std::char_traits<char>::length(end), conversion.width);
    return;
  }
  // to_chars with a precision rounds exactly as printf does.
  const char* out =
      std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, precision).ptr;
  AppendPadded(text, digits, out, conversion.width);
}

// The typed templates guarantee one value of the right kind per conversion.
void AppendValue(StagedText& text, const Conversion& conversion, const TemplateValue& value) {
  switch (conversion.letter) {
    case 'd':
    case 'X':
      AppendInteger(text, value.integer(), conversion);
      break;
    case 'f':
      AppendReal(text, value.real(), conversion);
      break;
    default: {  // 's'
      const char* s = value.text();
      AppendPadded(text, s, s + std::char_traits<char>::length(s), conversion.width);
    }
  }
}

}  // namespace

void text_template_detail::Append(std::string& filled, const char* tmpl,
                                  std::initializer_list<TemplateValue> values) {
  StagedText text(filled);
  const TemplateValue* next = values.begin();
  const char* p = tmpl;
  while (*p != '\0') {
    const char* percent = std::strchr(p, '%');
    if (percent == nullptr) {
      text.Put(p, std::strlen(p));
      break;
    }
    text.Put(p, static_cast<size_t>(percent - p));
    if (percent[1] == '%') {
      text.Put("%", 1);
      p = percent + 2;
      continue;
    }
    Conversion conversion;
    p = ReadConversion(percent + 1, conversion);
    AppendValue(text, conversion, *next++);
  }
}
