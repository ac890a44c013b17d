#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <string>

#include "scene/scene_file.h"
#include "tests/support/test_support.h"
#include "sample/scene_builder.h"

using namespace scene_layout;

namespace {

RecordingReporter reporter;

TEST(ComputeRectBoundsTest, WidensByTheMarginExceptClearedMinimumX) {
  struct Case {
    RectCoords corners;
    RectBounds bounds;
  };
  const Case cases[] = {
      {{0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}, {-256, -256, -256, 257, 257, 256}},
      {{}, {0, -256, -256, 256, 256, 256}},
      {{0, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0}, {-256, -256, -256, 256, 256, 261}},
      {{-0.0f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {-0.0f, -256, -256, 256, 256, 256}},
      {{3, -1, 7, -2, 4, 7, 9, 4, -8, 3, -6, 0}, {-258, -262, -264, 265, 260, 263}},
  };
  for (const Case& c : cases) EXPECT_EQ(ComputeRectBounds(c.corners), c.bounds);
}

// Two rectangles and six textures whose slots stand in texture order.
class WritebackTest : public ::testing::Test {
 protected:
  std::string why;
  void SetUp() override {
    SceneContents contents;
    contents.textureNames = {"ABCD", "gras", "EF", "abcd", "X", "Y5"};
    contents.rects.resize(2);
    contents.rects[0].textureIndex = 2;
    contents.rects[1].textureIndex = 5;
    built = BuildScene(contents);
    path = dir.File("s.zem");
    ASSERT_TRUE(WriteFileBytes(path, built.bytes));
    ASSERT_TRUE(scene.Open(path.c_str(), why));
  }
  size_t Field(int32_t rect, int32_t field) const {
    return static_cast<size_t>(built.recordOffsets[rect] + field);
  }
  TempDir dir;
  BuiltScene built;
  std::string path;
  SceneFile scene;
};

TEST_F(WritebackTest, UpdateRectWritesCornersTexCoordsAndBoundsOnly) {
  const RectCoords corners = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
  const RectTexCoords uv = {0.5f, 1, 2, 3, 4, 5, 6, 7};
  std::vector<uint8_t> expected = built.bytes;
  for (int c = 0; c < 12; ++c) PutFloat(expected, Field(1, kCornersInRecord) + 4 * c, corners[c]);
  const RectBounds bounds = {-256, -256, -256, 257, 257, 256};
  for (int c = 0; c < 6; ++c) PutFloat(expected, Field(1, kBoundsInRecord) + 4 * c, bounds[c]);

  ASSERT_TRUE(scene.UpdateRect(1, &corners, nullptr, why));
  ExpectSameBytes(ReadFileBytes(path), expected);  // texture coordinates kept

  for (int c = 0; c < 8; ++c) PutFloat(expected, Field(1, kTexCoordsInRecord) + 4 * c, uv[c]);
  ASSERT_TRUE(scene.UpdateRect(1, &corners, &uv, why));
  ExpectSameBytes(ReadFileBytes(path), expected);
}

TEST_F(WritebackTest, RefusedUpdatesWriteNothing) {
  const RectCoords corners = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  EXPECT_FALSE(scene.UpdateRect(2, &corners, nullptr, why));
  EXPECT_FALSE(scene.UpdateRect(-1, &corners, nullptr, why));
  EXPECT_FALSE(scene.UpdateRect(0, nullptr, nullptr, why));
  ExpectSameBytes(ReadFileBytes(path), built.bytes);

  // A record reaching past the end of the file would grow the file.
  std::vector<uint8_t> bytes = built.bytes;
  PutInt32(bytes, kIndexTableOffset + kRecordOffsetInEntry,
           static_cast<int32_t>(bytes.size()) - kMinRecordSize + 1);
  PutInt32(bytes, kIndexTableOffset + 12 + kRecordOffsetInEntry, -8);
  ASSERT_TRUE(WriteFileBytes(path, bytes));
  ASSERT_TRUE(scene.Open(path.c_str(), why));
  EXPECT_FALSE(scene.UpdateRect(0, &corners, nullptr, why));
  EXPECT_FALSE(scene.UpdateRect(1, &corners, nullptr, why));
  EXPECT_FALSE(scene.SetRectTextureIndex(0, 1, why));
  ExpectSameBytes(ReadFileBytes(path), bytes);
}

TEST_F(WritebackTest, SetRectTextureIndexMovesTheSlotReference) {
  const int32_t slot2 = built.slotTableOffset + 2 * kSlotSize;
  ASSERT_TRUE(scene.SetRectTextureIndex(0, 5, why));
  EXPECT_EQ(GetInt32(ReadFileBytes(path), Field(0, kSlotOffsetInRecord)), slot2 + 48);
  EXPECT_EQ(scene.GetRectTextureIndex(0, why), 5);
  ASSERT_TRUE(scene.SetRectTextureIndex(0, 2, why));
  ExpectSameBytes(ReadFileBytes(path), built.bytes);
  EXPECT_TRUE(scene.SetRectTextureIndex(0, 2, why));  // already there
  ExpectSameBytes(ReadFileBytes(path), built.bytes);

  // Outside the texture table, or out of rectangles: refused, nothing written.
  for (int32_t index : {6, -1, INT32_MAX, INT32_MIN}) EXPECT_FALSE(scene.SetRectTextureIndex(0, index, why));
  EXPECT_FALSE(scene.SetRectTextureIndex(2, 0, why));
  ExpectSameBytes(ReadFileBytes(path), built.bytes);
}

TEST_F(WritebackTest, SlotsOutOfTextureOrderAreNotTrusted) {
  std::vector<uint8_t> bytes = built.bytes;
  PutInt32(bytes, static_cast<size_t>(built.slotTableOffset) + 4 * kSlotSize + kTextureIndexInSlot, 1);
  ASSERT_TRUE(WriteFileBytes(path, bytes));
  EXPECT_FALSE(scene.SetRectTextureIndex(0, 4, why));
  EXPECT_TRUE(scene.SetRectTextureIndex(0, 3, why));
  EXPECT_EQ(scene.GetRectTextureIndex(0, why), 3);
}

TEST_F(WritebackTest, SetRectTextureByName) {
  EXPECT_TRUE(scene.SetRectTextureByName(1, "aBcD", reporter, why));  // first of two equal names
  EXPECT_EQ(scene.GetRectTextureIndex(1, why), 0);
  EXPECT_TRUE(scene.SetRectTextureByName(1, "GRAS", reporter, why));
  EXPECT_EQ(scene.GetRectTextureIndex(1, why), 1);

  reporter.out.clear();
  EXPECT_FALSE(scene.SetRectTextureByName(7, "x", reporter, why));  // known name, no such rectangle
  EXPECT_TRUE(scene.SetRectTextureByName(1, "ZZ", reporter, why));
  EXPECT_TRUE(scene.SetRectTextureByName(1, "", reporter, why));
  EXPECT_EQ(reporter.out,
            "Warning! Texture ZZ not in ZEM. Skipping\r\n"
            "Warning! Texture  not in ZEM. Skipping\r\n");
  EXPECT_EQ(scene.GetRectTextureIndex(1, why), 1);
}

}  // namespace

namespace {

// A record whose rewritten span would cover the header, the index table,
// the texture name table or a texture name is never written: the write
// would change what the program promises never to change.
TEST_F(WritebackTest, RecordsOverTheHeaderOrTablesAreNeverWritten) {
  const RectCoords corners = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  for (const int32_t recordOffset : {0, 40, kIndexTableOffset - kBoundsInRecord, built.nameTableOffset - 100,
                                     built.nameOffsets[3] - 150}) {
    SCOPED_TRACE(recordOffset);
    std::vector<uint8_t> bytes = built.bytes;
    PutInt32(bytes, kIndexTableOffset + kRecordOffsetInEntry, recordOffset);
    ASSERT_TRUE(WriteFileBytes(path, bytes));
    ASSERT_TRUE(scene.Open(path.c_str(), why));
    EXPECT_FALSE(scene.UpdateRect(0, &corners, nullptr, why));
    EXPECT_EQ(why, "its record at offset " + std::to_string(recordOffset) +
                       " overlaps the header or the tables of the scene file");
    ExpectSameBytes(ReadFileBytes(path), bytes);
  }
}

// A disk that fills up in the middle of an update's write: the bytes that
// landed are put back, so the rectangle stays whole.
TEST_F(WritebackTest, AWriteThatFailsHalfWayIsUndone) {
  const RectCoords corners = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  for (const size_t landed : {size_t{1}, size_t{100}, size_t{175}}) {
    PlanFileFault(FileOperation::kWrite, 1, ENOSPC, landed);
    EXPECT_FALSE(scene.UpdateRect(1, &corners, nullptr, why));
    ClearFileFault();
    EXPECT_EQ(why, "cannot write scene file '" + path + "': " + ErrorText(ENOSPC));
    ExpectSameBytes(ReadFileBytes(path), built.bytes, std::to_string(landed));
  }
}

}  // namespace
