// quadkit's OBJ export taken through the real editors and imported back by
// the quadkit binary: Blender headless (tests/blender_obj_round_trip.py: no
// edit; one moved vertex and one changed material, exported plain,
// triangulated and grouped; turned by other axis settings on one way) and
// assimp (no edit). Skipped where the tool is not installed.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/test_support.h"
#include "sample/sample_scene.h"

namespace {

bool Installed(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// The scene with the bounds quadkit computes, so that a rectangle rewritten
// with its own values keeps every byte.
std::vector<uint8_t> WithComputedBounds(const SceneContents& contents, const TempDir& dir) {
  const std::string path = dir.File("bounds.zem");
  WriteFileBytes(path, BuildScene(contents).bytes);
  SceneFile scene;
  std::string why;
  if (!scene.Open(path.c_str(), why)) return {};
  for (int32_t i = 0; i < scene.GetRectCount(); ++i) {
    scene.UpdateRect(i, &contents.rects[i].corners, &contents.rects[i].texCoords, why);
  }
  return ReadFileBytes(path);
}

// 300 rectangles over five textures (one name with a blank), rectangle 138
// pointing beyond the texture table; every value is exact in "%f", or with
// everyBit uses every bit of its mantissa, with negative zeros and values
// far below six decimals among them.
SceneContents GeneratedContents(bool everyBit) {
  SceneContents contents;
  contents.textureNames = {"WALL", "FLR", "ROOF", "A B", "Q"};
  contents.extraSlots = 1;
  uint32_t seed = 2024;
  const auto next = [&seed](uint32_t range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<float>((seed >> 8) % range);
  };
  for (int k = 0; k < 300; ++k) {
    BuilderRect rect;
    for (float& c : rect.corners) c = (next(65536) - 32768) * 0.25f * (everyBit ? 1 + next(1 << 23) * 0x1p-23f : 1);
    for (float& t : rect.texCoords) t = next(512) / 64.0f * (everyBit ? 1 + next(1 << 23) * 0x1p-23f : 1);
    if (everyBit) rect.corners[k % 12] = k % 2 == 0 ? -0.0f : next(1000) * 1e-30f;
    rect.textureIndex = k == 137 ? 5 : k % 5;
    contents.rects.push_back(rect);
  }
  return contents;
}

// A scene and the edit made in Blender: rectangle moved's corner vertex
// moves by 0.5, -1, 2 and rectangle retextured gets texture (material).
struct EditorCase {
  SceneContents contents;
  int32_t moved, vertex, retextured, texture;
  const char* material;
};

std::vector<EditorCase> AssimpCases() {
  return {{SampleBoxContents(), 4, 2, 1, 2, "ROOF"}, {GeneratedContents(false), 200, 3, 16, 3, "A%20B"}};
}

std::vector<EditorCase> BlenderCases() {
  return {{SampleBoxContents(), 4, 2, 1, 2, "ROOF"}, {GeneratedContents(true), 200, 3, 16, 3, "A%20B"}};
}

// Imports obj into a copy of the scene by the quadkit binary; the run.
RunResult ImportIntoCopy(const std::vector<uint8_t>& before, const std::string& obj, const TempDir& dir) {
  WriteFileBytes(dir.File("copy.zem"), before);
  return RunQuadkitBinary({"/i", dir.File("copy.zem"), obj, "/OBJ"});
}

// Imports obj into a copy of the scene by the quadkit binary; the copy's bytes.
std::vector<uint8_t> ImportedCopy(const EditorCase& c, const std::vector<uint8_t>& before,
                                  const std::string& obj, const TempDir& dir) {
  const RunResult run = ImportIntoCopy(before, obj, dir);
  EXPECT_EQ(run.exitCode, 0) << obj << run.err;
  const size_t invalid = static_cast<size_t>(c.contents.extraSlots);  // texture not in the table
  EXPECT_EQ(Count(run.out, "Rechteck-ID: "), c.contents.rects.size()) << obj;
  EXPECT_EQ(Count(run.out, "Skipping"), invalid) << obj << run.out;
  EXPECT_EQ(Count(run.out, "Warning! Texture (null) not in ZEM. Skipping\r\n"), invalid) << obj;
  return ReadFileBytes(dir.File("copy.zem"));
}

// The scene exported as OBJ; its bytes before.
std::vector<uint8_t> Exported(const EditorCase& c, const TempDir& dir) {
  const std::vector<uint8_t> before = WithComputedBounds(c.contents, dir);
  WriteFileBytes(dir.File("scene.zem"), before);
  EXPECT_EQ(RunQuadkitBinary({"/e", dir.File("scene.zem"), dir.File("scene.obj"), "/OBJ"}).exitCode, 0);
  return before;
}

// A coordinate moved in Blender as the file comes back: the float sum,
// written with six decimals.
float MovedInBlender(float value, float offset) {
  char text[400];
  const float sum = static_cast<float>(static_cast<double>(value) + offset);  // Blender keeps floats
  std::snprintf(text, sizeof text, "%.6f", static_cast<double>(sum));
  return std::strtof(text, nullptr);
}

TEST(ObjEditorsTest, BlenderRoundTripKeepsExactlyTheEdits) {
  if (!Installed("blender")) GTEST_SKIP() << "blender is not on the PATH: the Blender round trip is not run";
  for (const EditorCase& c : BlenderCases()) {
    TempDir dir;
    const std::vector<uint8_t> before = Exported(c, dir);
    const std::string command = "blender -b --factory-startup --python '" QUADKIT_SOURCE_DIR
                                "/tests/blender_obj_round_trip.py' -- '" + dir.File("scene.obj") + "' '" +
                                dir.path() + "' Rect_" + std::to_string(c.moved + 1) + " " +
                                std::to_string(c.vertex) + " 0.5 -1 2 Rect_" + std::to_string(c.retextured + 1) +
                                " '" + c.material + "' > '" + dir.File("blender.log") + "' 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFileText(dir.File("blender.log"));

    ExpectSameBytes(ImportedCopy(c, before, dir.File("unedited.obj"), dir), before, "unedited.obj");
    // Other axes on one way turn the scene: refused, and nothing written.
    for (const char* turned : {"turned_on_export.obj", "turned_on_import.obj"}) {
      const RunResult run = ImportIntoCopy(before, dir.File(turned), dir);
      EXPECT_EQ(run.exitCode, 255) << turned;
      EXPECT_NE(run.err.find("holds the scene turned on its side"), std::string::npos) << turned << run.err;
      ExpectSameBytes(ReadFileBytes(dir.File("copy.zem")), before, turned);
    }

    SceneContents edited = c.contents;
    const float offset[3] = {0.5f, -1.0f, 2.0f};
    for (int axis = 0; axis < 3; ++axis) {
      float& moved = edited.rects[c.moved].corners[3 * c.vertex + axis];
      moved = MovedInBlender(moved, offset[axis]);
    }
    ASSERT_NE(edited.rects[c.retextured].textureIndex, c.texture);
    edited.rects[c.retextured].textureIndex = c.texture;
    const std::vector<uint8_t> expected = WithComputedBounds(edited, dir);
    for (const char* exported : {"plain.obj", "triangulated.obj", "groups.obj"}) {
      ExpectSameBytes(ImportedCopy(c, before, dir.File(exported), dir), expected, exported);
    }
  }
}

TEST(ObjEditorsTest, AssimpCopyChangesNothing) {
  if (!Installed("assimp")) GTEST_SKIP() << "assimp is not on the PATH: the assimp round trip is not run";
  for (const EditorCase& c : AssimpCases()) {
    TempDir dir;
    const std::vector<uint8_t> before = Exported(c, dir);
    const std::string command = "assimp export '" + dir.File("scene.obj") + "' '" + dir.File("copy.obj") +
                                "' > '" + dir.File("assimp.log") + "' 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFileText(dir.File("assimp.log"));
    ExpectSameBytes(ImportedCopy(c, before, dir.File("copy.obj"), dir), before, dir.File("copy.obj"));
  }
}

}  // namespace
