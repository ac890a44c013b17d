// quadkit's OBJ export taken through the real editors and imported back
// with the quadkit binary: Blender headless (tests/blender_obj_round_trip.py,
// the README's axis settings, one moved vertex and one changed material,
// exported plain, triangulated and grouped) and assimp (no edit). Each test
// runs where its tool is on the PATH and is skipped otherwise.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/test_support.h"
#include "tools/sample_scene.h"

namespace {

bool Installed(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// Empty when the files are equal; else where they first differ, so that a
// failure does not print two scene files byte by byte.
std::string Difference(const std::vector<uint8_t>& got, const std::vector<uint8_t>& want) {
  if (got.size() != want.size()) return std::to_string(got.size()) + " bytes, not " + std::to_string(want.size());
  for (size_t k = 0; k < got.size(); ++k) {
    if (got[k] != want[k]) return "first difference at byte " + std::to_string(k);
  }
  return "";
}

// A scene file whose bounds are those quadkit computes, so that a rectangle
// rewritten with its own values keeps every byte.
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

// 300 rectangles over five textures (one name with a blank), one of them
// pointing beyond the texture table; every value is exact in "%f".
SceneContents EditorSceneContents() {
  SceneContents contents;
  contents.textureNames = {"WALL", "FLR", "ROOF", "A B", "Q"};
  contents.extraSlots = 1;
  uint32_t seed = 2024;
  const auto next = [&seed](uint32_t range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 8) % range);
  };
  for (int k = 0; k < 300; ++k) {
    BuilderRect rect;
    for (float& c : rect.corners) c = static_cast<float>(next(65536) - 32768) * 0.25f;
    for (float& t : rect.texCoords) t = static_cast<float>(next(512)) / 64.0f;
    rect.textureIndex = k == 137 ? 5 : k % 5;
    contents.rects.push_back(rect);
  }
  return contents;
}

// What a user does in the editor, and what the scene must hold afterwards.
struct Edit {
  int32_t movedRect;
  int vertex;
  float offset[3];
  int32_t retexturedRect;
  int32_t newTexture;
  const char* material;  // the new texture's OBJ material name
};

struct EditorCase {
  const char* name;
  SceneContents contents;
  Edit edit;
};

std::vector<EditorCase> Cases() {
  return {{"sample", SampleBoxContents(), {4, 2, {0.5f, -1.0f, 2.0f}, 1, 2, "ROOF"}},
          {"generated", EditorSceneContents(), {200, 3, {1.25f, 0.0f, -0.5f}, 16, 3, "A%20B"}}};
}

// The scene with exactly the edit applied.
std::vector<uint8_t> Edited(const std::vector<uint8_t>& before, const EditorCase& c, const TempDir& dir) {
  const std::string path = dir.File("expected.zem");
  WriteFileBytes(path, before);
  SceneFile scene;
  std::string why;
  RectCoords corners = c.contents.rects[c.edit.movedRect].corners;
  for (int axis = 0; axis < 3; ++axis) corners[3 * c.edit.vertex + axis] += c.edit.offset[axis];
  if (!scene.Open(path.c_str(), why) ||
      !scene.UpdateRect(c.edit.movedRect, &corners, &c.contents.rects[c.edit.movedRect].texCoords, why) ||
      !scene.SetRectTextureIndex(c.edit.retexturedRect, c.edit.newTexture, why)) {
    return {};
  }
  return ReadFileBytes(path);
}

// Imports obj into a fresh copy of the scene; the scene's bytes afterwards.
std::vector<uint8_t> ImportedCopy(const std::vector<uint8_t>& before, const std::string& obj,
                                  const EditorCase& c, const TempDir& dir) {
  WriteFileBytes(dir.File("copy.zem"), before);
  const RunResult run = RunQuadkitBinary({"/i", dir.File("copy.zem"), obj, "/OBJ"});
  EXPECT_EQ(run.exitCode, 0) << obj << run.err;
  const size_t invalid = c.contents.extraSlots;  // rectangles whose texture is not in the table
  EXPECT_EQ(Count(run.out, "Rechteck-ID: "), c.contents.rects.size()) << obj;
  EXPECT_EQ(Count(run.out, "Skipping"), invalid) << obj << run.out;
  EXPECT_EQ(Count(run.out, "Warning! Texture (null) not in ZEM. Skipping\r\n"), invalid) << obj;
  return ReadFileBytes(dir.File("copy.zem"));
}

TEST(ObjEditorsTest, BlenderRoundTripKeepsExactlyTheEdits) {
  if (!Installed("blender")) GTEST_SKIP() << "blender is not on the PATH: the Blender round trip is not run";
  for (const EditorCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::vector<uint8_t> before = WithComputedBounds(c.contents, dir);
    ASSERT_NE(c.contents.rects[c.edit.retexturedRect].textureIndex, c.edit.newTexture);
    ASSERT_TRUE(WriteFileBytes(dir.File("scene.zem"), before));
    ASSERT_EQ(RunQuadkitBinary({"/e", dir.File("scene.zem"), dir.File("scene.obj"), "/OBJ"}).exitCode, 0);

    const Edit& e = c.edit;
    const std::string command =
        "blender -b --factory-startup --python '" QUADKIT_SOURCE_DIR "/tests/blender_obj_round_trip.py' -- '" +
        dir.File("scene.obj") + "' '" + dir.path() + "' Rect_" + std::to_string(e.movedRect + 1) + " " +
        std::to_string(e.vertex) + " " + std::to_string(e.offset[0]) + " " + std::to_string(e.offset[1]) +
        " " + std::to_string(e.offset[2]) + " Rect_" + std::to_string(e.retexturedRect + 1) + " '" +
        e.material + "' > '" + dir.File("blender.log") + "' 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFileText(dir.File("blender.log"));

    const std::vector<uint8_t> expected = Edited(before, c, dir);
    ASSERT_FALSE(expected.empty());
    for (const char* exported : {"plain.obj", "triangulated.obj", "groups.obj"}) {
      EXPECT_EQ(Difference(ImportedCopy(before, dir.File(exported), c, dir), expected), "") << exported;
    }
  }
}

TEST(ObjEditorsTest, AssimpCopyChangesNothing) {
  if (!Installed("assimp")) GTEST_SKIP() << "assimp is not on the PATH: the assimp round trip is not run";
  for (const EditorCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::vector<uint8_t> before = WithComputedBounds(c.contents, dir);
    ASSERT_TRUE(WriteFileBytes(dir.File("scene.zem"), before));
    ASSERT_EQ(RunQuadkitBinary({"/e", dir.File("scene.zem"), dir.File("scene.obj"), "/OBJ"}).exitCode, 0);
    const std::string command = "assimp export '" + dir.File("scene.obj") + "' '" + dir.File("copy.obj") +
                                "' > '" + dir.File("assimp.log") + "' 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFileText(dir.File("assimp.log"));
    EXPECT_EQ(Difference(ImportedCopy(before, dir.File("copy.obj"), c, dir), before), "");
  }
}

}  // namespace
