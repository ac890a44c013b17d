#include "text/fixed_decimal.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Fixed(double value, int precision) {
  std::vector<char> out(FixedDecimalRoom(precision));
  return std::string(out.data(), WriteFixedDecimal(out.data(), value, precision));
}

std::string Printf(double value, int precision) {
  char buffer[700];
  std::snprintf(buffer, sizeof buffer, "%.*f", precision, value);
  return buffer;
}

std::string ToChars(double value, int precision) {
  char buffer[700];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value,
                                           std::chars_format::fixed, precision).ptr);
}

double FromBits(uint64_t bits) {
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// Every class of double, both signs: zeros, subnormals, exact ties at each
// precision (odd multiples of 2^-j), the edges of the integer path (2^64 /
// 10^p and the 2^11 mantissa shift), the largest values, and random bit
// patterns of doubles and floats, spread over all exponents and crowded
// where the scene's numbers are.
std::vector<double> Values() {
  std::vector<double> values = {0.0, 0.5, 1.5, 2.5, 0.05, 0.125, 0.375, 9.5, 99.5, 0.0005,
                                1e-7, 4.9999999999999996e-7, 5e-7, 0.1, 1234.5678, 1e15,
                                18446744073709551615.0, 18446744073709551616.0, 1e19, 1e20,
                                9007199254740991.0, 9007199254740992.0, 9007199254740993.0,
                                DBL_MAX, DBL_MIN, DBL_TRUE_MIN, 2.2250738585072009e-308,
                                FLT_MAX, FLT_MIN, FLT_TRUE_MIN,
                                std::numeric_limits<double>::infinity()};
  for (int j = 1; j <= 40; ++j) {
    for (int n = 1; n < 64; n += 2) values.push_back(std::ldexp(n, -j));
    values.push_back(std::ldexp(1.0, j + 20) + std::ldexp(1.0, -j));
  }
  for (int p = 0; p <= 19; ++p) {
    const double limit = 18446744073709551616.0 / std::pow(10.0, p);
    values.push_back(limit);
    values.push_back(std::nextafter(limit, 0.0));
    values.push_back(std::nextafter(limit, DBL_MAX));
  }
  for (int e = 0; e <= 80; ++e) {
    values.push_back(std::ldexp(1.0, e));
    values.push_back(std::ldexp(1.0, e) - 1.0);
    values.push_back(std::ldexp(9007199254740991.0, e));
  }
  for (int e : {-12, -11, -10, 31, 32}) {  // the edges of the fast road for usual values
    for (double v : {std::ldexp(1.0, e), std::ldexp(1.5, e)}) {
      values.insert(values.end(), {v, std::nextafter(v, 0.0), std::nextafter(v, DBL_MAX)});
    }
  }
  std::mt19937_64 random(11);
  for (int k = 0; k < 8000; ++k) {
    const uint64_t bits = random();
    values.push_back(FromBits(bits));
    // Exponents of 2^-90 to 2^70, where the integer path does the work.
    values.push_back(FromBits((bits & 0x800FFFFFFFFFFFFFu) | ((1023 - 90 + bits % 161) << 52)));
    float single;
    const uint32_t singleBits = static_cast<uint32_t>(bits >> 32);
    std::memcpy(&single, &singleBits, sizeof single);
    values.push_back(single);
    const uint32_t nearOne = (singleBits & 0x807FFFFFu) | ((100 + singleBits % 60) << 23);
    std::memcpy(&single, &nearOne, sizeof single);
    values.push_back(single);
  }
  const size_t positives = values.size();
  for (size_t k = 0; k < positives; ++k) values.push_back(-values[k]);
  return values;
}

TEST(FixedDecimalTest, MatchesPrintfAndToCharsAtEveryPrecision) {
  const std::vector<double> values = Values();
  int compared = 0;
  for (double value : values) {
    if (std::isnan(value)) continue;  // the callers spell NaN themselves
    for (int precision = 0; precision <= 24; ++precision) {
      const std::string fixed = Fixed(value, precision);
      ASSERT_EQ(fixed, ToChars(value, precision)) << value << " at " << precision;
      ASSERT_EQ(fixed, Printf(value, precision)) << value << " at " << precision;
      ++compared;
    }
  }
  for (int precision : {40, 150, 340}) {
    for (double value : {DBL_TRUE_MIN, -DBL_MAX, 0.1, -0.0, 0.5}) {
      EXPECT_EQ(Fixed(value, precision), Printf(value, precision)) << value << " at " << precision;
    }
  }
  EXPECT_GT(compared, 1500000);
}

TEST(FixedDecimalTest, NegativeZeroAndNegativesThatRoundToZeroKeepTheirSign) {
  const struct {
    double value;
    int precision;
    const char* text;
  } cases[] = {{-0.0, 0, "-0"},          {-0.0, 6, "-0.000000"},   {-0.4, 0, "-0"},
               {-0.5, 0, "-0"},          {-1e-300, 6, "-0.000000"}, {-DBL_TRUE_MIN, 9, "-0.000000000"},
               {0.5, 0, "0"},            {1.5, 0, "2"},             {2.5, 0, "2"},
               {0.125, 2, "0.12"},       {0.375, 2, "0.38"},        {-2.675, 2, "-2.67"},
               {1e19, 0, "10000000000000000000"}};
  for (const auto& c : cases) EXPECT_EQ(Fixed(c.value, c.precision), c.text) << c.value;
}

TEST(FixedDecimalTest, DecimalDigitsMatchToChars) {
  std::vector<unsigned long long> values = {0, 1, 9, 10, 99, 100, 101, 999, 1000,
                                            std::numeric_limits<unsigned long long>::max()};
  unsigned long long power = 1;
  for (int k = 0; k < 19; ++k, power *= 10) {
    values.insert(values.end(), {power - 1, power, power + 1});
  }
  std::mt19937_64 random(3);
  for (int k = 0; k < 10000; ++k) values.push_back(random() >> (k % 64));
  for (unsigned long long value : values) {
    char digits[20];
    char expected[24];
    EXPECT_EQ(std::string(digits, WriteDecimalDigits(digits, value)),
              std::string(expected, std::to_chars(expected, expected + sizeof expected, value).ptr));
  }
}

}  // namespace
