#include "export/ascii_writer.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <string>

#include "tests/support/test_support.h"

namespace {

ExportRect Rect(int32_t index, const RectCoords& corners, const RectTexCoords& uv, const char* name) {
  return {index, corners, uv, {1, name}};
}

TEST(AsciiWriterTest, HeaderAndFooter) {
  EXPECT_EQ(TextOf(WriteAsciiHeader, 12), "NUM_RECTS=12\r\n");
  EXPECT_EQ(TextOf(WriteAsciiHeader, INT32_MIN), "NUM_RECTS=-2147483648\r\n");
  EXPECT_EQ(TextOf(WriteAsciiFooter, 5), "[EOF]\r\n");
}

TEST(AsciiWriterTest, BlockFormatsEveryValueWithSixDecimals) {
  const RectCoords corners = {1.0f, -2.5f, 0.0f, 0.5f, 0.25f, -1.0f,
                              123456.5f, 2.0f, 3.0f, 0.0f, -0.0000001f, 0.0000001f};
  const RectTexCoords uv = {0.0f, 1.0f, 0.5f, 0.75f, 1.0f, 0.0f, -2.0f, 3.25f};
  EXPECT_EQ(TextOf(WriteAsciiRect, Rect(0, corners, uv, "XY")),
            "Rect_1\r\n"
            "\t1.000000, -2.500000, 0.000000, 0.000000, 1.000000\r\n"
            "\t0.500000, 0.250000, -1.000000, 0.500000, 0.750000\r\n"
            "\t123456.500000, 2.000000, 3.000000, 1.000000, 0.000000\r\n"
            "\t0.000000, -0.000000, 0.000000, -2.000000, 3.250000\r\n"
            "\tTexture: XY\r\n");
}

TEST(AsciiWriterTest, LongestValuesAndNoTexture) {
  RectCoords corners;
  corners.fill(-FLT_MAX);
  const std::string big = "-340282346638528859811704183484516925440.000000";
  ASSERT_EQ(big.size(), 47u);
  const std::string line = "\t" + big + ", " + big + ", " + big + ", 0.000000, 0.000000\r\n";
  EXPECT_EQ(TextOf(WriteAsciiRect, Rect(19998, corners, RectTexCoords{}, nullptr)),
            "Rect_19999\r\n" + line + line + line + line + "\tTexture: (null)\r\n");
}

}  // namespace
