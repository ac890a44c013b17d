#include "import/listing_lines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

TEST(ListingLinesTest, TakeLineDropsOnlyACarriageReturn) {
  LineCursor cursor("a\r\nbc\n\n\r\r\nlast");
  char line[kListingLineBufferSize];
  const char* expected[] = {"a", "bc", "", "\r"};
  for (const char* text : expected) {
    ASSERT_EQ(cursor.TakeLine(line), LineResult::kTaken);
    EXPECT_STREQ(line, text);
  }
  EXPECT_EQ(cursor.TakeLine(line), LineResult::kNoLineFeed);
  EXPECT_STREQ(cursor.position(), "last");
  EXPECT_EQ(cursor.lineNumber(), 5);
}

TEST(ListingLinesTest, LinesThatDoNotFitAreRefused) {
  const std::string fits(1023, 'x');
  const std::string text = fits + "\r\n" + fits + "y\n";
  LineCursor cursor(text.c_str());
  char line[kListingLineBufferSize];
  ASSERT_EQ(cursor.TakeLine(line), LineResult::kTaken);
  EXPECT_EQ(std::string(line), fits);
  EXPECT_EQ(cursor.TakeLine(line), LineResult::kTooLong);
  EXPECT_EQ(cursor.TakeRawLine(line), LineResult::kTooLong);
}

TEST(ListingLinesTest, CountFollowsAtoiWithoutOverflow) {
  EXPECT_EQ(ParseListingCount("12\r"), 12);
  EXPECT_EQ(ParseListingCount("  -3x"), -3);
  EXPECT_EQ(ParseListingCount("abc"), 0);
  EXPECT_EQ(ParseListingCount("99999999999999999999"), INT32_MAX);
  EXPECT_EQ(ParseListingCount("-2147483648"), INT32_MIN);
  EXPECT_EQ(ParseListingCount("-99999999999"), INT32_MIN);
}

TEST(ListingLinesTest, CornerLineScansLikeTheFormat) {
  struct Case {
    const char* line;
    int count;
    float values[5];
  };
  const Case cases[] = {
      {"\t1.000000, -2.500000, 0.000000, 0.000000, 1.000000", 5, {1, -2.5f, 0, 0, 1}},
      {"\t1.0, 2.0, 3.0", 3, {1, 2, 3, 0, 0}},
      {"1,2,3,4,5", 5, {1, 2, 3, 4, 5}},
      {"\tx1.0, 2.0, 3.0, 4.0, 5.0", 0, {0, 0, 0, 0, 0}},
      {"1 , 2, 3, 4, 5", 1, {1, 0, 0, 0, 0}},  // the comma must follow directly
      {"1e2,\t-3E-1", 2, {100, -0.3f, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    float values[5] = {};
    EXPECT_EQ(ScanCornerLine(c.line, values), c.count) << c.line;
    for (int k = 0; k < 5; ++k) EXPECT_EQ(values[k], c.values[k]) << c.line << " value " << k;
  }
  float huge[5] = {};
  EXPECT_EQ(ScanCornerLine("1e99, 2", huge), 2);  // out of float range: infinite, defined
  EXPECT_TRUE(std::isinf(huge[0]));
}

TEST(ListingLinesTest, TextureLineTakesOneWord) {
  char word[kTextureWordBufferSize] = {};
  EXPECT_TRUE(ScanTextureLine("\tTexture: AB CD", word));
  EXPECT_STREQ(word, "AB");
  EXPECT_TRUE(ScanTextureLine("Texture:wall", word));
  EXPECT_STREQ(word, "wall");
  EXPECT_FALSE(ScanTextureLine("\ttexture: AB", word));
  EXPECT_FALSE(ScanTextureLine("\tTexture: ", word));
  EXPECT_STREQ(word, "wall");  // untouched by a mismatch

  const std::string longWord(300, 'w');
  EXPECT_TRUE(ScanTextureLine(("\tTexture: " + longWord).c_str(), word));
  EXPECT_EQ(std::string(word), longWord.substr(0, 255));
}

}  // namespace
