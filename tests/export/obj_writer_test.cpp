#include "export/obj_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/format_table.h"
#include "formats/texture_name_codec.h"
#include "tests/support/test_support.h"
#include "sample/sample_scene.h"

namespace {

TEST(ObjWriterTest, LibraryPathReplacesTheExtension) {
  EXPECT_EQ(CompanionPath("out.obj", ".mtl"), "out.mtl");
  EXPECT_EQ(CompanionPath("a.b/out", ".mtl"), "a.b/out.mtl");
  EXPECT_EQ(CompanionPath("dir/x.y.obj", ".mtl"), "dir/x.y.mtl");
  EXPECT_EQ(CompanionPath("out.mtl", ".mtl"), "out.mtl");
}

TEST(ObjWriterTest, TextureWordsSurviveAnyName) {
  for (const char* name : {"WALL", "", "A B", "a\tb", "#1", "50%", "\x7F\xE9", "AB%2"}) {
    const std::string word = EncodeTextureWord(name);
    EXPECT_EQ(word.find_first_of(" \t#\r\n"), std::string::npos) << word;
    EXPECT_EQ(DecodeTextureWord(word), name) << word;
  }
  EXPECT_EQ(EncodeTextureWord("A B"), "A%20B");
  EXPECT_EQ(EncodeTextureWord(""), "%00");
  EXPECT_EQ(DecodeTextureWord("%zz%4"), "%zz%4");  // not an escape: taken as it is
}

TEST(ObjWriterTest, ObjAndLibraryByteForByte) {
  std::string why;
  SceneContents contents;
  contents.textureNames = {"AB C", "Q"};
  contents.rects.resize(2);
  contents.rects[0].corners = {0, 0, 0, 1, 0, 0, 1, 1, 0, -0.0f, 0.1f, -2.5f};
  contents.rects[0].texCoords = {0, 0, 1, 0, 1, 1, 1.17549435e-38f, 16777216.0f * 3};
  contents.rects[1].textureIndex = 2;  // beyond the table: material (null)
  contents.extraSlots = 1;
  TempDir dir;
  ASSERT_TRUE(WriteFileBytes(dir.File("s.zem"), BuildScene(contents).bytes));
  ASSERT_EQ(ExportScene(dir.File("s.zem").c_str(), dir.File("s.obj").c_str(), kFormatObj, why), 0);
  const std::string zeroV = "v 0 0 0\r\n";
  const std::string zeroVt = "vt 0 0\r\n";
  EXPECT_EQ(ReadFileText(dir.File("s.obj")),
            "# quadkit OBJ export of s.zem: 2 rectangles\r\n# coordinates as the scene stores them: "
            "y up, no axis swapped; texture coordinates as stored: v not flipped\r\nmtllib s.mtl\r\n"
            "o Rect_1\r\nv 0 0 0\r\nv 1 0 0\r\nv 1 1 0\r\nv -0 0.1 -2.5\r\n"
            "vt 0 0\r\nvt 1 0\r\nvt 1 1\r\nvt 0.000000000000000000000000000000000000011754944 50331648\r\n"
            "usemtl AB%20C\r\nf 1/1 2/2 3/3 4/4\r\n"
            "o Rect_2\r\n" + zeroV + zeroV + zeroV + zeroV + zeroVt + zeroVt + zeroVt + zeroVt +
            "usemtl (null)\r\nf 5/5 6/6 7/7 8/8\r\n# end\r\n");
  EXPECT_EQ(ReadFileText(dir.File("s.mtl")),
            "# quadkit materials: 2 textures\r\n\r\nnewmtl AB%20C\r\nKd 0.800000 0.800000 0.800000\r\n"
            "\r\nnewmtl Q\r\nKd 0.800000 0.800000 0.800000\r\n"
            "\r\n# rectangles whose texture is not in the scene\r\nnewmtl (null)\r\n"
            "Kd 1.000000 0.000000 1.000000\r\n");
}

TEST(ObjWriterTest, RefusesToOverwriteTheSceneOrItself) {
  std::string why;
  TempDir dir;
  const std::vector<uint8_t> bytes = BuildSampleBoxScene().bytes;
  ASSERT_TRUE(WriteFileBytes(dir.File("box.mtl"), bytes));
  EXPECT_EQ(ExportScene(dir.File("box.mtl").c_str(), dir.File("box.obj").c_str(), kFormatObj, why), -1);
  EXPECT_EQ(ExportScene(dir.File("box.mtl").c_str(), dir.File("other.mtl").c_str(), kFormatObj, why), -1);
  EXPECT_FALSE(FileExists(dir.File("box.obj")));
  ExpectSameBytes(ReadFileBytes(dir.File("box.mtl")), bytes);
}

TEST(ObjWriterTest, SampleLoadsInAssimpAsOneQuadPerRectangle) {
  std::string why;
  const std::string missing = WhyToolIsMissing("assimp");
  if (!missing.empty()) GTEST_SKIP() << missing;
  TempDir dir;
  ASSERT_TRUE(WriteFileBytes(dir.File("box.zem"), BuildSampleBoxScene().bytes));
  ASSERT_EQ(ExportScene(dir.File("box.zem").c_str(), dir.File("box.obj").c_str(), kFormatObj, why), 0);
  const std::string command =
      "assimp info '" + dir.File("box.obj") + "' -r > '" + dir.File("info.txt") + "' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << ReadFileText(dir.File("info.txt"));
  const std::string info = ReadFileText(dir.File("info.txt"));
  EXPECT_NE(info.find("Faces:              6\n"), std::string::npos) << info;
  EXPECT_NE(info.find("Vertices:           24\n"), std::string::npos) << info;
  EXPECT_NE(info.find("Primitive Types:    n-polygons\n"), std::string::npos) << info;
}

}  // namespace
