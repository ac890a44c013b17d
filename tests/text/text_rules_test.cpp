#include "text/text_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

// ScanFloat must read exactly what strtof reads, value and end alike.
TEST(TextRulesTest, ScanFloatReadsWhatStrtofReads) {
  std::vector<std::string> texts = {
      "1", "-2.5", "+3", " \t7.25x", ".5", "-.5", "5.", "1e5", "1E-5", "1e", "1e+", "2.5e+3,",
      "0x1p4", "-0X10", "inf", "-Infinity", "nan", "-nan", "1e99", "-1e99", "1e-99", "1e-40",
      "3.4028235e38", "3.4028236e38", "00012", "1-2", "--1", "-", ".", "e5", "", "x", "0.1234567890123456789",
      "340282346638528859811704183484516925440.000000", "16777216.5", "16777217",
      "0.0000001", "-0.000000", "0.1", "1.000000e5", "12345678.000000"};
  std::mt19937 random(11);
  for (int k = 0; k < 60000; ++k) {
    uint32_t bits = random();
    if (k % 2 == 0) bits = (bits & 0x807FFFFFu) | ((110 + bits % 40) << 23);  // near 1
    float value;
    std::memcpy(&value, &bits, sizeof value);
    char text[64];
    std::snprintf(text, sizeof text, k % 3 == 0 ? "%f" : k % 3 == 1 ? "%.9g" : "%.2f", static_cast<double>(value));
    texts.push_back(text);
  }
  for (const std::string& text : texts) {
    float expected = -7.0f;
    float scanned = -7.0f;
    char* end = nullptr;
    const float parsed = std::strtof(text.c_str(), &end);
    if (end != text.c_str()) expected = parsed;
    const char* scannedEnd = ScanFloat(text.c_str(), &scanned);
    EXPECT_EQ(scannedEnd, end) << text;
    const bool same = std::memcmp(&scanned, &expected, sizeof scanned) == 0 ||
                      (std::isnan(scanned) && std::isnan(expected) &&
                       std::signbit(scanned) == std::signbit(expected));
    EXPECT_TRUE(same) << text << " " << scanned << " " << expected;
  }
}

}  // namespace

namespace {

// "%d" as the formats read it, with numbers beyond int32 clamped to it
// instead of overflowing.
TEST(TextRulesTest, ScanClampedIntClampsAndStopsAtTheNumber) {
  const struct {
    const char* text;
    int32_t value;
    size_t length;  // 0: no number
  } kCases[] = {{" 42x", 42, 3},          {"-7", -7, 2},
                {"+3", 3, 2},             {"99999999999999999999999", INT32_MAX, 23},
                {"-2147483648", INT32_MIN, 11}, {"-99999999999999999999999", INT32_MIN, 24},
                {"18446744073709551617", INT32_MAX, 20},  // 2^64 + 1: wraps to 1 unchecked
                {"x1", -1, 0},            {"-", -1, 0}};
  for (const auto& c : kCases) {
    int32_t value = -1;
    const char* end = ScanClampedInt(c.text, &value);
    EXPECT_EQ(end == nullptr ? 0 : static_cast<size_t>(end - c.text), c.length) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
}

}  // namespace
