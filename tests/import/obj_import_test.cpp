#include "import/obj_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "export/export_scene.h"
#include "import/import_scene.h"
#include "tests/support/test_support.h"
#include "tools/sample_scene.h"

namespace {

// The reason of the last failed call, and the messages of the calls.
std::string why;

class ObjImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sample = BuildSampleBoxScene();
    scene = dir.File("box.zem");
    ASSERT_TRUE(WriteFileBytes(scene, sample.bytes));
  }
  int32_t Import(const std::string& text, std::string* printed) {
    WriteFileText(dir.File("in.obj"), text);
    RecordingReporter reporter;
    const int32_t result = ImportScene(scene.c_str(), dir.File("in.obj").c_str(), kFormatObj, reporter, why);
    *printed = reporter.out;
    return result;
  }
  std::string Progress(int rect) const {
    char line[64];
    std::snprintf(line, sizeof line, "Rechteck-ID: Rect_%d Offset: %8X\r\n", rect + 1,
                  static_cast<unsigned>(sample.recordOffsets[rect] + 100));
    return line;
  }
  TempDir dir;
  BuiltScene sample;
  std::string scene;
};

// Splits an export into its header and its objects, each "o" with its lines.
std::vector<std::string> Objects(const std::string& text, std::string* header) {
  std::vector<std::string> objects;
  size_t at = text.find("o Rect_");
  *header = text.substr(0, at);
  while (at != std::string::npos) {
    const size_t next = text.find("o Rect_", at + 1);
    objects.push_back(text.substr(at, next == std::string::npos ? text.find("# end", at) - at
                                                                : next - at));
    at = next;
  }
  return objects;
}

TEST_F(ObjImportTest, RoundTripInAnyObjectOrder) {
  ASSERT_EQ(ExportScene(scene.c_str(), dir.File("out.obj").c_str(), kFormatObj, why), 0);
  const std::string exported = ReadFileText(dir.File("out.obj"));
  std::string header;
  std::vector<std::string> objects = Objects(exported, &header);
  ASSERT_EQ(objects.size(), 6u);

  std::string printed;
  ASSERT_EQ(Import(exported, &printed), 0);
  std::string expected;
  for (int k = 0; k < 6; ++k) expected += Progress(k);
  EXPECT_EQ(printed, expected + "6 Rectangles imported\r\n");
  EXPECT_EQ(ReadFileBytes(scene), sample.bytes);  // the sample's values are exact in "%f"

  // Reversed, each object's face indices must follow its own vertices:
  // relative indices make each object independent of its position.
  std::reverse(objects.begin(), objects.end());
  std::string reversed = header;
  for (std::string object : objects) {
    const size_t face = object.find("f ");
    reversed += object.substr(0, face) + "f -4/-4 -3/-3 -2/-2 -1/-1\r\n";
  }
  ASSERT_TRUE(WriteFileBytes(scene, sample.bytes));
  ASSERT_EQ(Import(reversed, &printed), 0);
  expected.clear();
  for (int k = 5; k >= 0; --k) expected += Progress(k);
  EXPECT_EQ(printed, expected + "6 Rectangles imported\r\n");
  EXPECT_EQ(ReadFileBytes(scene), sample.bytes);
}

TEST_F(ObjImportTest, WhatEditorsWrite) {
  const std::string text =
      "# edited\nmtllib box.mtl\nv 1 2 3\nv 4 5 6\nv 7 8 9\nv 10 11 12\n"
      "vt 0.5 0.25\nvt 1 1\nvn 0 0 1\n\ng walls\ns off\n"
      "o Rect_2\nusemtl roof\nf 1//1 2//1 3//1 4//1\n"
      "o Rect_3\nf 4/1/1 3/2/1 -3/1 -4/2\r\n"
      "o Rect_9\nf 1 2 3 4\n"            // not in the scene
      "o Rect_4\nf 1 2 3\n"              // a triangle
      "o Rect_5\nf 1 2 3 5\n"            // index out of range
      "o Rect_6\nf 1 2 3 4\nf 1 2 3 4\n"  // two faces
      "o Rect_1\nusemtl A%20B\nf 1 2 3 4";
  std::string printed;
  ASSERT_EQ(Import(text, &printed), 0);
  EXPECT_EQ(printed, Progress(1) + Progress(2) +
                         "Warning! Line 18: object Rect_9 names no rectangle of the scene. Skipping\r\n"
                         "Warning! Line 20: object Rect_4 has a face of 3 corners, not 4. Skipping\r\n"
                         "Warning! Line 22: object Rect_5 refers to 5, which is out of range. Skipping\r\n"
                         "Warning! Line 24: object Rect_6 has 2 faces, not one. Skipping\r\n" +
                         Progress(0) + "Warning! Texture A B not in ZEM. Skipping\r\n" +
                         "3 Rectangles imported\r\n");
  SceneFile after;
  ASSERT_TRUE(after.Open(scene.c_str(), why));
  const RectCoords square = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  EXPECT_EQ(*after.GetRectCoords(1), square);
  EXPECT_EQ(*after.GetRectTexCoords(1), SampleBoxContents().rects[1].texCoords);  // no vt: kept
  EXPECT_EQ(after.GetRectTextureIndex(1), 2);                                 // "roof"
  EXPECT_EQ(*after.GetRectCoords(2), (RectCoords{10, 11, 12, 7, 8, 9, 4, 5, 6, 1, 2, 3}));
  EXPECT_EQ(*after.GetRectTexCoords(2), (RectTexCoords{0.5f, 0.25f, 1, 1, 0.5f, 0.25f, 1, 1}));
  EXPECT_EQ(*after.GetRectCoords(3), SampleBoxContents().rects[3].corners);
  EXPECT_EQ(after.GetRectTextureIndex(0), 0);
}

TEST_F(ObjImportTest, RefusedFilesWriteNothing) {
  for (const std::string& text : {std::string("v 1 2 3\nf 1 1 1 1\n"), std::string("# nothing\n"),
                                  std::string(""), std::string("o Rect_1\nv 1 2 3\n\x01\n"),
                                  std::string("o Rect_1\0v", 10)}) {
    std::string printed;
    EXPECT_EQ(Import(text, &printed), -1);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(ReadFileBytes(scene), sample.bytes);
  }
}

}  // namespace
