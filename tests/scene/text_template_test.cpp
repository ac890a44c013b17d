#include "scene/text_template.h"

#include <gtest/gtest.h>

#include <cfloat>
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
  for (float value : values) {
    // NaN is spelt below; C libraries differ on its sign, quadkit does not.
    if (std::isnan(value)) continue;
    for (const char* format : {"%f", "%.2f"}) {
      ASSERT_EQ(FillTemplate(format, {value}), Printf(format, value)) << format << " " << value;
    }
  }
  EXPECT_EQ(FillTemplate("%f %f", {std::nanf(""), -std::nanf("")}), "nan -nan");  // as glibc
  EXPECT_EQ(FillTemplate("%f", {0.1}), "0.100000");  // a double that is no float
}

TEST(TextTemplateTest, IntegersTextsAndOtherConversions) {
  EXPECT_EQ(FillTemplate("Rechteck-ID: %s Offset: %8X\r\n", {"Rect_3", 0x1064u}),
            "Rechteck-ID: Rect_3 Offset:     1064\r\n");
  EXPECT_EQ(FillTemplate("%8X|%X|%d|%d|%lld", {99u, 0xFFFFFFFFu, INT32_MIN, -5, 123456789012LL}),
            "      63|FFFFFFFF|-2147483648|-5|123456789012");
  EXPECT_EQ(FillTemplate("100%% of %s, %d", {std::string("x")}), "100% of x, 0");
}

}  // namespace
