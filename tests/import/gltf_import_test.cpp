// The glTF import on quadkit's own export of the sample, changed as an
// editor or a broken file changes it; and the quad rebuilt from triangles
// in every order an editor writes them.
#include "import/gltf_import.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/format_table.h"
#include "formats/gltf_rules.h"
#include "sample/sample_scene.h"
#include "tests/support/test_support.h"

namespace {

using Json = nlohmann::json;

struct ImportCase {
  const char* name;
  std::function<void(Json&, std::string& bin)> change;
  int32_t result;
  const char* said;       // in stdout, stderr or the reason; an import that works warns of nothing else
  int changedRect;        // the one rectangle whose record changes, -1 for none
  // Its corners then: each stored coordinate times scale plus offset, per axis.
  std::array<float, 3> scale = {1, 1, 1};
  std::array<float, 3> offset = {0, 0, 0};
};

Json& Node(Json& document, int k) { return document["nodes"][k]; }

const ImportCase kCases[] = {
    {"as exported", [](Json&, std::string&) {}, 0, "6 Rectangles imported", -1},
    {"buffer inline", [](Json& d, std::string& bin) {
       static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
       std::string text;
       for (size_t k = 0; k < bin.size(); k += 3) {
         const uint32_t bits = (uint8_t(bin[k]) << 16) | (k + 1 < bin.size() ? uint8_t(bin[k + 1]) << 8 : 0) |
                               (k + 2 < bin.size() ? uint8_t(bin[k + 2]) : 0);
         for (int c = 0; c < 4; ++c) text += c <= int(bin.size() - k) ? kDigits[(bits >> (18 - 6 * c)) & 63] : '=';
       }
       d["buffers"][0]["uri"] = "data:application/octet-stream;base64," + text;
       bin.clear();
     }, 0, "6 Rectangles imported", -1},
    {"object moved", [](Json& d, std::string&) { Node(d, 2)["translation"] = {1.0, 0.0, 0.0}; }, 0,
     "Rechteck-ID: Rect_3 Offset:      3C8\r\n", 2,
     {1, 1, 1}, {1, 0, 0}},
    {"object turned", [](Json& d, std::string&) { Node(d, 2)["rotation"] = {0, 1, 0, 0}; }, 0,
     "Rechteck-ID: Rect_3 Offset:      3C8\r\n", 2,
     {-1, 1, -1}},
    {"child of a moved parent", [](Json& d, std::string&) {
       d["nodes"].push_back({{"name", "Group"}, {"children", {3}}, {"matrix", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 4, 1}}});
     }, 0, "Node Group names no rectangle", 3, {1, 1, 1}, {0, 0, 4}},
    {"material changed", [](Json& d, std::string&) { d["meshes"][1]["primitives"][0]["material"] = 2; }, 0,
     "Rechteck-ID: Rect_2 Offset:      4B0\r\n", 1},
    {"renamed copy", [](Json& d, std::string&) { Node(d, 0)["name"] = "Rect_1.001"; }, 0,
     "Node Rect_1.001 is taken for Rect_1", -1},
    {"node deleted", [](Json& d, std::string&) { Node(d, 5)["name"] = "Cube"; }, 0,
     "No node is named Rect_6: rectangle 5 stays as it is", -1},
    {"duplicate", [](Json& d, std::string&) { d["nodes"].push_back({{"name", "Rect_2.001"}, {"mesh", 0}}); }, -1,
     "also by node 'Rect_2.001'", -1},
    {"four triangles", [](Json& d, std::string&) {
       d["meshes"][4]["primitives"].push_back(d["meshes"][4]["primitives"][0]);
     }, -1, "rectangle 4 (node 'Rect_5') was not applied: its mesh has 4 triangles", -1},
    // The others are applied, not all written: one that did not change keeps its bytes.
    {"four triangles: the reason", [](Json& d, std::string&) {
       d["meshes"][4]["primitives"].push_back(d["meshes"][4]["primitives"][0]);
     }, -1, "names 1 rectangle that could not be applied (see above); the others were applied", -1},
    {"two materials", [](Json& d, std::string&) {
       d["accessors"].push_back({{"bufferView", 2}, {"componentType", gltf::kUnsignedShort}, {"count", 3}, {"type", "SCALAR"}});
       Json half = d["meshes"][3]["primitives"][0];
       half["indices"] = d["accessors"].size() - 1;
       d["meshes"][3]["primitives"] = {half, half};
       d["meshes"][3]["primitives"][1]["material"] = 1;
     }, -1, "different materials", -1},
    {"lines", [](Json& d, std::string&) { d["meshes"][0]["primitives"][0]["mode"] = 1; }, -1, "points or lines", -1},
    {"no rectangle", [](Json& d, std::string&) { for (Json& n : d["nodes"]) n["name"] = "Cube"; }, -1,
     "names no rectangle of the scene", -1},
    {"Draco", [](Json& d, std::string&) { d["extensionsRequired"] = {"KHR_draco_mesh_compression"}; }, -1,
     "export it again without compression", -1},
    {"meshopt", [](Json& d, std::string&) { d["extensionsRequired"] = {"EXT_meshopt_compression"}; }, -1,
     "is compressed (EXT_meshopt_compression)", -1},
    {"other extension", [](Json& d, std::string&) { d["extensionsRequired"] = {"EXT_other"}; }, -1,
     "needs the extension EXT_other", -1},
    {"version 1", [](Json& d, std::string&) { d["asset"]["version"] = "1.0"; }, -1, "is not glTF 2.0", -1},
    {"sparse", [](Json& d, std::string&) { d["accessors"][3]["sparse"] = Json::object(); }, -1,
     "uses a sparse accessor (/accessors/3)", -1},
    {"accessor too long", [](Json& d, std::string&) { d["accessors"][5]["count"] = 40; }, -1,
     "/accessors/5 reaches beyond its buffer view", -1},
    {"view too long", [](Json& d, std::string&) { d["bufferViews"][1]["byteLength"] = 1u << 31; }, -1,
     "/bufferViews/1 lies outside its buffer", -1},
    {"buffer file short", [](Json&, std::string& bin) { bin.resize(bin.size() - 1); }, -1,
     "fewer than its byteLength", -1},
    {"index beyond vertices", [](Json&, std::string& bin) { bin[bin.size() - 2] = 9; }, -1,
     "has an index beyond its vertices", -1},
    {"cycle", [](Json& d, std::string&) { Node(d, 0)["children"] = {1}; Node(d, 1)["children"] = {0}; }, -1,
     "is its own ancestor", -1},
    {"buffer file missing", [](Json& d, std::string&) { d["buffers"][0]["uri"] = "gone.bin"; }, -1,
     "has a buffer file that cannot be read", -1},
    {"URL", [](Json& d, std::string&) { d["buffers"][0]["uri"] = "https://example.org/x.bin"; }, -1,
     "by an absolute path or URL", -1},
    {"absolute, escaped", [](Json& d, std::string&) { d["buffers"][0]["uri"] = "%2Fetc%2Fpasswd"; }, -1,
     "by an absolute path or URL", -1},
    {"climbs out", [](Json& d, std::string&) { d["buffers"][0]["uri"] = "../in.bin"; }, -1,
     "by a path that leaves its folder", -1},
    {"climbs out, escaped", [](Json& d, std::string&) { d["buffers"][0]["uri"] = "x/%2E%2e/%2E./in.bin"; }, -1,
     "by a path that leaves its folder", -1},
#ifdef _WIN32
    {"climbs out by backslash", [](Json& d, std::string&) { d["buffers"][0]["uri"] = "x\\..\\..\\in.bin"; }, -1,
     "by a path that leaves its folder", -1},
#else
    {"a backslash in a name", [](Json& d, std::string&) { d["buffers"][0]["uri"] = "..\\in.bin"; }, -1,
     "has a buffer file that cannot be read", -1},
#endif
    // Positions of the last rectangle: 48 bytes at 240 in a view of 288;
    // at 276 they would take texture coordinates of the next view.
    {"accessor past its view", [](Json& d, std::string&) { d["accessors"][11]["byteOffset"] = 276; }, -1,
     "/accessors/11 reaches beyond its buffer view", -1},
    {"accessor past its buffer", [](Json& d, std::string&) { d["accessors"][11]["byteOffset"] = 500; }, -1,
     "/accessors/11 reaches beyond its buffer view", -1},
    {"accessor offset huge", [](Json& d, std::string&) { d["accessors"][11]["byteOffset"] = uint64_t(1) << 40; }, -1,
     "/accessors/11 reaches beyond its buffer view", -1},
    {"view offset past its buffer", [](Json& d, std::string&) { d["bufferViews"][2]["byteOffset"] = 488; }, -1,
     "/bufferViews/2 lies outside its buffer", -1},
};

TEST(GltfImportTest, EditsLandAndBrokenFilesAreRefusedUntouched) {
  for (const ImportCase& c : kCases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string scene = dir.File("box.zem");
    const std::vector<uint8_t> before = BuildSampleBoxScene().bytes;
    ASSERT_TRUE(WriteFileBytes(scene, before));
    std::string why;
    ASSERT_EQ(ExportScene(scene.c_str(), dir.File("in.gltf").c_str(), kFormatGltf, why), 0);
    Json document = Json::parse(ReadFileText(dir.File("in.gltf")));
    std::string bin = ReadFileText(dir.File("in.bin"));
    c.change(document, bin);
    WriteFileText(dir.File("in.gltf"), document.dump());
    WriteFileText(dir.File("in.bin"), bin);

    RecordingReporter reporter;
    EXPECT_EQ(ImportScene(scene.c_str(), dir.File("in.gltf").c_str(), kFormatGltf, reporter, why), c.result);
    EXPECT_NE((reporter.out + reporter.err + why).find(c.said), std::string::npos)
        << reporter.out << reporter.err << why;
    if (c.result == 0 && reporter.err.find(c.said) == std::string::npos) {
      EXPECT_EQ(reporter.err, "");
    }
    const std::vector<uint8_t> after = ReadFileBytes(scene);
    ASSERT_EQ(after.size(), before.size());
    const BuiltScene layout = BuildSampleBoxScene();
    for (int rect = 0; rect < 6; ++rect) {
      const size_t at = static_cast<size_t>(layout.recordOffsets[rect]);
      const bool changed = !std::equal(before.begin() + at, before.begin() + at + 220, after.begin() + at);
      EXPECT_EQ(changed, rect == c.changedRect) << "rectangle " << rect;
    }
    if (c.changedRect < 0) continue;
    SceneFile stored;
    ASSERT_TRUE(stored.Open(scene.c_str(), why));
    const RectCoords corners = SampleBoxContents().rects[c.changedRect].corners;
    const RectCoords& now = *stored.GetRectCoords(c.changedRect, why);
    for (int k = 0; k < 12; ++k) EXPECT_EQ(now[k], corners[k] * c.scale[k % 3] + c.offset[k % 3]) << k;
  }
}

// Stored corners 0..3; a triangle corner gives the stored corner it copies.
struct QuadCase {
  const char* name;
  int triangles[2][3];
  bool quad;
};

const QuadCase kQuads[] = {
    {"as written", {{0, 1, 2}, {0, 2, 3}}, true},
    {"swapped and turned", {{3, 0, 2}, {1, 2, 0}}, true},
    {"other diagonal", {{1, 2, 3}, {3, 0, 1}}, true},
    {"against the winding", {{0, 2, 1}, {0, 2, 3}}, false},
    {"no shared edge", {{0, 1, 2}, {0, 1, 3}}, false},
};

TEST(GltfImportTest, QuadFromTrianglesInStoredOrder) {
  const RectCoords corners = {0, 0, 0, 4, 0, 0, 4, 2, 1, 0, 2, 1};
  const RectTexCoords texCoords = {0, 0.1f, 1, 0.1f, 1, 0.9f, 0, 0.9f};
  for (const float shift : {0.0f, 100.0f}) {  // 100: an object moved without changing its vertices
    for (const QuadCase& c : kQuads) {
      SCOPED_TRACE(std::string(c.name) + (shift != 0 ? ", moved" : ""));
      GltfCorner triangles[2][3];
      for (int t = 0; t < 2; ++t) {
        for (int k = 0; k < 3; ++k) {
          const int s = c.triangles[t][k];
          triangles[t][k] = {{corners[3 * s] + shift, corners[3 * s + 1], corners[3 * s + 2]},
                             {texCoords[2 * s], gltf::FlippedTwice(texCoords[2 * s + 1])}};
        }
      }
      GltfCorner quad[4];
      ASSERT_EQ(RebuildQuad(triangles, true, corners, texCoords, quad), c.quad);
      for (int k = 0; c.quad && k < 4; ++k) EXPECT_EQ(quad[k].position[0], corners[3 * k] + shift) << k;
    }
  }
  // A cleared rectangle: every corner the same; taken as stored when the
  // triangles are its own.
  const RectCoords cleared = {};
  const RectTexCoords flat = {};
  GltfCorner same[2][3] = {};
  GltfCorner quad[4];
  EXPECT_TRUE(RebuildQuad(same, true, cleared, flat, quad));
  same[1][2].position[0] = 1;
  EXPECT_FALSE(RebuildQuad(same, true, cleared, flat, quad));
}

TEST(GltfImportTest, NodeNames) {
  bool renamed = false;
  EXPECT_EQ(RectIndexOfNodeName("Rect_6", 6, renamed), 5);
  EXPECT_FALSE(renamed);
  EXPECT_EQ(RectIndexOfNodeName("Rect_2.001", 6, renamed), 1);
  EXPECT_TRUE(renamed);
  for (const char* name : {"Rect_7", "Rect_0", "Rect_", "Rect_1_x", "rect_1", "Rect_0000000001", "Cube"}) {
    EXPECT_EQ(RectIndexOfNodeName(name, 6, renamed), -1) << name;
  }
}

}  // namespace
