#include "text/text_template.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

std::string Printf(const char* format, double value) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

// The files' numbers must be the C library's, digit for digit: every float
// class, the rounding ties and random bit patterns, at both precisions used.
TEST(TextTemplateTest, RealsMatchTheCLibrary) {
  std::vector<float> values = {0.0f, -0.0f, 1.0f, -2.5f, 0.1f, 0.0078125f, 0.125f, 0.005f,
                               1234.567f, 1e10f, 12345678.0f, 0.0000001f, -0.0000001f,
                               0.0000005f, 0.00000049999997f, 1099511627776.0f, 549755813888.0f,
                               FLT_MAX, -FLT_MAX, FLT_MIN, FLT_TRUE_MIN, -FLT_TRUE_MIN,
                               std::numeric_limits<float>::infinity(),
                               -std::numeric_limits<float>::infinity()};
  std::mt19937 random(7);
  for (int k = 0; k < 300000; ++k) {
    uint32_t bits = random();
    if (k % 2 == 0) bits = (bits & 0x807FFFFFu) | ((100 + bits % 60) << 23);  // near 1
    float value;
    std::memcpy(&value, &bits, sizeof value);
    values.push_back(value);
  }
  // The typed templates take a faster road than the engine's Append: both
  // are checked, the typed one with literals around the numbers.
  constexpr TextTemplate<RealValue, RealValue> kTyped{"a %f, %.2f;\r\n"};
  for (float value : values) {
    // NaN is spelt below; C libraries differ on its sign, quadkit does not.
    if (std::isnan(value)) continue;
    for (const char* format : {"%f", "%.2f"}) {
      std::string text;
      text_template_detail::Append(text, format, {value});
      ASSERT_EQ(text, Printf(format, value)) << format << " " << value;
    }
    ASSERT_EQ(FillTemplate(kTyped, value, value),
              "a " + Printf("%f", value) + ", " + Printf("%.2f", value) + ";\r\n");
  }
  constexpr TextTemplate<RealValue, RealValue> kTwo{"%f %f"};
  EXPECT_EQ(FillTemplate(kTwo, std::nanf(""), -std::nanf("")), "nan -nan");  // as glibc
  constexpr TextTemplate<RealValue> kOne{"%f"};
  EXPECT_EQ(FillTemplate(kOne, 0.1), "0.100000");  // a double that is no float
}

TEST(TextTemplateTest, IntegersTextsAndOtherConversions) {
  constexpr TextTemplate<TextValue, IntValue> kProgress{"Rechteck-ID: %s Offset: %8X\r\n"};
  EXPECT_EQ(FillTemplate(kProgress, "Rect_3", 0x1064u), "Rechteck-ID: Rect_3 Offset:     1064\r\n");
  constexpr TextTemplate<IntValue, IntValue, IntValue, IntValue, IntValue> kIntegers{"%8X|%X|%d|%d|%lld"};
  EXPECT_EQ(FillTemplate(kIntegers, 99u, 0xFFFFFFFFu, INT32_MIN, -5, 123456789012LL),
            "      63|FFFFFFFF|-2147483648|-5|123456789012");
  constexpr TextTemplate<IntValue, IntValue, IntValue, IntValue, RealValue> kEdges{"%d,%lld,%lld,%d|%.400f"};
  char wide[1024];
  std::snprintf(wide, sizeof wide, "%d,%lld,%lld,%d|%.400f", 0, LLONG_MIN, LLONG_MAX, -1, -FLT_TRUE_MIN);
  EXPECT_EQ(FillTemplate(kEdges, 0, LLONG_MIN, LLONG_MAX, -1, -FLT_TRUE_MIN), wide);
  constexpr TextTemplate<TextValue, IntValue> kPercent{"100%% of %s, %d"};
  EXPECT_EQ(FillTemplate(kPercent, std::string("x"), 7), "100% of x, 7");
}

}  // namespace
