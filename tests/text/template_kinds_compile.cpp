// Compiled by the test suite on its own, once for each case: case 0 must
// compile, every other case must not, because a template's conversions and
// the values given for them must agree in number and kind.
#include <string>

#include "text/text_template.h"

int main() {
  std::string text;
#if QUADKIT_TEMPLATE_CASE == 1  // conversions that do not match the declared kinds
  constexpr TextTemplate<IntValue> kLine{"%f"};
  AppendTemplate(text, kLine, 1);
#elif QUADKIT_TEMPLATE_CASE == 2  // a float for %d
  constexpr TextTemplate<IntValue> kLine{"%d"};
  AppendTemplate(text, kLine, 1.5f);
#elif QUADKIT_TEMPLATE_CASE == 3  // a number for %s
  constexpr TextTemplate<TextValue> kLine{"%s"};
  AppendTemplate(text, kLine, 7);
#elif QUADKIT_TEMPLATE_CASE == 4  // a value missing
  constexpr TextTemplate<IntValue, TextValue> kLine{"%d %s"};
  AppendTemplate(text, kLine, 1);
#else
  constexpr TextTemplate<IntValue, RealValue, TextValue> kLine{"%8X %.2f %s"};
  AppendTemplate(text, kLine, 1u, 1.5f, std::string("x"));
#endif
  return text.empty() ? 1 : 0;
}
