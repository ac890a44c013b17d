#include "export/directx_writer.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cstdlib>
#include <string>

#include "app/format_table.h"
#include "tests/support/test_support.h"
#include "sample/sample_scene.h"

namespace {

ExportRect Rect(int32_t index, const RectCoords& corners) {
  static const RectTexCoords kNoTexCoords = {};
  return {index, corners, kNoTexCoords, RectTexture()};
}

const char kHeader[] =
    "xof 0302txt 0032\r\ntemplate Header {\r\n\t<3D82AB43-62DA-11cf-AB39-0020AF71E433>\r\n"
    "\tWORD major;\r\n\tWORD minor;\r\n\tDWORD flags;\r\n}\r\nHeader { 1; 0; 1; }\r\n"
    "Frame VIVAREV_Root {\r\n"
    "\tMaterial RedMaterial {\r\n\t\t1.000000;0.000000;0.000000;1.000000;;\r\n\t\t0.000000;\r\n"
    "\t\t0.000000;0.000000;0.000000;;\r\n\t\t0.000000;0.000000;0.000000;;\r\n\t}\r\n"
    "\tMaterial GreenMaterial {\r\n\t\t0.000000;1.000000;0.000000;1.000000;;\r\n\t\t0.000000;\r\n"
    "\t\t0.000000;0.000000;0.000000;;\r\n\t\t0.000000;0.000000;0.000000;;\r\n\t}\r\n";

std::string Mesh(int index, const std::string& v0, const std::string& v1, const std::string& v2,
                 const std::string& v3) {
  return "\tMesh Side_" + std::to_string(index) + " {\r\n\t\t4;\r\n\t\t" + v0 + ";,\r\n\t\t" + v1 +
         ";,\r\n\t\t" + v2 + ";,\r\n\t\t" + v3 + ";;\r\n\t\t2;\r\n\t\t4; 0,1,2,3;;\r\n" +
         "\t\t4; 3,2,1,0;;\r\n\t\tMeshMaterialList {\r\n\t\t\t2; 2; 0, 1,\r\n" +
         "\t\t\t{RedMaterial} {GreenMaterial}\r\n\t\t}\r\n\t}\r\n";
}

TEST(DirectXWriterTest, HeaderAndFooterAreFixed) {
  ASSERT_EQ(sizeof kHeader - 1, 463u);
  for (int32_t count : {0, -5, 19999}) {
    EXPECT_EQ(TextOf(WriteDirectXHeader, count), kHeader);
    EXPECT_EQ(TextOf(WriteDirectXFooter, count), "}\r\n");
  }
}

TEST(DirectXWriterTest, MeshBlocks) {
  const RectCoords square = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
  EXPECT_EQ(TextOf(WriteDirectXRect, Rect(12, square)),
            Mesh(12, "0.000000; 0.000000; 0.000000", "1.000000; 0.000000; 0.000000",
                 "1.000000; 1.000000; 0.000000", "0.000000; 1.000000; 0.000000"));

  const RectCoords values = {-2.5f, 0.1f, 1e10f, 0, 0, 0, 0, 0, 0, 0, 0, -0.0f};
  const std::string zero = "0.000000; 0.000000; 0.000000";
  EXPECT_EQ(TextOf(WriteDirectXRect, Rect(0, values)),
            Mesh(0, "-2.500000; 0.100000; 10000000000.000000", zero, zero,
                 "0.000000; 0.000000; -0.000000"));

  RectCoords lowest;
  lowest.fill(-FLT_MAX);
  EXPECT_EQ(TextOf(WriteDirectXRect, Rect(19998, lowest)).size(),
            749u);
}

TEST(DirectXWriterTest, EmptySceneIsAClosedFrame) {
  std::string why;
  TempDir dir;
  ASSERT_TRUE(WriteFileBytes(dir.File("s.zem"), BuildScene(SceneContents{}).bytes));
  ASSERT_EQ(ExportScene(dir.File("s.zem").c_str(), dir.File("s.x").c_str(), kFormatDirectX, why), 0);
  EXPECT_EQ(ReadFileText(dir.File("s.x")), std::string(kHeader) + "}\r\n");
}

// An independent reader must load the export: two faces per rectangle.
TEST(DirectXWriterTest, SampleLoadsInAssimp) {
  std::string why;
  const std::string missing = WhyToolIsMissing("assimp");
  if (!missing.empty()) GTEST_SKIP() << missing;
  TempDir dir;
  ASSERT_TRUE(WriteFileBytes(dir.File("box.zem"), BuildSampleBoxScene().bytes));
  ASSERT_EQ(ExportScene(dir.File("box.zem").c_str(), dir.File("box.x").c_str(), kFormatDirectX, why), 0);
  const std::string command = "assimp info '" + dir.File("box.x") + "' -r > '" +
                              dir.File("info.txt") + "' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << ReadFileText(dir.File("info.txt"));
  const std::string info = ReadFileText(dir.File("info.txt"));
  EXPECT_NE(info.find("Faces:              12\n"), std::string::npos) << info;
  EXPECT_NE(info.find("Vertices:           48\n"), std::string::npos) << info;
}

}  // namespace
