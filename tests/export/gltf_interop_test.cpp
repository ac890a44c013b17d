// quadkit's glTF export read by real clients: the Khronos glTF-Validator,
// assimp, and Blender 3.4 with its default settings there and back
// (tests/blender_gltf_round_trip.py). Each is skipped, saying so, where its
// tool is not installed. Also: what glTF cannot hold is no export.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <string>
#include <vector>

#include "sample/scene_builder.h"
#include "tests/support/test_support.h"

namespace {

const std::string kSource = QUADKIT_SOURCE_DIR;

bool Installed(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a shell command with its output in log; true when it exits 0.
bool RunShell(const std::string& command, const std::string& log) {
  return std::system((command + " > '" + log + "' 2>&1").c_str()) == 0;
}

// The sample and a scene of odd texture names, a cleared rectangle and
// textures beyond the table, as the scene files the tests copy in.
const char* const kScenes[] = {"examples/box.zem", "tests/golden/odd.zem"};

const char* FormatOf(const std::string& output) { return output.back() == 'b' ? "/GLB" : "/GLTF"; }

TEST(GltfInteropTest, ValidatorReportsNoErrorAndNoWarning) {
  const char* validatorDir = std::getenv("QUADKIT_GLTF_VALIDATOR");
  const std::string module = std::string(validatorDir != nullptr ? validatorDir : QUADKIT_GLTF_VALIDATOR_DIR) +
                             "/node_modules/gltf-validator";
  if (!Installed("node") || !FileExists(module + "/package.json")) {
    GTEST_SKIP() << "node or the npm package gltf-validator in " << module << " is missing";
  }
  // And names that JSON must escape, in a folder name that a URI must.
  TempDir quoted;
  SceneContents contents;
  contents.textureNames = {"q\"t", "b\\s"};
  contents.rects.resize(2);
  contents.rects[1].textureIndex = 1;
  const std::string quotedScene = quoted.File("a b.zem");
  ASSERT_TRUE(WriteFileBytes(quotedScene, BuildScene(contents).bytes));
  for (const std::string& scene : {kSource + "/" + kScenes[0], kSource + "/" + kScenes[1], quotedScene}) {
    for (const char* output : {"o u.gltf", "o u.glb"}) {
      SCOPED_TRACE(scene + " " + output);
      TempDir dir;
      ASSERT_EQ(RunQuadkitBinary({"/e", scene, dir.File(output), FormatOf(output)}).exitCode, 0);
      EXPECT_TRUE(RunShell("node '" + kSource + "/tests/gltf_validate.js' '" + module + "' '" + dir.File(output) + "'",
                      dir.File("report")))
          << ReadFileText(dir.File("report"));
    }
  }
}

TEST(GltfInteropTest, AssimpReadsOneMeshPerRectangle) {
  if (!Installed("assimp")) GTEST_SKIP() << "assimp is not on the PATH";
  for (const char* output : {"out.gltf", "out.glb"}) {
    TempDir dir;
    ASSERT_EQ(RunQuadkitBinary({"/e", kSource + "/tests/golden/odd.zem", dir.File(output), FormatOf(output)}).exitCode,
              0);
    ASSERT_TRUE(RunShell("assimp info '" + dir.File(output) + "'", dir.File("info")));
    const std::string info = ReadFileText(dir.File("info"));
    EXPECT_NE(info.find("Meshes:             12\n"), std::string::npos) << info;
  }
}

#ifndef _WIN32
// Outside Windows a backslash is part of a file's name: the files beside an
// output named so are named in it as written. assimp finds the OBJ's
// materials; it reads a URI's %XX escapes as they stand, so the .gltf's
// buffer is found by quadkit's own reader.
TEST(GltfInteropTest, CompanionsOfABackslashNameAreFound) {
  TempDir dir;
  const std::string scene = dir.File("box.zem");
  ASSERT_TRUE(WriteFileBytes(scene, ReadFileBytes(kSource + "/" + kScenes[0])));
  ASSERT_EQ(RunQuadkitBinary({"/e", scene, dir.File("a\\b.obj"), "/OBJ"}).exitCode, 0);
  EXPECT_NE(ReadFileText(dir.File("a\\b.obj")).find("mtllib a\\b.mtl\r\n"), std::string::npos);
  EXPECT_TRUE(FileExists(dir.File("a\\b.mtl")));
  if (Installed("assimp")) {
    ASSERT_TRUE(RunShell("assimp info '" + dir.File("a\\b.obj") + "'", dir.File("info")));
    EXPECT_NE(ReadFileText(dir.File("info")).find("'WALL'"), std::string::npos) << ReadFileText(dir.File("info"));
  } else {
    std::cout << "assimp is not on the PATH: the OBJ's materials are not read back\n";
  }
  ASSERT_EQ(RunQuadkitBinary({"/e", scene, dir.File("c\\d.gltf"), "/GLTF"}).exitCode, 0);
  EXPECT_NE(ReadFileText(dir.File("c\\d.gltf")).find("\"uri\":\"c%5Cd.bin\""), std::string::npos);
  const RunResult back = RunQuadkitBinary({"/i", scene, dir.File("c\\d.gltf"), "/GLTF"});
  EXPECT_EQ(back.exitCode, 0) << back.err;
  EXPECT_NE(back.out.find("6 Rectangles imported\r\n"), std::string::npos) << back.out;
  // Its images are named relative to the folder it is in.
  ASSERT_TRUE(RunShell("mkdir '" + dir.File("tex") + "' && cp '" + kSource + "/examples/textures/WALL.png' '" +
                       dir.File("tex") + "/'", dir.File("log")));
  ASSERT_EQ(RunQuadkitBinary({"/e", scene, dir.File("c\\d.gltf"), "/GLTF", dir.File("tex")}).exitCode, 0);
  EXPECT_NE(ReadFileText(dir.File("c\\d.gltf")).find("{\"uri\":\"tex/WALL.png\","), std::string::npos);
}
#endif

// Blender's edits, in its own axes (z up): a vertex moved in Edit Mode, an
// object moved in Object Mode, another material.
struct BlenderEdits {
  int vertexRect, corner;
  int movedRect;
  int retexturedRect;
  const char* material;
};

// What the scene must become after the edits that Blender makes, each
// moving by (0.5, -1, 2) in Blender's axes: the edited values, rewritten as
// the import rewrites a rectangle; every other byte as it was. corners are
// the vertex rectangle's before.
void ApplyEdits(const std::string& path, const BlenderEdits& edit, const RectCoords& corners) {
  const double gltfOffset[3] = {0.5, 2.0, 1.0};  // glTF's y is Blender's z, glTF's z Blender's -y
  SceneFile expected;
  std::string why;
  ASSERT_TRUE(expected.Open(path.c_str(), why));
  RectCoords vertexMoved = corners;
  RectCoords objectMoved = *expected.GetRectCoords(edit.movedRect, why);
  for (int axis = 0; axis < 3; ++axis) {
    vertexMoved[3 * edit.corner + axis] = static_cast<float>(vertexMoved[3 * edit.corner + axis] + gltfOffset[axis]);
    for (int k = 0; k < 4; ++k) {
      objectMoved[3 * k + axis] = static_cast<float>(objectMoved[3 * k + axis] + gltfOffset[axis]);
    }
  }
  ASSERT_TRUE(expected.UpdateRect(edit.vertexRect, &vertexMoved, nullptr, why));
  ASSERT_TRUE(expected.UpdateRect(edit.movedRect, &objectMoved, nullptr, why));
  RecordingReporter quiet;
  ASSERT_TRUE(expected.SetRectTextureByName(edit.retexturedRect, edit.material, quiet, why));
}

TEST(GltfInteropTest, BlenderRoundTripChangesExactlyTheEdits) {
  if (!Installed("blender")) GTEST_SKIP() << "blender is not on the PATH";
  const BlenderEdits edit = {1, 1, 5, 9, "flr"};
  const std::vector<uint8_t> original = ReadFileBytes(kSource + "/tests/golden/odd.zem");
  for (const bool edited : {false, true}) {
    SCOPED_TRACE(edited ? "edited" : "no edit");
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.File("odd.zem"), original));
    ASSERT_EQ(RunQuadkitBinary({"/e", dir.File("odd.zem"), dir.File("odd.gltf"), "/GLTF"}).exitCode, 0);

    SceneFile scene;
    std::string why;
    ASSERT_TRUE(scene.Open(dir.File("odd.zem").c_str(), why));
    const RectCoords corners = *scene.GetRectCoords(edit.vertexRect, why);
    std::string command = "blender -b --factory-startup --python-exit-code 1 --python '" + kSource +
                          "/tests/blender_gltf_round_trip.py' -- '" + dir.File("odd.gltf") + "' '" + dir.path() + "'";
    if (edited) {
      char where[96];
      std::snprintf(where, sizeof where, " %.9g %.9g %.9g", corners[3 * edit.corner], corners[3 * edit.corner + 1],
                    corners[3 * edit.corner + 2]);
      const std::string offset = " 0.5 -1 2";
      command += " Rect_" + std::to_string(edit.vertexRect + 1) + where + offset + " Rect_" +
                 std::to_string(edit.movedRect + 1) + offset + " Rect_" + std::to_string(edit.retexturedRect + 1) +
                 " " + edit.material;
    }
    ASSERT_TRUE(RunShell(command, dir.File("blender.log"))) << ReadFileText(dir.File("blender.log"));

    ASSERT_TRUE(WriteFileBytes(dir.File("expected.zem"), original));
    if (edited) ApplyEdits(dir.File("expected.zem"), edit, corners);
    for (const char* exported : {"separate.gltf", "binary.glb"}) {
      SCOPED_TRACE(exported);
      ASSERT_TRUE(WriteFileBytes(dir.File("copy.zem"), original));
      const RunResult run = RunQuadkitBinary({"/i", dir.File("copy.zem"), dir.File(exported), "/GLTF"});
      EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
      // Blender's startup scene comes along: its cube is no rectangle.
      EXPECT_NE(run.out.find("Warning! Node Cube names no rectangle of the scene. Skipping\r\n"), std::string::npos);
      EXPECT_NE(run.out.find("12 Rectangles imported\r\n"), std::string::npos) << run.out;
      ExpectSameBytes(ReadFileBytes(dir.File("copy.zem")), ReadFileBytes(dir.File("expected.zem")), exported);
    }
  }
}

// The add-on from its zip (QUADKIT_ADDON_ZIP, set by tools/check_packages.sh
// after it built the packages) in Blender: File > Import > ZEM scene with a
// texture folder, the edits, File > Export > ZEM scene
// (tests/blender_addon_session.py).
TEST(GltfInteropTest, BlenderAddonPutsExactlyTheEditsIntoTheScene) {
  const char* zip = std::getenv("QUADKIT_ADDON_ZIP");
  if (zip == nullptr || !Installed("blender")) GTEST_SKIP() << "QUADKIT_ADDON_ZIP is not set, or blender is missing";
  const BlenderEdits edit = {1, 1, 5, 9, "flr"};
  const std::vector<uint8_t> original = ReadFileBytes(kSource + "/tests/golden/odd.zem");
  TempDir dir;
  ASSERT_TRUE(WriteFileBytes(dir.File("odd.zem"), original));
  ASSERT_TRUE(RunShell("mkdir '" + dir.File("tex") + "' && cp '" + kSource + "/examples/textures/WALL.png' '" +
                       kSource + "/examples/textures/FLR.png' '" + dir.File("tex") + "/'", dir.File("log")));
  SceneFile scene;
  std::string why;
  ASSERT_TRUE(scene.Open(dir.File("odd.zem").c_str(), why));
  const RectCoords corners = *scene.GetRectCoords(edit.vertexRect, why);
  char where[96];
  std::snprintf(where, sizeof where, " %.9g %.9g %.9g", corners[3 * edit.corner], corners[3 * edit.corner + 1],
                corners[3 * edit.corner + 2]);
  const std::string command = "HOME='" + dir.path() + "' BLENDER_USER_CONFIG='" + dir.File("config") +
                              "' BLENDER_USER_SCRIPTS='" + dir.File("scripts") +
                              "' blender -b --factory-startup --python-exit-code 1 --python '" + kSource +
                              "/tests/blender_addon_session.py' -- '" + zip + "' '" + dir.File("odd.zem") + "' '" +
                              dir.File("tex") + "' Rect_2" + where + " Rect_6 Rect_10 flr Rect_3";
  ASSERT_TRUE(RunShell(command, dir.File("blender.log"))) << ReadFileText(dir.File("blender.log"));

  ASSERT_TRUE(WriteFileBytes(dir.File("expected.zem"), original));
  ApplyEdits(dir.File("expected.zem"), edit, corners);
  ExpectSameBytes(ReadFileBytes(dir.File("odd.zem.edited")), ReadFileBytes(dir.File("expected.zem")), "edited");
  ExpectSameBytes(ReadFileBytes(dir.File("odd.zem.bak.first")), original, "kept as .bak");
  const std::string error = ReadFileText(dir.File("odd.zem.error"));
  EXPECT_NE(error.find("Rect_3"), std::string::npos) << error;
  EXPECT_NE(error.find("the scene file is unchanged"), std::string::npos) << error;
}

TEST(GltfExportTest, WhatGltfCannotHoldIsNoExport) {
  SceneContents contents;
  contents.textureNames = {"WALL"};
  contents.rects.resize(2);
  contents.rects[1].texCoords[3] = std::numeric_limits<float>::infinity();
  TempDir dir;
  ASSERT_TRUE(WriteFileBytes(dir.File("s.zem"), BuildScene(contents).bytes));
  for (const char* format : {"/GLTF", "/GLB"}) {
    const RunResult run = RunQuadkitBinary({"/e", dir.File("s.zem"), dir.File("out.gltf"), format});
    EXPECT_EQ(run.exitCode, 255);
    EXPECT_NE(run.err.find("rectangle 1 has a texture coordinate that is no finite number"), std::string::npos)
        << run.err;
    EXPECT_FALSE(FileExists(dir.File("out.gltf")) || FileExists(dir.File("out.bin")));
  }
}

}  // namespace
