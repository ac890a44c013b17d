#include "edit/scale_move.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/test_support.h"
#include "sample/scene_builder.h"

using namespace scene_layout;

namespace {

class ScaleMoveTest : public ::testing::Test {
 protected:
  std::string why;
  void SetUp() override {
    SceneContents contents;
    contents.textureNames = {"T"};
    BuilderRect rect;
    rect.corners = {1, 2, 3, -4, 5, 6, 7, -8, 9, 10, 11, -12};
    rect.texCoords = {1, 2, 3, 4, 5, 6, 7, 8};
    contents.rects = {rect, rect};
    built = BuildScene(contents);
    path = dir.File("s.zem");
    ASSERT_TRUE(WriteFileBytes(path, built.bytes));
  }
  // Rectangle k's corners and bounds as the file holds them now.
  void ExpectRect(int k, const RectCoords& corners, const RectBounds& bounds) {
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    const size_t record = static_cast<size_t>(built.recordOffsets[k]);
    for (int c = 0; c < 12; ++c) EXPECT_EQ(GetFloat(bytes, record + kCornersInRecord + 4 * c), corners[c]);
    for (int c = 0; c < 6; ++c) EXPECT_EQ(GetFloat(bytes, record + kBoundsInRecord + 4 * c), bounds[c]);
    // Everything but corners and bounds is as it was, texture coordinates included.
    for (size_t p = record + kTexCoordsInRecord; p < record + 232; ++p) EXPECT_EQ(bytes[p], built.bytes[p]);
  }
  TempDir dir;
  BuiltScene built;
  std::string path;
};

TEST_F(ScaleMoveTest, ScaleMirrorsAndStretchesEveryRectangle) {
  RecordingReporter reporter;
  ASSERT_EQ(ScaleScene(path.c_str(), -1.0f, 0.5f, 1.0f, reporter, why), 0);
  EXPECT_EQ(reporter.out,
            "Scaled rectangle 0 successfully\r\nScaled rectangle 1 successfully\r\n");
  const RectCoords scaled = {-1, 1, 3, 4, 2.5f, 6, -7, -4, 9, -10, 5.5f, -12};
  for (int k = 0; k < 2; ++k) ExpectRect(k, scaled, {-266, -260, -268, 260, 261.5f, 265});
}

TEST_F(ScaleMoveTest, MoveAddsTheOffsets) {
  RecordingReporter reporter;
  ASSERT_EQ(MoveScene(path.c_str(), 0.5f, 0.0f, -3.0f, reporter, why), 0);
  EXPECT_EQ(reporter.out,
            "Moved rectangle 0 successfully\r\nMoved rectangle 1 successfully\r\n");
  const RectCoords moved = {1.5f, 2, 0, -3.5f, 5, 3, 7.5f, -8, 6, 10.5f, 11, -15};
  for (int k = 0; k < 2; ++k) ExpectRect(k, moved, {-259.5f, -264, -271, 266.5f, 267, 262});
}

TEST_F(ScaleMoveTest, FailuresOfTheSceneAndOfSingleRectangles) {
  RecordingReporter missing;
  EXPECT_EQ(ScaleScene(dir.File("missing.zem").c_str(), 2, 2, 2, missing, why), -1);
  EXPECT_EQ(missing.out, "");

  // Rectangle 0's record reaches past the end of the file: reported on
  // both streams, the others rewritten, and the run fails.
  std::vector<uint8_t> bytes = built.bytes;
  PutInt32(bytes, kIndexTableOffset + kRecordOffsetInEntry, static_cast<int32_t>(bytes.size()));
  ASSERT_TRUE(WriteFileBytes(path, bytes));
  RecordingReporter reporter;
  EXPECT_EQ(MoveScene(path.c_str(), 1, 1, 1, reporter, why), -1);
  EXPECT_EQ(reporter.out, "Error while moving rectangle 0\r\nMoved rectangle 1 successfully\r\n");
  EXPECT_EQ(reporter.err, "rectangle 0 was not written: its record at offset " +
                              std::to_string(bytes.size()) + " does not lie inside the scene file\n");
  EXPECT_NE(why.find("1 of the writes"), std::string::npos) << why;
  EXPECT_EQ(ReadFileBytes(path).size(), bytes.size());
}

}  // namespace
