// Replays every seed and every input that once crashed a fuzz target, so
// they stay checked in every test run (and under the sanitizers in CI), and
// checks that each does what it must: the result of every mode operation
// the target runs, and whether the scene file changed. A refused input
// leaves the scene as it was. A new input needs its row below.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "fuzz/fuzz_targets.h"
#include "sample/scene_builder.h"

namespace {

namespace fs = std::filesystem;

struct Expected {
  std::vector<int32_t> results;
  bool sceneChanged;
};

// Scene inputs run the check, an export in every format of the table, a
// Move by zero and an import of each of the ImportRows (listing, Design
// Workshop, OBJ, glTF); a scene of more than 64 rectangles only the check
// and its listing export. Text inputs are imported into the sample scene.
using ByFormat = std::map<InterchangeFormat, int32_t>;
std::vector<int32_t> SceneResults(int32_t check, int32_t exports, const ByFormat& exportsOtherwise, int32_t move,
                                  const ByFormat& imports) {
  std::vector<int32_t> results = {check};
  for (size_t k = 0; k < kFormatCount; ++k) {
    const auto otherwise = exportsOtherwise.find(kFormats[k].format);
    results.push_back(otherwise != exportsOtherwise.end() ? otherwise->second : exports);
  }
  results.push_back(move);
  for (const FormatRow* row : ImportRows()) {
    const auto result = imports.find(row->format);
    if (result == imports.end()) ADD_FAILURE() << "no expected import result for " << row->switchWord;
    results.push_back(result != imports.end() ? result->second : 0);
  }
  return results;
}
ByFormat AllImports(int32_t result) {
  return {{kFormatAscii, result}, {kFormatDesignWorkshop, result}, {kFormatObj, result}, {kFormatGltf, result}};
}
const std::map<std::string, Expected> kExpected = {
    {"scene/sample_box.zem", {SceneResults(0, 0, {}, 0, AllImports(0)), true}},
    // The OBJ and glTF texts name rectangles of which this scene has none.
    {"scene/no_rectangles.zem",
     {SceneResults(0, 0, {}, 0, {{kFormatAscii, 0}, {kFormatDesignWorkshop, 0}, {kFormatObj, -1}, {kFormatGltf, -1}}),
      false}},
    {"scene/huge_texture_count.zem", {SceneResults(-1, -1, {}, -1, AllImports(-1)), false}},
    // Records beyond the end of the file read as zeros and are never
    // written; the records inside it are. The check names them.
    {"scene/record_offsets_outside.zem", {SceneResults(-1, 0, {}, -1, AllImports(-1)), true}},
    {"scene/truncated_in_records.zem", {SceneResults(-1, 0, {}, -1, AllImports(-1)), false}},
    // Damage the check names, several kinds at once. Records that overlap
    // the tables are never written; exports that cannot hold a value that
    // is no finite number (a NaN corner, junk texture coordinates) fail.
    {"scene/records_shared_over_tables.zem",
     {SceneResults(-1, 0, {{kFormatGltf, -1}, {kFormatGlb, -1}}, -1, AllImports(-1)), false}},
    {"scene/nan_corner_textures_beyond.zem",
     {SceneResults(-1, 0, {{kFormatIgesSurfaces, -1}, {kFormatGltf, -1}, {kFormatGlb, -1}}, -1,
                   {{kFormatAscii, 0}, {kFormatDesignWorkshop, -1}, {kFormatObj, 0}, {kFormatGltf, -1}}),
      true}},
    // glTF: refused files change nothing; files with nodes that cannot be
    // applied fail, the nodes that can are applied.
    {"gltf/sample_box.gltf", {{0}, false}},
    {"gltf/sample_box.glb", {{0}, false}},
    {"gltf/blender_box_embedded.gltf", {{0}, false}},
    {"gltf/blender_box_edited.glb", {{0}, true}},
    {"gltf/quantized.gltf", {{-1}, true}},
    {"gltf/hierarchy_strip_fan.gltf", {{-1}, true}},
    {"gltf/sparse_positions.gltf", {{-1}, false}},
    {"gltf/node_cycle.gltf", {{-1}, false}},
    {"gltf/index_beyond_vertices.gltf", {{-1}, false}},
    {"gltf/draco_required.gltf", {{-1}, false}},
    {"gltf/version_1.gltf", {{-1}, false}},
    {"gltf/glb_length_below_its_header", {{-1}, false}},
    // The sample's own texts change nothing; edited ones change it.
    {"listing/sample_box.txt", {{0}, false}},
    {"listing/sample_box_lf.txt", {{0}, false}},
    {"listing/odd_lines.txt", {{0}, true}},
    {"listing/ends_early.txt", {{-1}, false}},  // its complete blocks are the sample's own
    {"design_workshop/sample_box.dw", {{0}, false}},
    {"design_workshop/odd_blocks.dw", {{0}, true}},
    // Its last block ends within its vertex lines: what was read is written.
    {"design_workshop/breaks_off.dw", {{0}, true}},
    {"obj/sample_box.obj", {{0}, false}},
    {"obj/assimp_shared_vertices.obj", {{0}, false}},
    {"obj/blender_groups.obj", {{0}, true}},
    {"obj/blender_triangulated.obj", {{0}, true}},
    // Its objects that name a rectangle but cannot be applied fail the run;
    // the others are applied.
    {"obj/editor_forms.obj", {{-1}, true}},
    {"obj/odd_references.obj", {{-1}, false}},
};

void Replay(const std::string& target, FuzzOutcome (*run)(const uint8_t*, size_t)) {
  int replayed = 0;
  for (const char* kind : {"corpus", "regressions"}) {
    const fs::path dir = fs::u8path(QUADKIT_SOURCE_DIR) / "fuzz" / kind / target;
    if (!fs::is_directory(dir)) continue;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
      const std::string name = target + "/" + entry.path().filename().u8string();
      SCOPED_TRACE(std::string(kind) + "/" + name);
      const std::vector<uint8_t> bytes = ReadFileBytes(entry.path().u8string());
      const FuzzOutcome outcome = run(bytes.data(), bytes.size());
      ++replayed;
      const auto expected = kExpected.find(name);
      ASSERT_NE(expected, kExpected.end()) << "no expected outcome for this input";
      EXPECT_EQ(outcome.results, expected->second.results);
      EXPECT_EQ(outcome.sceneChanged, expected->second.sceneChanged);
    }
  }
  EXPECT_GT(replayed, 0) << "no inputs for " << target;
}

TEST(CorpusReplayTest, SceneFiles) { Replay("scene", FuzzSceneFile); }
TEST(CorpusReplayTest, Listings) { Replay("listing", FuzzAsciiListing); }
TEST(CorpusReplayTest, DesignWorkshopFiles) { Replay("design_workshop", FuzzDesignWorkshop); }
TEST(CorpusReplayTest, ObjFiles) { Replay("obj", FuzzObj); }
TEST(CorpusReplayTest, GltfFiles) { Replay("gltf", FuzzGltf); }

}  // namespace
