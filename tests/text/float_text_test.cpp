#include "text/float_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "text/text_rules.h"

namespace {

float FloatOfBits(uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// Every finite float comes back bit for bit from its shortest text, which
// has no exponent; "%.Nf" is printf's.
TEST(FloatTextTest, ShortestTextReadsBackAndFixedIsPrintf) {
  std::mt19937 random(18);
  for (int k = 0; k < 200000; ++k) {
    const uint32_t bits = k < 64 ? (k % 2 == 0 ? k : 0x7F7FFFFFu - k) : static_cast<uint32_t>(random());
    const float value = FloatOfBits(bits);
    if (!std::isfinite(value)) continue;
    std::string text;
    AppendShortestFloat(text, value);
    float read = 1.0f;
    ASSERT_EQ(ScanFloat(text.c_str(), &read), text.c_str() + text.size()) << text;
    ASSERT_EQ(std::memcmp(&read, &value, sizeof read), 0) << text;
    ASSERT_EQ(text.find_first_of("eE+"), std::string::npos) << text;
    char printed[400];
    const int decimals = static_cast<int>(bits % 12);
    std::snprintf(printed, sizeof printed, "%.*f", decimals, static_cast<double>(value));
    ASSERT_EQ(FixedFloatText(value, decimals), printed) << bits;
  }
  const struct {
    float value;
    const char* shortest;
  } cases[] = {{0.1f, "0.1"}, {-0.0f, "-0"}, {256.0f, "256"}, {1e-45f, "0.000000000000000000000000000000000000000000001"},
               {16777216.0f, "16777216"}, {0.33333334f, "0.33333334"}, {FloatOfBits(0xFFC00000u), "-nan"}};
  for (const auto& c : cases) {
    std::string text;
    AppendShortestFloat(text, c.value);
    EXPECT_EQ(text, c.shortest);
  }
  EXPECT_EQ(FixedFloatText(1e-45f, 200).size(), 152u);  // 150 decimals at most
}

}  // namespace
