// Fills a printf-style template into a growing text, with the conversions
// quadkit's file formats and messages use: %d (also %ld, %lld), %X with a
// width (%8X), %s, %f and %.Nf. Numbers come out exactly as the C library's
// printf writes them in the "C" locale, on every platform, including "inf"
// and "-nan", but without printf's cost: each template stays one literal
// that reads like the file it writes.
#ifndef QUADKIT_SCENE_TEXT_TEMPLATE_H_
#define QUADKIT_SCENE_TEXT_TEMPLATE_H_

#include <cstdint>
#include <initializer_list>
#include <string>

// One value for a template's conversion, in the order the conversions stand.
class TemplateValue {
 public:
  enum class Kind { kInteger, kReal, kText };
  TemplateValue(int value) : kind_(Kind::kInteger), integer_(value) {}
  TemplateValue(long value) : kind_(Kind::kInteger), integer_(value) {}
  TemplateValue(long long value) : kind_(Kind::kInteger), integer_(value) {}
  TemplateValue(unsigned value) : kind_(Kind::kInteger), integer_(value) {}
  TemplateValue(unsigned long value) : kind_(Kind::kInteger), integer_(static_cast<long long>(value)) {}
  TemplateValue(unsigned long long value)
      : kind_(Kind::kInteger), integer_(static_cast<long long>(value)) {}
  TemplateValue(float value) : kind_(Kind::kReal), real_(value) {}  // widened, as printf does
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

// Appends tmpl to text with its conversions filled from values, in order.
// A conversion without a value, or a value of the wrong kind, is filled as
// printf would fill a zero or an empty text; "%%" is a percent sign.
void AppendTemplate(std::string& text, const char* tmpl,
                    std::initializer_list<TemplateValue> values = {});

// The same, as a new text.
std::string FillTemplate(const char* tmpl, std::initializer_list<TemplateValue> values = {});

#endif  // QUADKIT_SCENE_TEXT_TEMPLATE_H_
