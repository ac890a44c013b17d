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

// Writes value, a float, with precision decimals at out and returns the end,
// exactly as printf rounds it: the float is m * 2^e, so value * 10^precision
// is found with integer arithmetic and rounded half to even. False when the
// float is too large for 64-bit integer parts (2^40 and more); to_chars then
// writes it.
bool FormatFloatFixed(float value, int precision, char*& out) {
  static const uint64_t kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const int biasedExponent = static_cast<int>((bits >> 23) & 0xFFu);
  if (biasedExponent == 0xFF || precision > 6) return false;
  uint64_t mantissa = bits & 0x7FFFFFu;
  int exponent = -149;  // subnormal
  if (biasedExponent != 0) {
    mantissa |= 0x800000u;
    exponent = biasedExponent - 150;
  }
  if (exponent > 39) return false;
  const uint64_t scale = kPowersOfTen[precision];
  uint64_t integer = 0;
  uint64_t fraction = 0;  // the decimals, scaled by 10^precision
  if (exponent >= 0) {
    integer = mantissa << exponent;
  } else if (exponent > -64) {
    const int shift = -exponent;
    integer = shift < 24 ? mantissa >> shift : 0;
    const uint64_t rest = shift < 24 ? mantissa & ((uint64_t{1} << shift) - 1) : mantissa;
    const uint64_t scaled = rest * scale;  // below 2^44
    fraction = scaled >> shift;
    const uint64_t remainder = scaled & ((uint64_t{1} << shift) - 1);
    const uint64_t half = uint64_t{1} << (shift - 1);
    if (remainder > half || (remainder == half && (fraction & 1) != 0)) ++fraction;
    if (fraction == scale) {
      ++integer;
      fraction = 0;
    }
  }  // else below 2^-40: rounds to zero at six decimals
  if ((bits >> 31) != 0) *out++ = '-';
  out = std::to_chars(out, out + 24, integer).ptr;
  if (precision > 0) {
    *out++ = '.';
    for (int digit = precision - 1; digit >= 0; --digit) {
      out[digit] = static_cast<char>('0' + fraction % 10);
      fraction /= 10;
    }
    out += precision;
  }
  return true;
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
  char* out = digits;
  const float single = static_cast<float>(value);
  // Coordinates are floats: the fast exact path; any other value to_chars.
  if (!(static_cast<double>(single) == value && FormatFloatFixed(single, precision, out))) {
    out = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, precision).ptr;
  }
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
