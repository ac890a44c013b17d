// Fills a printf-style template into a growing text, with the conversions
// quadkit's file formats and messages use: %d (also %ld, %lld), %X with a
// width (%8X), %s, %f and %.Nf. Numbers come out exactly as the C library's
// printf writes them in the "C" locale, on every platform, including "inf"
// and "-nan". Each template stays one literal that reads like the file it
// writes.
//
// A template is a constant that names the kinds of its values:
//
//   constexpr TextTemplate<IntValue, TextValue> kLine{"rectangle %d: %s\r\n"};
//   AppendTemplate(text, kLine, index, name);
//
// A template whose conversions do not match its kinds, a value of the wrong
// kind (a float for %d) and a missing or extra value do not compile.
#ifndef QUADKIT_TEXT_TEXT_TEMPLATE_H_
#define QUADKIT_TEXT_TEXT_TEMPLATE_H_

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <type_traits>

// The kinds of values, one per conversion.
struct IntValue {};   // %d, %X
struct RealValue {};  // %f, %.Nf: a float is widened to double, as printf does
struct TextValue {};  // %s

// One filled value, as the template engine below takes it.
class TemplateValue {
 public:
  enum class Kind { kInteger, kReal, kText };
  template <typename T, std::enable_if_t<std::is_integral<T>::value, int> = 0>
  TemplateValue(T value) : kind_(Kind::kInteger), integer_(static_cast<long long>(value)) {}
  TemplateValue(double value) : kind_(Kind::kReal), real_(value) {}
  TemplateValue(const char* value) : kind_(Kind::kText), text_(value != nullptr ? value : "") {}
  TemplateValue(const std::string& value) : kind_(Kind::kText), text_(value.c_str()) {}

  Kind kind() const { return kind_; }
  long long integer() const { return integer_; }
  double real() const { return real_; }
  const char* text() const { return text_; }

 private:
  Kind kind_;
  long long integer_ = 0;
  double real_ = 0.0;
  const char* text_ = "";
};

namespace text_template_detail {

template <typename Kind>
constexpr TemplateValue::Kind KindOf();
template <>
constexpr TemplateValue::Kind KindOf<IntValue>() { return TemplateValue::Kind::kInteger; }
template <>
constexpr TemplateValue::Kind KindOf<RealValue>() { return TemplateValue::Kind::kReal; }
template <>
constexpr TemplateValue::Kind KindOf<TextValue>() { return TemplateValue::Kind::kText; }

// The kind a conversion letter takes; false for a letter quadkit has none of.
constexpr bool KindOfLetter(char letter, TemplateValue::Kind& kind) {
  if (letter == 'd' || letter == 'X') {
    kind = TemplateValue::Kind::kInteger;
  } else if (letter == 'f') {
    kind = TemplateValue::Kind::kReal;
  } else if (letter == 's') {
    kind = TemplateValue::Kind::kText;
  } else {
    return false;
  }
  return true;
}

// True when the conversions of text are, in order, exactly kinds.
constexpr bool ConversionsMatch(const char* text, const TemplateValue::Kind* kinds, size_t count) {
  size_t next = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p != '%') continue;
    ++p;
    if (*p == '%') continue;
    while ((*p >= '0' && *p <= '9') || *p == '.' || *p == 'l') ++p;
    TemplateValue::Kind kind = TemplateValue::Kind::kInteger;
    if (!KindOfLetter(*p, kind) || next == count || kinds[next] != kind) return false;
    ++next;
  }
  return next == count;
}

template <typename Kind, typename Value>
struct Accepts : std::false_type {};
template <typename Value>
struct Accepts<IntValue, Value>
    : std::integral_constant<bool, std::is_integral<Value>::value && !std::is_same<Value, bool>::value> {};
template <typename Value>
struct Accepts<RealValue, Value> : std::is_floating_point<Value> {};
template <typename Value>
struct Accepts<TextValue, Value>
    : std::integral_constant<bool, std::is_convertible<Value, const char*>::value ||
                                       std::is_same<Value, std::string>::value> {};

// The engine: fills tmpl from values in order. Only the typed
// AppendTemplate below and the engine's own test call it.
void Append(std::string& text, const char* tmpl, std::initializer_list<TemplateValue> values);

// A conversion read once, when the template is made: the literal text
// before it (from start, length characters) and its width, precision and
// letter.
struct Piece {
  size_t start = 0;
  size_t length = 0;
  int width = 0;
  int precision = -1;  // -1: the default of six
  char letter = 0;
};

// The same as Append, from the template's pieces: count conversions, then
// the tailLength characters of literal text from tailStart.
void AppendPieces(std::string& text, const char* tmpl, const Piece* pieces, size_t count, size_t tailStart,
                  size_t tailLength, std::initializer_list<TemplateValue> values);

}  // namespace text_template_detail

template <typename... Kinds>
class TextTemplate {
 public:
  // In a constant expression (a constexpr template), a text whose
  // conversions differ from Kinds throws, which stops the compilation.
  constexpr explicit TextTemplate(const char* text) : text_(text) {
    if (!text_template_detail::ConversionsMatch(text, kKinds, sizeof...(Kinds))) {
      throw "the template's conversions do not match the kinds of its values";
    }
    ReadPieces();
  }
  constexpr const char* text() const { return text_; }

  // The conversions as read when the template was made; a template with a
  // "%%" has none, and is read at every fill.
  constexpr bool readOnce() const { return readOnce_; }
  constexpr const text_template_detail::Piece* pieces() const { return pieces_; }
  constexpr size_t tailStart() const { return tailStart_; }
  constexpr size_t tailLength() const { return tailLength_; }

 private:
  static constexpr TemplateValue::Kind kKinds[sizeof...(Kinds) + 1] = {
      text_template_detail::KindOf<Kinds>()..., TemplateValue::Kind::kText};

  constexpr void ReadPieces() {
    size_t at = 0;
    size_t start = 0;
    size_t next = 0;
    while (text_[at] != '\0') {
      if (text_[at] != '%') {
        ++at;
        continue;
      }
      if (text_[at + 1] == '%') {
        readOnce_ = false;
        return;
      }
      text_template_detail::Piece& piece = pieces_[next++];
      piece.start = start;
      piece.length = at - start;
      ++at;
      while (text_[at] >= '0' && text_[at] <= '9') piece.width = piece.width * 10 + (text_[at++] - '0');
      if (text_[at] == '.') {
        piece.precision = 0;
        for (++at; text_[at] >= '0' && text_[at] <= '9'; ++at) {
          piece.precision = piece.precision * 10 + (text_[at] - '0');
        }
      }
      while (text_[at] == 'l') ++at;
      piece.letter = text_[at++];
      start = at;
    }
    tailStart_ = start;
    tailLength_ = at - start;
    readOnce_ = true;
  }

  const char* text_;
  bool readOnce_ = false;
  text_template_detail::Piece pieces_[sizeof...(Kinds) + 1] = {};
  size_t tailStart_ = 0;
  size_t tailLength_ = 0;
};

// Appends tmpl to text with its conversions filled from values, in order;
// "%%" is a percent sign.
template <typename... Kinds, typename... Values>
void AppendTemplate(std::string& text, const TextTemplate<Kinds...>& tmpl, const Values&... values) {
  static_assert(sizeof...(Values) == sizeof...(Kinds), "give the template one value per conversion");
  static_assert((text_template_detail::Accepts<Kinds, std::decay_t<Values>>::value && ...),
                "a value of the wrong kind for its conversion");
  if (tmpl.readOnce()) {
    text_template_detail::AppendPieces(text, tmpl.text(), tmpl.pieces(), sizeof...(Kinds), tmpl.tailStart(),
                                       tmpl.tailLength(),
                                       {TemplateValue(values)...});
  } else {
    text_template_detail::Append(text, tmpl.text(), {TemplateValue(values)...});
  }
}

// The same, as a new text.
template <typename... Kinds, typename... Values>
std::string FillTemplate(const TextTemplate<Kinds...>& tmpl, const Values&... values) {
  std::string text;
  AppendTemplate(text, tmpl, values...);
  return text;
}

#endif  // QUADKIT_TEXT_TEXT_TEMPLATE_H_
