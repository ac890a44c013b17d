#include "export/iges_fixed_form.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

TEST(IgesFixedFormTest, RealsAreTheShortestTextOfTheSameFloat) {
  const struct {
    float value;
    const char* text;
  } kCases[] = {{256.0f, "256."}, {-0.1f, "-0.1"}, {1e10f, "1.E+10"}, {0.0f, "0."},
                {-0.0f, "-0."},   {-1.1754944e-38f, "-1.1754944E-38"}, {3.4028235e38f, "3.4028235E+38"}};
  for (const auto& c : kCases) EXPECT_EQ(IgesReal(c.value), c.text) << c.value;
  std::mt19937 random(64);
  for (int k = 0; k < 100000; ++k) {
    uint32_t bits = random() & 0xFF7FFFFFu;  // finite
    float value;
    std::memcpy(&value, &bits, sizeof value);
    const std::string text = IgesReal(value);
    const float back = std::strtof(text.c_str(), nullptr);
    ASSERT_EQ(std::memcmp(&back, &value, sizeof value), 0) << text;
    ASSERT_NE(text.find('.'), std::string::npos) << text;
  }
}

TEST(IgesFixedFormTest, TextsAreEscapedAndCutWithoutSplittingAnEscape) {
  EXPECT_EQ(IgesHollerith("WALL"), "4HWALL");
  EXPECT_EQ(IgesText("a%b\r\xE4"), "a%25b%0D%E4");
  const std::string cut = IgesText(std::string(62, 'x') + "\x01yy");
  EXPECT_EQ(cut, std::string(62, 'x'));  // the escape would pass 64 characters
  EXPECT_EQ(IgesText(std::string(100, 'x')).size(), kIgesLongestText);
}

// Every line is 80 columns and CR LF; in the Parameter Data section the
// parameters take columns 1 to 64, column 65 is blank and 66 to 72 hold the
// directory pointer; in the Global section they take all 72. No parameter
// is split, and the data columns read back as the parameters in order.
TEST(IgesFixedFormTest, ParameterLinesKeepTheirColumns) {
  std::vector<std::string> parameters;
  std::mt19937 random(80);
  for (int k = 0; k < 400; ++k) parameters.push_back(std::string(1 + random() % 30, 'a' + k % 26));
  for (const int64_t pointer : {0, 4711}) {
    SCOPED_TRACE(pointer);
    std::string out;
    const int64_t lines = AppendIgesParameters(out, parameters, pointer == 0 ? 'G' : 'P', 7, pointer);
    ASSERT_EQ(out.size(), static_cast<size_t>(lines) * kIgesLineBytes);
    const size_t width = pointer == 0 ? kIgesDataColumns : kIgesParameterColumns;
    std::string data;
    for (int64_t k = 0; k < lines; ++k) {
      const std::string line = out.substr(static_cast<size_t>(k) * kIgesLineBytes, kIgesLineBytes);
      EXPECT_EQ(line.substr(80), "\r\n");
      EXPECT_EQ(line[72], pointer == 0 ? 'G' : 'P');
      EXPECT_EQ(std::stoll(line.substr(73, 7)), 7 + k);
      if (pointer != 0) {
        EXPECT_EQ(line.substr(64, 8), "    4711") << line;
      }
      const std::string columns = line.substr(0, width);
      const size_t end = columns.find_last_not_of(' ') + 1;
      EXPECT_TRUE(columns[end - 1] == ',' || columns[end - 1] == ';') << line;  // whole parameters only
      data += columns.substr(0, end);
    }
    std::string expected;
    for (const std::string& parameter : parameters) expected += parameter + ",";
    expected.back() = ';';
    EXPECT_EQ(data, expected);
  }
}

TEST(IgesFixedFormTest, DirectoryEntryAndTerminateFields) {
  IgesDirectoryEntry entry;
  entry.entityType = 128;
  entry.parameterPointer = 12;
  entry.parameterLines = 5;
  entry.label = "WALL";
  entry.subscript = 19999;
  std::string out;
  AppendIgesDirectoryEntry(out, entry, 3);
  AppendIgesTerminate(out, 1, 4, 40000, 100000);
  EXPECT_EQ(out,
            "     128      12       0       0       0       0       0       000000000D      3\r\n"
            "     128       0       0       5       0                    WALL   19999D      4\r\n"
            "S      1G      4D  40000P 100000                                        T      1\r\n");
  // A negative number keeps its sign; a number wider than its field its last digits.
  entry.level = -7;
  entry.form = -1234567;
  entry.subscript = 123456789;
  out.clear();
  AppendIgesDirectoryEntry(out, entry, 12345678);
  EXPECT_EQ(out.substr(32, 8) + out.substr(82 + 32, 8) + out.substr(82 + 64, 8) + out.substr(73, 7),
            "      -7-1234567234567892345678");
}

}  // namespace
