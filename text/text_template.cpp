#include "text/text_template.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "text/fixed_decimal.h"

namespace {

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
// in few appends: a template is many short pieces. Numbers are written
// straight into the buffer.
class StagedText {
 public:
  explicit StagedText(std::string& text) : text_(text) {}
  ~StagedText() { Flush(); }
  void Put(const char* piece, size_t length) {
    if (length <= 8 && used_ + length <= sizeof buffer_) {
      // The usual literal (", ", "\r\n\t"): a few bytes, copied in place.
      char* at = buffer_ + used_;
      for (size_t k = 0; k < length; ++k) at[k] = piece[k];
      used_ += length;
      return;
    }
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
  // A piece of a template that has at least readable characters from piece
  // on: one fixed-size copy of 16 or 32 bytes when both the template and the
  // buffer have them, the length kept.
  void PutFrom(const char* piece, size_t length, size_t readable) {
    if (length <= 16 && readable >= 16 && used_ + 16 <= sizeof buffer_) {
      std::memcpy(buffer_ + used_, piece, 16);
      used_ += length;
      return;
    }
    if (length <= 32 && readable >= 32 && used_ + 32 <= sizeof buffer_) {
      std::memcpy(buffer_ + used_, piece, 32);
      used_ += length;
      return;
    }
    Put(piece, length);
  }
  void PutBlanks(size_t count) {
    while (count > 0) {
      if (used_ == sizeof buffer_) Flush();
      const size_t part = std::min(count, sizeof buffer_ - used_);
      std::memset(buffer_ + used_, ' ', part);
      used_ += part;
      count -= part;
    }
  }
  // Room for size characters at the end of the buffer (size at most
  // kRoom); Commit then takes what was written there.
  static constexpr size_t kRoom = 2048;
  char* Room(size_t size) {
    if (used_ + size > sizeof buffer_) Flush();
    return buffer_ + used_;
  }
  void Commit(const char* end) { used_ = static_cast<size_t>(end - buffer_); }

 private:
  void Flush() {
    text_.append(buffer_, used_);
    used_ = 0;
  }
  std::string& text_;
  char buffer_[kRoom];
  size_t used_ = 0;
};

void AppendPadded(StagedText& text, const char* begin, const char* end, int width) {
  const long length = end - begin;
  if (width > length) text.PutBlanks(static_cast<size_t>(width - length));
  text.Put(begin, static_cast<size_t>(length));
}

// A number written by write into room characters, padded to width.
template <typename Write>
void AppendNumber(StagedText& text, size_t room, int width, Write write) {
  if (width <= 0 && room <= StagedText::kRoom) {
    char* start = text.Room(room);
    text.Commit(write(start));
    return;
  }
  std::string digits(room, '\0');
  const char* end = write(&digits[0]);
  AppendPadded(text, digits.data(), end, width);
}

void AppendInteger(StagedText& text, long long value, const Conversion& conversion) {
  if (conversion.letter == 'X') {
    // %X prints the two's complement bits of the unsigned value.
    static const char kHex[] = "0123456789ABCDEF";
    char digits[8];
    char* start = digits + sizeof digits;
    unsigned bits = static_cast<unsigned>(value);
    do {
      *--start = kHex[bits & 0xF];
      bits >>= 4;
    } while (bits != 0);
    AppendPadded(text, start, digits + sizeof digits, conversion.width);
    return;
  }
  AppendNumber(text, 24, conversion.width, [value](char* out) {
    if (value < 0) {
      *out++ = '-';
      return WriteDecimalDigits(out, 0ull - static_cast<unsigned long long>(value));
    }
    return WriteDecimalDigits(out, static_cast<unsigned long long>(value));
  });
}

void AppendReal(StagedText& text, double value, const Conversion& conversion) {
  const int precision = conversion.precision < 0 ? 6 : conversion.precision;
  if (std::isnan(value)) {  // printf's spelling, which to_chars shares only on some libraries
    const char* word = std::signbit(value) ? "-nan" : "nan";
    AppendPadded(text, word, word + std::char_traits<char>::length(word), conversion.width);
    return;
  }
  AppendNumber(text, FixedDecimalRoom(precision), conversion.width,
               [value, precision](char* out) { return WriteFixedDecimal(out, value, precision); });
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

void text_template_detail::AppendPieces(std::string& filled, const char* tmpl, const Piece* pieces, size_t count,
                                        size_t tailStart, size_t tailLength,
                                        std::initializer_list<TemplateValue> values) {
  StagedText text(filled);
  const size_t end = tailStart + tailLength;  // the template's length
  const TemplateValue* next = values.begin();
  for (size_t k = 0; k < count; ++k) {
    const Piece& piece = pieces[k];
    text.PutFrom(tmpl + piece.start, piece.length, end - piece.start);
    const TemplateValue& value = *next++;
    // The conversions without a width, nearly all of the formats', straight
    // into the buffer; the others through AppendValue.
    if (piece.width == 0) {
      const int precision = piece.precision < 0 ? 6 : piece.precision;
      if (piece.letter == 'f' && FixedDecimalRoom(precision) <= StagedText::kRoom && !std::isnan(value.real())) {
        char* start = text.Room(FixedDecimalRoom(precision));
        text.Commit(WriteFixedDecimal(start, value.real(), precision));
        continue;
      }
      if (piece.letter == 'd') {
        char* out = text.Room(24);
        const long long integer = value.integer();
        if (integer < 0) {
          *out++ = '-';
          out = WriteDecimalDigits(out, 0ull - static_cast<unsigned long long>(integer));
        } else {
          out = WriteDecimalDigits(out, static_cast<unsigned long long>(integer));
        }
        text.Commit(out);
        continue;
      }
    }
    Conversion conversion;
    conversion.width = piece.width;
    conversion.precision = piece.precision;
    conversion.letter = piece.letter;
    AppendValue(text, conversion, value);
  }
  text.Put(tmpl + tailStart, tailLength);
}
