#include "app/number_argument.h"

#include <gtest/gtest.h>

#include <cfloat>

TEST(NumberArgumentTest, AcceptsWholeFiniteDecimals) {
  struct Case {
    const char* text;
    float value;
  };
  for (const Case& c : {Case{"2", 2}, Case{" 2 ", 2}, Case{"+1.5", 1.5f}, Case{".5", 0.5f},
                        Case{"5.", 5}, Case{"-1e-3", -0.001f}, Case{"\t-0\n", 0},
                        Case{"3.4028234e38", FLT_MAX}, Case{"1e-300", 0}}) {
    float value = 99;
    EXPECT_TRUE(ParseDecimalArgument(c.text, &value)) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
}

TEST(NumberArgumentTest, RefusesEverythingElse) {
  for (const char* text : {"", " ", "x2", "2x", "nan", "inf", "-INF", "/DW", "1e39", "-1e39",
                           "0x10", "1.5.2", ".", "-", "1e", "1e+", "2 3", "1,5"}) {
    float value = 99;
    EXPECT_FALSE(ParseDecimalArgument(text, &value)) << text;
    EXPECT_EQ(value, 99) << text;
  }
}
