#include "export/ascii_writer.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <string>

#include "tests/support/test_support.h"
#include "tools/scene_builder.h"

namespace {

// The reason of the last failed call, and the messages of the calls.
std::string why;

class AsciiWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SceneContents spec;
    spec.textureNames = {"ABCD", "XY"};
    spec.rects.resize(3);
    spec.rects[0].textureIndex = 1;
    spec.rects[1].textureIndex = 2;  // the slot behind the table
    spec.extraSlots = 1;
    ASSERT_TRUE(WriteFileBytes(dir.File("s.zem"), BuildScene(spec).bytes));
    ASSERT_TRUE(scene.Open(dir.File("s.zem").c_str(), why));
  }
  TempDir dir;
  SceneFile scene;
};

TEST_F(AsciiWriterTest, HeaderAndFooter) {
  EXPECT_EQ(WriterText(WriteAsciiHeader, scene, {12}), "NUM_RECTS=12\r\n");
  EXPECT_EQ(WriterText(WriteAsciiHeader, scene, {INT32_MIN}), "NUM_RECTS=-2147483648\r\n");
  EXPECT_EQ(WriterText(WriteAsciiFooter, scene, {5}), "[EOF]\r\n");
}

TEST_F(AsciiWriterTest, BlockFormatsEveryValueWithSixDecimals) {
  const RectCoords corners = {1.0f, -2.5f, 0.0f, 0.5f, 0.25f, -1.0f,
                              123456.5f, 2.0f, 3.0f, 0.0f, -0.0000001f, 0.0000001f};
  const RectTexCoords uv = {0.0f, 1.0f, 0.5f, 0.75f, 1.0f, 0.0f, -2.0f, 3.25f};
  EXPECT_EQ(WriterText(WriteAsciiRect, scene, {0, 0, &corners, &uv}),
            "Rect_1\r\n"
            "\t1.000000, -2.500000, 0.000000, 0.000000, 1.000000\r\n"
            "\t0.500000, 0.250000, -1.000000, 0.500000, 0.750000\r\n"
            "\t123456.500000, 2.000000, 3.000000, 1.000000, 0.000000\r\n"
            "\t0.000000, -0.000000, 0.000000, -2.000000, 3.250000\r\n"
            "\tTexture: XY\r\n");
}

TEST_F(AsciiWriterTest, LongestValuesMissingTexCoordsAndNoTexture) {
  RectCoords corners;
  corners.fill(-FLT_MAX);
  const std::string big = "-340282346638528859811704183484516925440.000000";
  ASSERT_EQ(big.size(), 47u);
  const std::string line = "\t" + big + ", " + big + ", " + big + ", 0.000000, 0.000000\r\n";
  EXPECT_EQ(WriterText(WriteAsciiRect, scene, {0, 19998, &corners, nullptr}),
            "Rect_19999\r\n" + line + line + line + line + "\tTexture: (null)\r\n");
}

}  // namespace
