#include "import/design_workshop_import.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/format_table.h"
#include "tests/support/test_support.h"
#include "sample/scene_builder.h"

using namespace scene_layout;

namespace {

std::string Block(const std::string& mat, const std::string& verts, const std::string& lines) {
  return "Polyline:\r\nPhase: 1\r\nMat:" + mat + "\r\nName:\r\nnumVerts:" + verts + "\r\n" + lines +
         "numEdges: 4\r\n\r\n";
}
const std::string kUnitLines = "1 0 0 1\r\n1 1 0 1\r\n0 1 0 1\r\n0 0 0 1\r\n";

class DesignWorkshopImportTest : public ::testing::Test {
 protected:
  std::string why;
  // Three rectangles, three textures; rectangle k uses texture k.
  void SetUp() override {
    SceneContents contents;
    contents.textureNames = {"A", "B", "C"};
    for (int k = 0; k < 3; ++k) {
      BuilderRect rect;
      for (int c = 0; c < 12; ++c) rect.corners[c] = 1.0f / 3.0f * (c + 1) + 10.0f * k;
      rect.textureIndex = k;
      contents.rects.push_back(rect);
    }
    original = contents;
    built = BuildScene(contents);
    scene = dir.File("s.zem");
    ASSERT_TRUE(WriteFileBytes(scene, built.bytes));
  }
  int32_t Import(const std::string& text, std::string* printed) {
    WriteFileText(dir.File("in.dw"), text);
    RecordingReporter reporter;
    const int32_t result = ImportScene(scene.c_str(), dir.File("in.dw").c_str(), kFormatDesignWorkshop, reporter, why);
    *printed = reporter.out;
    return result;
  }
  std::string Progress(int rect) const {
    char line[64];
    std::snprintf(line, sizeof line, "Rechteck-Offset: %8X\r\n",
                  static_cast<unsigned>(built.recordOffsets[rect] + 100));
    return line;
  }
  RectCoords Corners(int32_t i) {
    SceneFile reader;
    EXPECT_TRUE(reader.Open(scene.c_str(), why));
    return *reader.GetRectCoords(i, why);
  }
  int32_t Texture(int32_t i) {
    SceneFile reader;
    EXPECT_TRUE(reader.Open(scene.c_str(), why));
    return reader.GetRectTextureIndex(i, why);
  }
  TempDir dir;
  SceneContents original;
  BuiltScene built;
  std::string scene;
};

TEST_F(DesignWorkshopImportTest, RoundTripKeepsCornersAndTextures) {
  ASSERT_EQ(ExportScene(scene.c_str(), dir.File("out.dw").c_str(), kFormatDesignWorkshop, why), 0);
  std::string printed;
  ASSERT_EQ(Import(ReadFileText(dir.File("out.dw")), &printed), 0);
  EXPECT_EQ(printed, Progress(0) + Progress(1) + Progress(2) + "3 Rectangles imported\r\n");
  for (int32_t i = 0; i < 3; ++i) {
    for (int c = 0; c < 12; ++c) EXPECT_NEAR(Corners(i)[c], original.rects[i].corners[c], 5e-7 * 40);
    EXPECT_EQ(Texture(i), i);
  }
}

TEST_F(DesignWorkshopImportTest, ClearedRectangleShiftsTheBlocks) {
  std::vector<uint8_t> bytes = built.bytes;
  for (int c = 0; c < 12; ++c) PutFloat(bytes, built.recordOffsets[1] + kCornersInRecord + 4 * c, 0.0f);
  ASSERT_TRUE(WriteFileBytes(scene, bytes));
  ASSERT_EQ(ExportScene(scene.c_str(), dir.File("out.dw").c_str(), kFormatDesignWorkshop, why), 0);
  std::string printed;
  ASSERT_EQ(Import(ReadFileText(dir.File("out.dw")), &printed), 0);
  EXPECT_EQ(printed, Progress(0) + Progress(1) + "2 Rectangles imported\r\n");
  EXPECT_NEAR(Corners(1)[0], original.rects[2].corners[0], 1e-5);
  EXPECT_EQ(Texture(1), 2);
  EXPECT_EQ(Corners(2), RectCoords{});
  const std::vector<uint8_t> after = ReadFileBytes(scene);
  const RectBounds cleared = {0, -256, -256, 256, 256, 256};
  for (int c = 0; c < 6; ++c) {
    EXPECT_EQ(GetFloat(after, built.recordOffsets[2] + kBoundsInRecord + 4 * c), cleared[c]);
  }
}

TEST_F(DesignWorkshopImportTest, MaterialsVertexCountsAndPartialVertexLines) {
  const std::string text =
      Block(" 3", " 3", "") +                          // skipped, material 3 applied to rect 0
      Block(" 3", " 3", "7 7 7 1\r\n8 8 8 1\r\n9 9 9 1\r\n") +  // a triangle: skipped too
      Block(" 9", " 4", kUnitLines) +                  // warned, rect 0 gets the square
      Block("", " n/a", "1.0 2.0 3.0 1\r\n4 5 6 2\r\n") +  // no count: 4 as before
      Block(" 0", " 4", "0 0 0 1\r\n0 0 0 1\r\n0 0 0 1\r\n0 0 0 1\r\n");  // all zero: skipped
  std::string printed;
  ASSERT_EQ(Import(text, &printed), 0);
  EXPECT_EQ(printed, "Warning! Material 9 not in ZEM. Skipping\r\n" + Progress(0) + Progress(1) +
                         "2 Rectangles imported\r\n");
  EXPECT_EQ(Corners(0), (RectCoords{1, 0, 0, 1, 0, 1, 0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(Texture(0), 2);
  EXPECT_EQ(Corners(1), (RectCoords{1, 3, 2, 4, 6, 5, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Texture(1), 1);
  EXPECT_EQ(Corners(2), RectCoords{});
}

TEST_F(DesignWorkshopImportTest, EmptyFileClearsEveryRectangle) {
  std::string printed;
  ASSERT_EQ(Import("", &printed), 0);
  EXPECT_EQ(printed, "0 Rectangles imported\r\n");
  for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(Corners(i), RectCoords{});
}

TEST_F(DesignWorkshopImportTest, BrokenBlockStopsWithAnError) {
  const std::string tails[] = {"Polyline:\r\nPhase: 1\r\n", "Polyline:\r\nMat: 1\r\n",
                               "Polyline:\r\nMat: 1\r\nnumVerts: 4"};
  for (const std::string& tail : tails) {
    ASSERT_TRUE(WriteFileBytes(scene, built.bytes));
    std::string printed;
    EXPECT_EQ(Import(Block(" 2", " 4", kUnitLines) + tail, &printed), -1) << tail;
    EXPECT_EQ(printed, Progress(0));
    EXPECT_EQ(Corners(0), (RectCoords{1, 0, 0, 1, 0, 1, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(Corners(2), original.rects[2].corners);  // not cleared
  }
}

TEST_F(DesignWorkshopImportTest, RefusesTheSceneFileAsText) {
  RecordingReporter reporter;
  EXPECT_EQ(ImportScene(scene.c_str(), (dir.path() + "/./s.zem").c_str(), kFormatDesignWorkshop, reporter, why), -1);
  EXPECT_EQ(reporter.out, "");
  ExpectSameBytes(ReadFileBytes(scene), built.bytes);
}

}  // namespace
