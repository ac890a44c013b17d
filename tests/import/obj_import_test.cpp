#include "import/obj_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/format_table.h"
#include "tests/support/test_support.h"
#include "sample/sample_scene.h"

namespace {

class ObjImportTest : public ::testing::Test {
 protected:
  std::string why;
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
    complained = reporter.err;
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
  std::string complained;  // standard error of the last import
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
  ExpectSameBytes(ReadFileBytes(scene), sample.bytes);  // the sample's values are exact in "%f"

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
  ExpectSameBytes(ReadFileBytes(scene), sample.bytes);
}

TEST_F(ObjImportTest, WhatEditorsWrite) {
  const std::string text =
      "# edited\nmtllib box.mtl\nv 1 2 3\nv 4 5 6\nv 7 8 9\nv 10 11 12\n"
      "vt 0.5 0.25\nvt 1 1\nvn 0 0 1\n\ng walls\ns off\n"
      "o Rect_2\nusemtl roof\nf 1//1 2//1 3//1 4//1\n"
      "o Rect_3\nf 4/1/1 3/2/1 -3/1 -4/2\r\n"
      "o Rect_9\nf 1 2 3 4\n"            // not in the scene
      "o Rect_4\nf 1 2 3\n"              // a triangle
      "o Rect_5\nf 1 2 3 4//9\n"         // a normal out of range
      "o Rect_6\nf 1 2 3 4\nf 1 2 3 4\n"  // two faces
      "o Rect_1\nusemtl A%20B\nf 1 2 3 4";
  std::string printed;
  // Rectangles 3 to 5 were meant to be edited and were not: the run fails.
  ASSERT_EQ(Import(text, &printed), -1);
  EXPECT_EQ(printed, "Warning! Line 18: object Rect_9 names no rectangle of the scene. Skipping\r\n"
                     "Warning! Line 20: object Rect_4 has a face of 3 corners, not 4. Skipping\r\n"
                     "Warning! Line 22: object Rect_5 refers to 4//9, which is out of range. Skipping\r\n"
                     "Warning! Line 24: object Rect_6 has 2 faces, not one. Skipping\r\n" +
                         Progress(1) + Progress(2) + Progress(0) + "Warning! Texture A B not in ZEM. Skipping\r\n" +
                         "3 Rectangles imported\r\n");
  const std::string oneQuad = "; keep each Rect_N object one quad (or two triangles of one): apply no modifier "
                              "that adds faces, such as Subdivision Surface or Solidify, and do not join objects\n";
  EXPECT_EQ(complained, "rectangle 3: object Rect_4 of line 20 was not applied: it has a face of 3 corners, not 4" +
                            oneQuad +
                            "rectangle 4: object Rect_5 of line 22 was not applied: it refers to 4//9, which is out of "
                            "range; the file refers to a vertex it does not hold: export it again\n"
                            "rectangle 5: object Rect_6 of line 24 was not applied: it has 2 faces, not one" + oneQuad);
  EXPECT_EQ(why, "OBJ file '" + dir.File("in.obj") + "' names 3 rectangles whose objects could not be applied "
                 "(named above: they keep their values; the other objects were applied)");
  SceneFile after;
  ASSERT_TRUE(after.Open(scene.c_str(), why));
  const RectCoords square = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  EXPECT_EQ(*after.GetRectCoords(1, why), square);
  EXPECT_EQ(*after.GetRectTexCoords(1, why), SampleBoxContents().rects[1].texCoords);  // no vt: kept
  EXPECT_EQ(after.GetRectTextureIndex(1, why), 2);                                 // "roof"
  EXPECT_EQ(*after.GetRectCoords(2, why), (RectCoords{10, 11, 12, 7, 8, 9, 4, 5, 6, 1, 2, 3}));
  EXPECT_EQ(*after.GetRectTexCoords(2, why), (RectTexCoords{0.5f, 0.25f, 1, 1, 0.5f, 0.25f, 1, 1}));
  EXPECT_EQ(after.GetRectTextureIndex(2, why), 0);  // no usemtl of its own: its texture is kept
  EXPECT_EQ(*after.GetRectCoords(3, why), SampleBoxContents().rects[3].corners);
  EXPECT_EQ(after.GetRectTextureIndex(0, why), 0);
}

TEST_F(ObjImportTest, RefusedFilesWriteNothing) {
  for (const std::string& text : {std::string("v 1 2 3\nf 1 1 1 1\n"), std::string("# nothing\n"),
                                  std::string(""), std::string("o Rect_1\nv 1 2 3\n\x01\n"),
                                  std::string("o Rect_1\0v", 10)}) {
    std::string printed;
    EXPECT_EQ(Import(text, &printed), -1);
    EXPECT_EQ(printed, "");
    ExpectSameBytes(ReadFileBytes(scene), sample.bytes);
  }
}

// Objects from g lines (no o line in the file), shared vertices, two
// triangles as one quad, and what cannot be one.
TEST_F(ObjImportTest, GroupsTrianglesAndDuplicates) {
  const std::string text =
      "v 1 2 3\nv 4 5 6\nv 7 8 9\nv 10 11 12\nvt 0.5 0.25\nvt 1 1\nvt 0 1\nvt 0.75 0\n"
      "g Rect_2_Rect_2\nusemtl roof\nf 2/2 4/4 1/1\nf 2/2 3/3 4/4\n"  // line 9
      "g Rect_3.001\nf 1 2 3 4\n"                                  // line 13: an editor's copy
      "g Rect_2\nf 1 2 3 4\n"                                      // line 15: rectangle 2 again
      "g Rect_4\nusemtl (null)\nf 4/1 3/2 2/3 1/4\n"                // line 17: the same vertices
      "g Rect_5\nf 1 2 3\nf 1 2 4\n"                               // line 20: edge 1-2 twice alike
      "g Rect_6\nusemtl FLR\nf 1 2 3\nusemtl WALL\nf 1 3 4\n"       // line 23
      "g Rect_1\nf 1/1 2/2 3/3\nf 1/2 3/3 4/4\n";                    // line 28: corner 1's vt differs
  std::string printed;
  ASSERT_EQ(Import(text, &printed), -1);
  EXPECT_EQ(printed,
            "Warning! Line 13: object Rect_3.001 names no rectangle of the scene. Skipping\r\n"
            "Warning! Line 15: object Rect_2 names the same rectangle as the object of line 9. Skipping\r\n"
            "Warning! Line 20: object Rect_5 has two triangles that do not make one quad. Skipping\r\n"
            "Warning! Line 23: object Rect_6 has two triangles of different materials. Skipping\r\n"
            "Warning! Line 28: object Rect_1 has two triangles that give a shared corner different "
            "texture coordinates. Skipping\r\n"
            "Rechteck-ID: Rect_2_Rect_2" + Progress(1).substr(19) + Progress(3) +
                "Warning! Texture (null) not in ZEM. Skipping\r\n"
                "Warning! Rect_3 has no object in the file. Skipping\r\n"
                "2 Rectangles imported\r\n");
  // Rectangles 0, 1, 4 and 5 were meant to be edited and were not: each is named.
  EXPECT_EQ(std::count(complained.begin(), complained.end(), '\n'), 4) << complained;
  EXPECT_EQ(complained.substr(0, 38), "rectangle 0: object Rect_1 of line 28 ");
  EXPECT_NE(complained.find("\nrectangle 5: object Rect_6 of line 23 was not applied: it has two triangles of "
                            "different materials; give the rectangle's two triangles one material\n"),
            std::string::npos) << complained;
  SceneFile after;
  ASSERT_TRUE(after.Open(scene.c_str(), why));
  EXPECT_EQ(*after.GetRectCoords(1, why), (RectCoords{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  EXPECT_EQ(*after.GetRectTexCoords(1, why), (RectTexCoords{0.5f, 0.25f, 1, 1, 0, 1, 0.75f, 0}));
  EXPECT_EQ(after.GetRectTextureIndex(1, why), 2);
  EXPECT_EQ(*after.GetRectCoords(3, why), (RectCoords{10, 11, 12, 7, 8, 9, 4, 5, 6, 1, 2, 3}));
  EXPECT_EQ(after.GetRectTextureIndex(3, why), SampleBoxContents().rects[3].textureIndex);
  for (int rect : {0, 2, 4, 5}) EXPECT_EQ(*after.GetRectCoords(rect, why), SampleBoxContents().rects[rect].corners);
}

// What the run says of each object an editor may leave: an object that
// names a rectangle but cannot be applied fails the run, naming the
// rectangle; a missing object and one that names no rectangle are warnings.
TEST_F(ObjImportTest, EachObjectThatCannotBeAppliedIsNamed) {
  ASSERT_EQ(ExportScene(scene.c_str(), dir.File("out.obj").c_str(), kFormatObj, why), 0);
  std::string header;
  std::vector<std::string> o = Objects(ReadFileText(dir.File("out.obj")), &header);
  const std::string face = "f -4/-4 -3/-3 -2/-2 -1/-1\r\n";  // each object's own vertices: lines 4 + 11k on
  for (std::string& object : o) object = object.substr(0, object.find("f ")) + face;
  std::string groups;  // Blender's Object Groups and Material Groups: g OBJECT_MESH, g OBJECT_MATERIAL
  for (size_t k = 0; k < o.size(); ++k) {
    const std::string name = "Rect_" + std::to_string(k + 1);
    const size_t material = o[k].find("usemtl ");
    groups += "g " + name + "_" + name + o[k].substr(8, material - 8) + "g " + name + "_" +
              o[k].substr(material + 7, o[k].find('\r', material) - material - 7) + "\r\n" + o[k].substr(material);
  }
  const std::string oneQuad = "; keep each Rect_N object one quad (or two triangles of one): apply no modifier "
                              "that adds faces, such as Subdivision Surface or Solidify, and do not join objects\n";
  const struct {
    const char* name;
    std::string objects;
    int32_t result;
    std::string said;  // a line of the output
    std::string complained;
  } cases[] = {
      {"Blender's Object Groups and Material Groups", groups, 0, "6 Rectangles imported\r\n", ""},
      {"a deleted object", o[0] + o[1] + o[3] + o[4] + o[5], 0,
       "Warning! Rect_3 has no object in the file. Skipping\r\n", ""},
      {"a camera's mesh", o[0] + o[1] + o[2] + o[3] + o[4] + o[5] + "o Cube\r\nv 0 0 0\r\nv 1 0 0\r\nv 1 1 0\r\n" +
       "v 0 1 0\r\nf -4 -3 -2 -1\r\n", 0, "Warning! Line 70: object Cube names no rectangle of the scene. Skipping\r\n", ""},
      {"a subdivided rectangle", o[0] + o[1] + face + face + face + o[2] + o[3] + o[4] + o[5], -1,
       "Warning! Line 15: object Rect_2 has 4 faces, not one. Skipping\r\n",
       "rectangle 1: object Rect_2 of line 15 was not applied: it has 4 faces, not one" + oneQuad},
      {"two objects joined", o[0] + o[1] + o[2] + o[3].substr(o[3].find('\n') + 1) + o[4] + o[5], -1,
       "Warning! Line 26: object Rect_3 has 2 faces, not one. Skipping\r\n",
       "rectangle 2: object Rect_3 of line 26 was not applied: it has 2 faces, not one" + oneQuad},
      {"a copy given the name of another rectangle", o[0] + o[1] + o[2] + o[3] + o[4] + o[5] + o[4], -1,
       "Warning! Line 70: object Rect_5 names the same rectangle as the object of line 48. Skipping\r\n",
       "rectangle 4: object Rect_5 of line 70 was not applied: it names the same rectangle as the object of line 48; "
       "give each rectangle one object: do not join objects, and do not give two objects one rectangle's name\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string printed;
    ASSERT_TRUE(WriteFileBytes(scene, sample.bytes));
    EXPECT_EQ(Import(header + c.objects, &printed), c.result) << why;
    EXPECT_NE(printed.find(c.said), std::string::npos) << printed;
    EXPECT_EQ(printed.find("Warning!"), c.said.find("Warning!") == 0 ? printed.find(c.said) : std::string::npos)
        << printed;  // no other warning before it, and none at all where none is due
    EXPECT_EQ(complained, c.complained);
    ExpectSameBytes(ReadFileBytes(scene), sample.bytes);  // every object applied holds the scene's values
  }
}

TEST_F(ObjImportTest, EveryObjectSkippedIsAFailure) {
  std::string printed;
  EXPECT_EQ(Import("v 1 2 3\no Rect_1\nf 1 1 1\no Rect_7\nf 1 1 1 1\n", &printed), -1);
  EXPECT_EQ(printed, "Warning! Line 2: object Rect_1 has a face of 3 corners, not 4. Skipping\r\n"
                     "Warning! Line 4: object Rect_7 names no rectangle of the scene. Skipping\r\n"
                     "0 Rectangles imported\r\n");
  EXPECT_EQ(why, "OBJ file '" + dir.File("in.obj") +
                     "' names no rectangle that could be applied: every object was skipped");
  ExpectSameBytes(ReadFileBytes(scene), sample.bytes);
}

// value with six decimals, as Blender writes it, or else exactly.
std::string Printed(float value, bool sixDecimals) {
  char text[400];
  std::snprintf(text, sizeof text, sixDecimals ? " %.6f" : " %.9g", static_cast<double>(value));
  return text;
}

// The OBJ text with the numbers of its v and vt lines printed again; the
// corners of the first turned objects turned to (x, z, -y), and edit added
// to the first x.
std::string Rewritten(const std::string& text, bool sixDecimals, int turned, float edit) {
  std::string out;
  int objects = 0;
  for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
    const std::string line = text.substr(at, end - at + 1);
    objects += line.compare(0, 2, "o ") == 0;
    const int count = line.compare(0, 2, "v ") == 0 ? 3 : line.compare(0, 3, "vt ") == 0 ? 2 : 0;
    if (count == 0) {
      out += line;
      continue;
    }
    float values[3];
    char* next = const_cast<char*>(line.c_str()) + 5 - count;
    for (int k = 0; k < count; ++k) values[k] = std::strtof(next, &next);
    if (count == 3 && edit != 0) values[0] += std::exchange(edit, 0.0f);
    if (count == 3 && objects <= turned) values[1] = std::exchange(values[2], -values[1]);
    out += count == 3 ? "v" : "vt";
    for (int k = 0; k < count; ++k) out += Printed(values[k], sixDecimals);
    out += "\r\n";
  }
  return out;
}

// A scene whose floats use every bit: quadkit's own OBJ, and the same
// printed with six decimals as Blender writes it, leave it byte for byte;
// an edit changes exactly its value; a file turned by an editor's axes is
// refused, unless the user turned only a few rectangles.
TEST(ObjRoundTripTest, FullMantissaSceneComesBackExactly) {
  const struct {
    const char* name;
    bool sixDecimals;
    int turned;
    float edit;
    int32_t result;
  } variants[] = {{"as exported", false, 0, 0, 0},
                  {"six decimals", true, 0, 0, 0},
                  {"one number edited", true, 0, 1.25f, 0},
                  {"turned by an editor", true, 12, 0, -1},
                  {"turned by an editor, exactly", false, 12, 0, -1},
                  {"one rectangle turned by its user", false, 1, 0, 0},
                  // The first seven hold the cleared rectangle, which is the same turned.
                  {"half the rectangles turned by their user", false, 7, 0, 0},
                  {"most rectangles turned", false, 8, 0, -1}};
  const std::vector<uint8_t> before = ReadFileBytes(QUADKIT_SOURCE_DIR "/tests/golden/odd.zem");
  TempDir dir;
  const std::string scene = dir.File("s.zem");
  std::string why;
  ASSERT_TRUE(WriteFileBytes(scene, before));
  ASSERT_EQ(ExportScene(scene.c_str(), dir.File("s.obj").c_str(), kFormatObj, why), 0);
  const std::string exported = ReadFileText(dir.File("s.obj"));
  for (const auto& v : variants) {
    SCOPED_TRACE(v.name);
    // What the scene must hold after: rectangle 0 as the file's text reads.
    ASSERT_TRUE(WriteFileBytes(scene, before));
    SceneFile expected;
    ASSERT_TRUE(expected.Open(scene.c_str(), why));
    RectCoords corners = *expected.GetRectCoords(0, why);
    const RectTexCoords texCoords = *expected.GetRectTexCoords(0, why);
    corners[0] = std::strtof(Printed(corners[0] + v.edit, v.sixDecimals).c_str(), nullptr);
    if (v.edit != 0) {
      ASSERT_TRUE(expected.UpdateRect(0, &corners, &texCoords, why));
    }
    // The rectangles turned by their user, as the file's text reads them.
    for (int r = 0; v.result == 0 && r < v.turned; ++r) {
      RectCoords turned = *expected.GetRectCoords(r, why);
      const RectTexCoords storedTex = *expected.GetRectTexCoords(r, why);
      const RectCoords stored = turned;
      for (int k = 0; k < 4; ++k) turned[3 * k + 1] = std::exchange(turned[3 * k + 2], -turned[3 * k + 1]);
      if (std::memcmp(&turned, &stored, sizeof turned) != 0) {
        ASSERT_TRUE(expected.UpdateRect(r, &turned, &storedTex, why));
      }
    }
    const std::vector<uint8_t> after = v.result == 0 ? ReadFileBytes(scene) : before;

    WriteFileText(dir.File("in.obj"), Rewritten(exported, v.sixDecimals, v.turned, v.edit));
    ASSERT_TRUE(WriteFileBytes(scene, before));
    RecordingReporter reporter;
    EXPECT_EQ(ImportScene(scene.c_str(), dir.File("in.obj").c_str(), kFormatObj, reporter, why), v.result) << why;
    EXPECT_EQ(reporter.err, "");
    ExpectSameBytes(ReadFileBytes(scene), after);
  }
}

TriangleCorner C(int64_t position) { return {position, position + 100}; }

// Ring corners (indices mod 4) as a triangle, started turn corners later.
void Triangle(const int64_t* ring, const int (&corners)[3], int turn, TriangleCorner (&triangle)[3]) {
  for (int k = 0; k < 3; ++k) triangle[k] = C(ring[corners[(k + turn) % 3] % 4]);
}

// Either split of a quad, in either winding, either triangle first and each
// starting at any corner, gives the quad back from its lowest position.
TEST(QuadFromTrianglesTest, EverySplitInEitherWinding) {
  const int64_t rings[2][4] = {{7, 3, 9, 5}, {5, 9, 3, 7}};  // the same quad, wound both ways
  const int64_t expected[2][4] = {{3, 9, 5, 7}, {3, 7, 5, 9}};
  const int splits[2][2][3] = {{{0, 1, 2}, {2, 3, 0}}, {{1, 2, 3}, {3, 0, 1}}};
  for (int winding = 0; winding < 2; ++winding) {
    for (const auto& halves : splits) {
      for (int order = 0; order < 2; ++order) {
        for (int turns = 0; turns < 9; ++turns) {
          TriangleCorner first[3], second[3], quad[4];
          Triangle(rings[winding], halves[order], turns % 3, first);
          Triangle(rings[winding], halves[1 - order], turns / 3, second);
          ASSERT_TRUE(QuadFromTriangles(first, second, quad));
          for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(quad[k].position, expected[winding][k]);
            EXPECT_EQ(quad[k].texCoord, expected[winding][k] + 100);
          }
        }
      }
    }
  }
}

TEST(QuadFromTrianglesTest, TrianglesThatMakeNoQuad) {
  const struct {
    int64_t first[3];
    int64_t second[3];
  } cases[] = {
      {{0, 1, 2}, {0, 1, 3}},  // the shared edge runs the same way in both
      {{0, 1, 2}, {2, 3, 4}},  // one shared corner
      {{0, 1, 2}, {2, 1, 0}},  // the same corners
      {{0, 0, 1}, {1, 2, 0}},  // a corner twice
      {{0, 1, 2}, {3, 4, 5}},  // nothing shared
  };
  for (const auto& c : cases) {
    const TriangleCorner first[3] = {C(c.first[0]), C(c.first[1]), C(c.first[2])};
    const TriangleCorner second[3] = {C(c.second[0]), C(c.second[1]), C(c.second[2])};
    TriangleCorner quad[4];
    EXPECT_FALSE(QuadFromTriangles(first, second, quad)) << c.first[0] << c.first[1] << c.first[2];
  }
}

TEST(ObjImportNamesTest, WhichRectangleANameGives) {
  const struct {
    const char* name;
    int32_t rect;
  } cases[] = {{"Rect_1", 0},       {"Rect_12", 11},         {"Rect_012", 11},   {"Rect_3_", 2},
               {"Rect_3_Rect_3", 2}, {"Rect_3_Mesh.002", 2}, {"Rect_13", -1},    {"Rect_0", -1},
               {"Rect_3.001", -1},   {"Rect_", -1},          {"rect_3", -1},     {"Rect_x", -1},
               {"Rect_-1", -1},      {"Rect_+1", -1},        {"Rect_0000000001", -1}, {"", -1}};
  for (const auto& c : cases) {
    EXPECT_EQ(RectIndexOfObjectName(c.name, std::strlen(c.name), 12), c.rect) << c.name;
  }
  EXPECT_EQ(RectIndexOfObjectName("Rect_12", 6, 12), 0);  // the length is the name's end
}

}  // namespace
