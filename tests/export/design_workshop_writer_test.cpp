#include "export/design_workshop_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "app/format_table.h"
#include "tests/support/test_support.h"
#include "sample/scene_builder.h"

namespace {

std::string Header(int count) {
  return "4\r\n//\tNumber of Objects: " + std::to_string(count) +
         "\r\n\r\nLengthUnits: Feet.3\r\nAngleUnits: Degrees.2\r\n"
         "BackgroundGridSizeAndSpacing: 50, 50\r\nSectionPoint: 0 -4.572 1.2192\r\n"
         "SnapGridSpacing: 50\r\n\r\nSnapToHandleDistance: 2\r\nWallifyThickness: 0.5\r\n"
         "CircleFaceting: 16\r\nRotationConstraint: 45\r\nRotationPrecision: 0.5\r\n"
         "PerspLinkedWithAxon: 0\r\nViewRotateFactor: 20\r\nViewMoveFactor: 20\r\n\r\n"
         "SunStudyWidthAndHeight: 200, 200\r\nSunStudyFrameCount: 3\r\nSunStudyQuickTime: 1\r\n"
         "SunStudyPICT: 0\r\nSunStudyStartTime: 11:00\r\nSunStudyEndTime: 13:00\r\n\r\n"
         "Latitude: 40\r\nGroundPlaneVisible: 1\r\nGroundColor: 32110  37355  29490\r\n"
         "SkyColor: 51110  58320  65535\r\nObjectColor: 65535  64000  56000\r\n\r\n"
         "numPhases: 1\r\n\r\nPhase: Sketch 1\r\n1  1  1\r\n\r\n";
}

std::string Polyline(int material, const std::string& vertexLines) {
  return "Polyline:\r\nPhase: 1\r\nMat: " + std::to_string(material) +
         "\r\nName:\r\nColor: 65535 64000 56000\r\nnumVerts: 4\r\n" + vertexLines +
         "numEdges: 4\r\n0 1\r\n1 2\r\n2 3\r\n3 0\r\nnumFaces: 0\r\nnumOpenings: 0\r\n\r\n";
}

class DesignWorkshopWriterTest : public ::testing::Test {
 protected:
  std::string why;
  std::string Export(const SceneContents& contents) {
    EXPECT_TRUE(WriteFileBytes(dir.File("s.zem"), BuildScene(contents).bytes));
    EXPECT_EQ(ExportScene(dir.File("s.zem").c_str(), dir.File("s.dw").c_str(), kFormatDesignWorkshop, why), 0);
    return ReadFileText(dir.File("s.dw"));
  }
  TempDir dir;
};

TEST_F(DesignWorkshopWriterTest, MaterialsAndBlocksWithYAndZExchanged) {
  SceneContents contents;
  contents.textureNames = {"WXYZ", "AB"};
  contents.rects.resize(4);
  contents.rects[0].corners = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  contents.rects[1].corners = {-0.0f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -0.0f};  // all zero: left out
  contents.rects[2].corners = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -0.5f, 0};     // only y of corner 3
  contents.rects[2].textureIndex = 1;
  contents.rects[3].corners = {1, NAN, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};       // not a number: left out
  const std::string zeros = "0.000000 0.000000 0.000000 1\r\n";
  EXPECT_EQ(Export(contents),
            Header(4) + "numMaterials: 2\r\n\r\nMaterial: WXYZ\r\n1\r\n\r\nMaterial: AB\r\n2\r\n\r\n" +
                Polyline(1, "1.000000 3.000000 2.000000 1\r\n4.000000 6.000000 5.000000 1\r\n"
                            "7.000000 9.000000 8.000000 1\r\n10.000000 12.000000 11.000000 1\r\n") +
                Polyline(2, zeros + zeros + zeros + "0.000000 0.000000 -0.500000 1\r\n") + "\r\n");
}

TEST_F(DesignWorkshopWriterTest, EmptySceneAndNoTextures) {
  EXPECT_EQ(Export(SceneContents{}), Header(0) + "numMaterials: 0\r\n\r\n" + "\r\n");
}

TEST_F(DesignWorkshopWriterTest, MaterialsBlockGrowsWithTheTextureCount) {
  SceneContents contents;
  for (int t = 0; t < 1000; ++t) contents.textureNames.push_back("T" + std::to_string(t));
  const std::string text = Export(contents);
  EXPECT_NE(text.find("numMaterials: 1000\r\n\r\nMaterial: T0\r\n1\r\n"), std::string::npos);
  EXPECT_NE(text.find("Material: T999\r\n1000\r\n\r\n\r\n"), std::string::npos);
  size_t expectedSize = Header(0).size() + std::string("numMaterials: 1000\r\n\r\n").size() + 2;
  for (int t = 0; t < 1000; ++t) {
    expectedSize += ("Material: T" + std::to_string(t) + "\r\n" + std::to_string(t + 1) + "\r\n\r\n").size();
  }
  EXPECT_EQ(text.size(), expectedSize);
}

TEST_F(DesignWorkshopWriterTest, HeaderFailsWhenTheSceneIsGone) {
  ASSERT_TRUE(WriteFileBytes(dir.File("s.zem"), BuildScene(SceneContents{}).bytes));
  SceneFile scene;
  ASSERT_TRUE(scene.Open(dir.File("s.zem").c_str(), why));
  const bool removed = std::remove(dir.File("s.zem").c_str()) == 0;
#ifdef _WIN32
  // Windows may refuse to delete a file that the run holds open, or keep
  // its name, for every program, until the run closes it (Wine does).
  std::error_code unknown;
  if (!removed || std::filesystem::exists(std::filesystem::u8path(dir.File("s.zem")), unknown)) {
    GTEST_SKIP() << "this system keeps the name of a deleted scene while a run holds it open";
  }
#endif
  ASSERT_TRUE(removed);
  std::string text;
  EXPECT_FALSE(WriteDesignWorkshopHeader(7, scene, text, why));
  EXPECT_NE(why.find("cannot read scene file"), std::string::npos) << why;
}

}  // namespace
