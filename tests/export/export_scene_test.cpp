#include "app/format_table.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/test_support.h"
#include "sample/scene_builder.h"

namespace {

class ExportSceneTest : public ::testing::Test {
 protected:
  std::string why;
  void SetUp() override {
    SceneContents contents;
    contents.textureNames = {"ABCD", "XY"};
    BuilderRect first;
    first.corners = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    first.texCoords = {0.5f, 1, 0.5f, 0, 1, 0, 1, 1};
    first.textureIndex = 1;
    BuilderRect second;
    second.corners = {-1, -2, -3, -4, -5, -6, -7, -8, -9, -10, -11, -12.75f};
    second.textureIndex = 0;
    contents.rects = {first, second};
    scenePath = dir.File("scene.zem");
    sceneBytes = BuildScene(contents).bytes;
    ASSERT_TRUE(WriteFileBytes(scenePath, sceneBytes));
  }
  TempDir dir;
  std::string scenePath;
  std::vector<uint8_t> sceneBytes;
};

const char kTwoRectListing[] =
    "NUM_RECTS=2\r\n"
    "Rect_1\r\n"
    "\t1.000000, 2.000000, 3.000000, 0.500000, 1.000000\r\n"
    "\t4.000000, 5.000000, 6.000000, 0.500000, 0.000000\r\n"
    "\t7.000000, 8.000000, 9.000000, 1.000000, 0.000000\r\n"
    "\t10.000000, 11.000000, 12.000000, 1.000000, 1.000000\r\n"
    "\tTexture: XY\r\n"
    "Rect_2\r\n"
    "\t-1.000000, -2.000000, -3.000000, 0.000000, 0.000000\r\n"
    "\t-4.000000, -5.000000, -6.000000, 0.000000, 0.000000\r\n"
    "\t-7.000000, -8.000000, -9.000000, 0.000000, 0.000000\r\n"
    "\t-10.000000, -11.000000, -12.750000, 0.000000, 0.000000\r\n"
    "\tTexture: ABCD\r\n"
    "[EOF]\r\n";

TEST_F(ExportSceneTest, WritesTheListingByteForByte) {
  const std::string out = dir.File("out.txt");
  ASSERT_EQ(ExportScene(scenePath.c_str(), out.c_str(), kFormatAscii, why), 0);
  EXPECT_EQ(ReadFileText(out), kTwoRectListing);
  ExpectSameBytes(ReadFileBytes(scenePath), sceneBytes);  // the scene is only read
}

TEST_F(ExportSceneTest, UnknownFormatValuesExportTheListing) {
  for (const InterchangeFormat format : FormatsNoRowHas()) {
    const std::string out = dir.File("out" + std::to_string(format) + ".txt");
    ASSERT_EQ(ExportScene(scenePath.c_str(), out.c_str(), format, why), 0)
        << format;
    EXPECT_EQ(ReadFileText(out), kTwoRectListing) << format;
  }
}

TEST_F(ExportSceneTest, ReplacesAnExistingFileCompletely) {
  const std::string out = dir.File("out.txt");
  WriteFileText(out, std::string(5000, 'z'));
  ASSERT_EQ(ExportScene(scenePath.c_str(), out.c_str(), kFormatAscii, why), 0);
  EXPECT_EQ(ReadFileText(out), kTwoRectListing);
}

TEST_F(ExportSceneTest, EmptySceneGivesTwentyBytes) {
  ASSERT_TRUE(WriteFileBytes(scenePath, BuildScene(SceneContents{}).bytes));
  const std::string out = dir.File("out.txt");
  ASSERT_EQ(ExportScene(scenePath.c_str(), out.c_str(), kFormatAscii, why), 0);
  EXPECT_EQ(ReadFileText(out), "NUM_RECTS=0\r\n[EOF]\r\n");
}

TEST_F(ExportSceneTest, FailuresCreateNoOutputAndLeaveTheSceneAlone) {
  const std::string out = dir.File("out.txt");
  EXPECT_EQ(ExportScene(dir.File("missing.zem").c_str(), out.c_str(), kFormatAscii, why), -1);
  EXPECT_FALSE(FileExists(out));

  std::vector<uint8_t> refused = sceneBytes;
  PutInt32(refused, scene_layout::kStoredCountOffset, 20001);
  ASSERT_TRUE(WriteFileBytes(dir.File("refused.zem"), refused));
  EXPECT_EQ(ExportScene(dir.File("refused.zem").c_str(), out.c_str(), kFormatAscii, why), -1);
  EXPECT_FALSE(FileExists(out));

  const std::string inMissingFolder = dir.File("no/such/folder/out.txt");
  EXPECT_EQ(ExportScene(scenePath.c_str(), inMissingFolder.c_str(), kFormatAscii, why), -1);
  EXPECT_FALSE(FileExists(inMissingFolder));
  ExpectSameBytes(ReadFileBytes(scenePath), sceneBytes);
}

}  // namespace
