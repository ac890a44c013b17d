// Every run below, on the bundled sample and on a scene whose floats use
// every bit of their mantissa (tests/golden/odd.zem: negative zero,
// subnormals, the largest floats, texture coordinates far outside 0 to 1,
// odd texture names, a cleared rectangle, textures beyond the table), prints
// and writes exactly the bytes kept in tests/golden/<run>/: standard output,
// standard error, the exit status, every output file and the scene file
// afterwards. The kept bytes were checked against real readers when each
// format was built; this test keeps every later change from moving a byte.
// QUADKIT_WRITE_GOLDEN=1 writes them anew, for a change of bytes that is
// meant.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/test_support.h"
#include "sample/scene_builder.h"

namespace {

namespace fs = std::filesystem;

struct GoldenRun {
  const char* name;
  std::vector<std::string> args;  // run in a folder holding box.zem, odd.zem and in.txt
  std::vector<std::string> files;  // compared after the run, the scene files among them
  const char* input;  // a kept output copied to in.txt first, or null
};

const GoldenRun kRuns[] = {
    {"box_listing", {"/e", "box.zem", "out.txt"}, {"out.txt", "box.zem"}, nullptr},
    {"box_directx", {"/e", "box.zem", "out.x", "/dx"}, {"out.x"}, nullptr},
    {"box_cad", {"/e", "box.zem", "out.igs", "/cad"}, {"out.igs"}, nullptr},
    {"box_design_workshop", {"/e", "box.zem", "out.dw", "/dw"}, {"out.dw"}, nullptr},
    {"box_obj", {"/e", "box.zem", "out.obj", "/obj"}, {"out.obj", "out.mtl"}, nullptr},
    {"box_iges", {"/e", "box.zem", "out.iges", "/iges"}, {"out.iges"}, nullptr},
    {"box_gltf", {"/e", "box.zem", "out.gltf", "/gltf"}, {"out.gltf", "out.bin"}, nullptr},
    {"box_glb", {"/e", "box.zem", "out.glb", "/glb"}, {"out.glb"}, nullptr},
    {"odd_listing", {"/e", "odd.zem", "out.txt"}, {"out.txt", "odd.zem"}, nullptr},
    {"odd_directx", {"/e", "odd.zem", "out.x", "/DX"}, {"out.x"}, nullptr},
    {"odd_cad", {"/e", "odd.zem", "out.igs", "/CAD"}, {"out.igs"}, nullptr},
    {"odd_design_workshop", {"/e", "odd.zem", "out.dw", "/DW"}, {"out.dw"}, nullptr},
    {"odd_obj", {"/e", "odd.zem", "out.obj", "/OBJ"}, {"out.obj", "out.mtl"}, nullptr},
    {"odd_iges", {"/e", "odd.zem", "out.iges", "/IGES"}, {"out.iges"}, nullptr},
    {"odd_gltf", {"/e", "odd.zem", "out.gltf", "/GLTF"}, {"out.gltf", "out.bin"}, nullptr},
    {"odd_glb", {"/e", "odd.zem", "out.glb", "/GLB"}, {"out.glb"}, nullptr},
    {"odd_import_listing", {"/i", "odd.zem", "in.txt"}, {"odd.zem"}, "odd_listing/out.txt"},
    {"odd_import_design_workshop", {"/i", "odd.zem", "in.txt", "/dw"}, {"odd.zem"},
     "odd_design_workshop/out.dw"},
    {"odd_import_obj", {"/i", "odd.zem", "in.txt", "/obj"}, {"odd.zem"}, "odd_obj/out.obj"},
    {"box_import_obj", {"/i", "box.zem", "in.txt", "/obj"}, {"box.zem"}, "odd_obj/out.obj"},
    {"odd_import_glb", {"/i", "odd.zem", "in.txt", "/GLTF"}, {"odd.zem"}, "odd_glb/out.glb"},
    {"box_import_glb", {"/i", "box.zem", "in.txt", "/gltf"}, {"box.zem"}, "odd_glb/out.glb"},
    {"odd_resize", {"/s", "odd.zem", "1.5", "-2", "0.25"}, {"odd.zem"}, nullptr},
    {"odd_move", {"/m", "odd.zem", "8", "-4.5", "1e-3"}, {"odd.zem"}, nullptr},
    {"box_check", {"/c", "box.zem"}, {"box.zem"}, nullptr},
    {"odd_check", {"/C", "odd.zem"}, {"odd.zem"}, nullptr},
};

fs::path GoldenDir() { return fs::u8path(QUADKIT_SOURCE_DIR) / "tests" / "golden"; }

void CopyInto(const fs::path& from, const std::string& to) {
  ASSERT_TRUE(WriteFileBytes(to, ReadFileBytes(from.u8string()))) << from;
}

TEST(GoldenBytesTest, EveryRunWritesAndPrintsItsKeptBytes) {
  const bool writeGolden = std::getenv("QUADKIT_WRITE_GOLDEN") != nullptr;
  ScopedEnvironment fixedDate("SOURCE_DATE_EPOCH", "1700000000");  // the /IGES date
  for (const GoldenRun& run : kRuns) {
    SCOPED_TRACE(run.name);
    TempDir dir;
    CopyInto(fs::u8path(QUADKIT_SOURCE_DIR) / "examples" / "box.zem", dir.File("box.zem"));
    CopyInto(GoldenDir() / "odd.zem", dir.File("odd.zem"));
    if (run.input != nullptr) CopyInto(GoldenDir() / run.input, dir.File("in.txt"));
    const RunResult result = RunQuadkitBinary(run.args, dir.path());

    std::vector<std::pair<std::string, std::vector<uint8_t>>> kept = {
        {"stdout", Bytes(result.out)},
        {"stderr", Bytes(result.err)},
        {"status", Bytes(std::to_string(result.exitCode) + "\n")}};
    for (const std::string& file : run.files) kept.push_back({file, ReadFileBytes(dir.File(file))});
    const fs::path golden = GoldenDir() / run.name;
    for (const auto& [name, bytes] : kept) {
      if (writeGolden) {
        fs::create_directories(golden);
        ASSERT_TRUE(WriteFileBytes((golden / name).u8string(), bytes));
        continue;
      }
      ExpectSameBytes(bytes, ReadFileBytes((golden / name).u8string()), name);
    }
  }
}

}  // namespace
