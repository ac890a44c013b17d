// The glTF export with a folder of texture images (argument 5): which file
// each texture takes, how .gltf names and .glb carries it, what the
// validator and the import make of it, and the folders that are refused.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "files/little_endian.h"
#include "sample/scene_builder.h"
#include "tests/support/test_support.h"

namespace {

const std::string kSource = QUADKIT_SOURCE_DIR;

struct Folder {
  TempDir dir;
  std::string scene = dir.File("s.zem");
  std::string images = dir.File("tex");
  std::vector<uint8_t> png = ReadFileBytes(kSource + "/examples/textures/WALL.png");

  // Textures WALL, flr and ROOF; the folder holds the sample's WALL image
  // as wall.JPG (a PNG all the same) and a JPEG start as Flr.jpeg.
  Folder() {
    SceneContents contents;
    contents.textureNames = {"WALL", "flr", "ROOF"};
    contents.rects.resize(3);
    for (int k = 0; k < 3; ++k) contents.rects[k].textureIndex = k;
    EXPECT_TRUE(WriteFileBytes(scene, BuildScene(contents).bytes));
    std::filesystem::create_directories(std::filesystem::u8path(images));
    std::filesystem::create_directories(std::filesystem::u8path(dir.File("out")));
    EXPECT_TRUE(WriteFileBytes(images + "/wall.JPG", png));
    EXPECT_TRUE(WriteFileBytes(images + "/Flr.jpeg", {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F'}));
    EXPECT_TRUE(WriteFileBytes(images + "/notes.txt", Bytes("not an image")));
  }
};

TEST(GltfTexturesTest, GltfNamesEachImageRelativeToItAndSaysWhichTexturesHaveNone) {
  Folder f;
  const RunResult run = RunQuadkitBinary({"/e", f.scene, f.dir.File("out/s.gltf"), "/GLTF", f.images});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "quadkit: texture folder '" + f.images + "' holds no image for ROOF: they keep their colour\n");
  const std::string json = ReadFileText(f.dir.File("out/s.gltf"));
  for (const char* part :
       {"{\"name\":\"WALL\",\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":0},",
        "{\"name\":\"flr\",\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":1},",
        "\"samplers\":[{\"wrapS\":10497,\"wrapT\":10497}]",
        "{\"uri\":\"../tex/wall.JPG\",\"mimeType\":\"image/png\"},\r\n"
        "{\"uri\":\"../tex/Flr.jpeg\",\"mimeType\":\"image/jpeg\"}]"}) {
    EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json;
  }
  EXPECT_NE(json.find("{\"name\":\"ROOF\",\"pbrMetallicRoughness\":{\"baseColorFactor\""), std::string::npos);
}

TEST(GltfTexturesTest, GlbCarriesItsImagesAndBothReadBackWithoutAChange) {
  Folder f;
  std::filesystem::remove(std::filesystem::u8path(f.images + "/Flr.jpeg"));  // the validator decodes every image
  const std::string module = std::string(QUADKIT_GLTF_VALIDATOR_DIR) + "/node_modules/gltf-validator";
  const bool validator = std::system("command -v node >/dev/null 2>&1") == 0 && FileExists(module + "/package.json");
  for (const char* output : {"out/s.gltf", "out/s.glb"}) {
    SCOPED_TRACE(output);
    const std::string path = f.dir.File(output);
    const bool binary = path.back() == 'b';
    ASSERT_EQ(RunQuadkitBinary({"/e", f.scene, path, binary ? "/GLB" : "/GLTF", f.images}).exitCode, 0);
    if (binary) {  // the BIN chunk ends with the image, at a multiple of 4
      const std::vector<uint8_t> glb = ReadFileBytes(path);
      const std::vector<uint8_t> tail(glb.end() - static_cast<long>(f.png.size() + (4 - f.png.size() % 4) % 4),
                                      glb.end() - static_cast<long>((4 - f.png.size() % 4) % 4));
      EXPECT_EQ(tail, f.png);
      EXPECT_NE(ReadFileText(path).find("{\"bufferView\":3,\"mimeType\":\"image/png\"}"), std::string::npos);
    }
    if (validator) {
      EXPECT_EQ(std::system(("node '" + kSource + "/tests/gltf_validate.js' '" + module + "' '" + path +
                             "' >/dev/null").c_str()), 0);
    }
    const std::vector<uint8_t> before = ReadFileBytes(f.scene);
    const RunResult back = RunQuadkitBinary({"/i", f.scene, path, "/GLTF"});
    EXPECT_EQ(back.exitCode, 0) << back.err;
    EXPECT_EQ(ReadFileBytes(f.scene), before);
  }
  if (!validator) std::printf("the glTF-Validator is not installed: its check is skipped\n");
}

TEST(GltfTexturesTest, AFolderThatCannotServeIsAnErrorAndNoFile) {
  struct Case {
    std::function<void(Folder&)> setup;
    const char* folder;
    const char* reason;
  };
  const Case kCases[] = {
      {[](Folder&) {}, "missing", "texture folder '@/missing' does not exist"},
      {[](Folder&) {}, "s.zem", "texture folder '@/s.zem' is no folder"},
      {[](Folder& f) { WriteFileBytes(f.images + "/WALL.png", f.png); }, "tex",
       "holds two images for texture WALL: 'WALL.png' and 'wall.JPG'; keep one"},
      {[](Folder& f) { WriteFileBytes(f.images + "/wall.JPG", Bytes("GIF89a")); }, "tex",
       "image '@/tex/wall.JPG' is neither PNG nor JPEG"},
  };
  for (const Case& c : kCases) {
    for (const char* format : {"/GLTF", "/GLB"}) {
      SCOPED_TRACE(std::string(c.reason) + " " + format);
      Folder f;
      c.setup(f);
      const RunResult run = RunQuadkitBinary({"/e", f.scene, f.dir.File("o.gl"), format, f.dir.File(c.folder)});
      EXPECT_EQ(run.exitCode, 255);
      std::string reason = c.reason;
      if (reason.find('@') != std::string::npos) reason.replace(reason.find('@'), 1, f.dir.path());
      EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
      EXPECT_FALSE(FileExists(f.dir.File("o.gl")) || FileExists(f.dir.File("o.bin")));
    }
  }
}

}  // namespace
