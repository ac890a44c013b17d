#include "text/float_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Shortest(float value) {
  char out[kShortestFloatRoom];
  return std::string(out, WriteShortestFloat(out, value));
}

std::string PlainShortest(float value) {
  char out[kPlainShortestFloatRoom];
  return std::string(out, WritePlainShortestFloat(out, value));
}

std::string ToChars(float value, bool plain) {
  char out[80];
  const char* end = plain ? std::to_chars(out, out + sizeof out, value, std::chars_format::fixed).ptr
                          : std::to_chars(out, out + sizeof out, value).ptr;
  return std::string(static_cast<const char*>(out), end);
}

void ExpectLikeToChars(float value) {
  ASSERT_EQ(Shortest(value), ToChars(value, false)) << std::hexfloat << value;
  ASSERT_EQ(PlainShortest(value), ToChars(value, true)) << std::hexfloat << value;
  ASSERT_EQ(Shortest(-value), ToChars(-value, false)) << std::hexfloat << -value;
  ASSERT_EQ(PlainShortest(-value), ToChars(-value, true)) << std::hexfloat << -value;
}

// Every float that is an odd number over 2^1..2^10 with at most seven
// digits (those the exact path takes, and the first it leaves), then
// whole numbers of all sizes, powers of ten, the classes of floats and
// random bit patterns.
TEST(FloatTextTest, ShortestTextsMatchToChars) {
  for (int shift = 1; shift <= 11; ++shift) {
    const double limit = 2e7 / std::pow(5.0, shift) + 2;
    for (double odd = 1; odd < limit && odd < 16777216; odd += 2) {
      ExpectLikeToChars(static_cast<float>(std::ldexp(odd, -shift)));
    }
  }
  for (uint32_t whole = 0; whole <= 16777216; whole += 7) ExpectLikeToChars(static_cast<float>(whole));
  for (int exponent = -45; exponent <= 38; ++exponent) {
    for (double digits : {1.0, 5.0, 25.0, 9999999.0, 10000000.0, 1234567.0, 8388608.0}) {
      ExpectLikeToChars(static_cast<float>(digits * std::pow(10.0, exponent)));
    }
  }
  for (int exponent = -149; exponent <= 127; ++exponent) {
    ExpectLikeToChars(static_cast<float>(std::ldexp(1.0, exponent)));
    ExpectLikeToChars(static_cast<float>(std::ldexp(3.0, exponent)));
  }
  for (float value : {0.0f, FLT_MAX, FLT_MIN, FLT_TRUE_MIN, 0.1f, 16777216.0f, 16777218.0f,
                      std::numeric_limits<float>::infinity()}) {
    ExpectLikeToChars(value);
  }
  std::mt19937 random(5);
  for (int k = 0; k < 400000; ++k) {
    uint32_t bits = random();
    if (k % 2 == 0) bits = (bits & 0x80FFFFFFu) | ((bits % 40 + 110) << 23);  // 2^-17 to 2^22
    if (k % 4 == 1) bits &= ~((1u << (bits % 24)) - 1);                     // fewer mantissa bits
    float value;
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isnan(value)) ExpectLikeToChars(value);
  }
}

}  // namespace
