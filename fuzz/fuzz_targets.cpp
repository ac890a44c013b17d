#include "fuzz/fuzz_targets.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "check/scene_check.h"
#include "edit/scale_move.h"
#include "app/format_table.h"
#include "import/gltf_import.h"
#include "formats/interchange_format.h"
#include "files/little_endian.h"
#include "sample/sample_scene.h"
#include "sample/scene_builder.h"

namespace {

// One scratch folder per process under the system's temp folder, removed
// at exit.
const std::string& ScratchDir() {
  static const std::string dir = [] {
    namespace fs = std::filesystem;
    const fs::path base = fs::temp_directory_path();
    std::random_device random;
    fs::path made;
    for (int attempt = 0; attempt < 100 && made.empty(); ++attempt) {
      const fs::path candidate = base / ("quadkit-fuzz-" + std::to_string(random()));
      std::error_code error;
      if (fs::create_directory(candidate, error)) made = candidate;
    }
    if (made.empty()) std::abort();
    static fs::path removeAtExit;
    removeAtExit = made;
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(removeAtExit, ignored);
    });
    return made.u8string();
  }();
  return dir;
}

std::string ScratchFile(const char* name) { return ScratchDir() + "/" + name; }

// The runs' messages are not looked at; they are only produced.
class QuietReporter : public Reporter {
 public:
  void Say(const std::string& text) override { said += text.size(); }
  void Complain(const std::string& text) override { said += text.size(); }
  size_t said = 0;
};

QuietReporter reporter;
std::string why;

void WriteBytes(const std::string& path, const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0) std::fwrite(data, 1, size, file);
  std::fclose(file);
}

void WriteText(const std::string& path, const std::string& text) {
  WriteBytes(path, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

const std::vector<uint8_t>& SampleScene() {
  static const std::vector<uint8_t> sample = BuildSampleBoxScene().bytes;
  return sample;
}

// Imports the input as a text of format into a fresh copy of the sample.
FuzzOutcome ImportIntoSample(const uint8_t* data, size_t size, InterchangeFormat format) {
  const std::string scene = ScratchFile("scene.zem");
  WriteBytes(scene, SampleScene().data(), SampleScene().size());
  WriteBytes(ScratchFile("text.txt"), data, size);
  FuzzOutcome outcome;
  outcome.results.push_back(ImportScene(scene.c_str(), ScratchFile("text.txt").c_str(), format, reporter, why));
  outcome.sceneChanged = ReadFileBytes(scene) != SampleScene();
  return outcome;
}

const char kListing[] =
    "NUM_RECTS=2\r\nRect_1\r\n\t1, 2, 3, 0, 1\r\n\t4, 5, 6, 1, 1\r\n\t7, 8, 9, 1, 0\r\n"
    "\t1, 1, 1, 0, 0\r\n\tTexture: FLR\r\nRect_2\r\n\t0, 0, 0, 0, 0\r\n\t0, 0, 0, 0, 0\r\n"
    "\t0, 0, 0, 0, 0\r\n\t0, 0, 0, 0, 0\r\n\tTexture: WALL\r\n[EOF]\r\n";
const char kDesignWorkshop[] =
    "Polyline:\r\nMat: 2\r\nnumVerts: 4\r\n1 2 3 1\r\n4 5 6 1\r\n7 8 9 1\r\n1 1 1 1\r\n"
    "Polyline:\r\nMat: 99\r\nnumVerts: 4\r\n0 0 0 1\r\n0 0 0 1\r\n0 0 0 1\r\n0 0 0 1\r\n";
const char kObj[] =
    "v 1 2 3\nv 4 5 6\nv 7 8 9\nv 1 1 1\nvt 0 1\no Rect_1\nusemtl FLR\nf 1/1 2/1 3/1 4/1\n"
    "o Rect_2\nf -1 -2 -3 -4\no Rect_3\nusemtl (null)\nf 1/1 2/1 4/1\nf 2/1 3/1 4/1\n";

// The sample's glTF export, made once: the .glb and the .gltf's buffer.
struct SampleGltf {
  std::string glb;
  std::string buffer;
};
const SampleGltf& Sample() {
  static const SampleGltf sample = [] {
    WriteBytes(ScratchFile("sample.zem"), SampleScene().data(), SampleScene().size());
    ExportScene(ScratchFile("sample.zem").c_str(), ScratchFile("sample.glb").c_str(), kFormatGlb, why);
    ExportScene(ScratchFile("sample.zem").c_str(), ScratchFile("sample.gltf").c_str(), kFormatGltf, why);
    SampleGltf made;
    for (const auto& [name, text] : {std::pair<const char*, std::string*>{"sample.glb", &made.glb},
                                     {"sample.bin", &made.buffer}}) {
      const std::vector<uint8_t> bytes = ReadFileBytes(ScratchFile(name));
      if (bytes.empty()) std::abort();
      text->assign(bytes.begin(), bytes.end());
    }
    return made;
  }();
  return sample;
}

class SampleBuffer : public GltfResources {
 public:
  bool Load(const std::string&, FileImage& image, std::string&) override {
    const std::string& buffer = Sample().buffer;
    image.text.reset(new char[buffer.size() + 1]());
    std::copy(buffer.begin(), buffer.end(), image.text.get());
    image.size = buffer.size();
    return true;
  }
};

// A text of each format that can be imported, as the scene target gives
// it to every scene.
std::string SampleTextFor(InterchangeFormat format) {
  switch (format) {
    case kFormatAscii: return kListing;
    case kFormatDesignWorkshop: return kDesignWorkshop;
    case kFormatObj: return kObj;
    case kFormatGltf: return Sample().glb;
    default: std::abort();  // a format that can be imported needs its text here
  }
}

// The stored rectangle count of a scene image, as the reader decodes it.
int32_t StoredCountOf(const uint8_t* data, size_t size) {
  const size_t field = scene_layout::kStoredCountOffset;
  return size < field + 4 ? 0 : DecodeInt32LE(data + field);
}

}  // namespace

FuzzOutcome FuzzSceneFile(const uint8_t* data, size_t size) {
  const std::string scene = ScratchFile("scene.zem");
  WriteBytes(scene, data, size);
  FuzzOutcome outcome;
  // The check first, on every input: it reads the file once, whatever its
  // size, and must leave every byte of it as it was.
  outcome.results.push_back(CheckScene(scene.c_str(), reporter, why));
  if (ReadFileBytes(scene) != std::vector<uint8_t>(data, data + size)) std::abort();
  // Every rectangle costs a few file opens per run, so a scene of thousands
  // of rectangles would slow the fuzzer to a crawl; such inputs take the
  // reading path only, which is the same for every rectangle count.
  if (StoredCountOf(data, size) > 64) {
    outcome.results.push_back(ExportScene(scene.c_str(), ScratchFile("out").c_str(), kFormatAscii, why));
    return outcome;
  }
  for (size_t k = 0; k < kFormatCount; ++k) {
    outcome.results.push_back(ExportScene(scene.c_str(), ScratchFile("out").c_str(), kFormats[k].format, why));
  }
  outcome.results.push_back(MoveScene(scene.c_str(), 0.0f, 0.0f, 0.0f, reporter, why));
  for (const FormatRow* row : ImportRows()) {
    WriteText(ScratchFile("text.txt"), SampleTextFor(row->format));
    outcome.results.push_back(ImportScene(scene.c_str(), ScratchFile("text.txt").c_str(), row->format, reporter, why));
  }
  outcome.sceneChanged = ReadFileBytes(scene) != std::vector<uint8_t>(data, data + size);
  return outcome;
}

FuzzOutcome FuzzAsciiListing(const uint8_t* data, size_t size) {
  return ImportIntoSample(data, size, kFormatAscii);
}

FuzzOutcome FuzzObj(const uint8_t* data, size_t size) { return ImportIntoSample(data, size, kFormatObj); }

FuzzOutcome FuzzDesignWorkshop(const uint8_t* data, size_t size) {
  return ImportIntoSample(data, size, kFormatDesignWorkshop);
}

FuzzOutcome FuzzGltf(const uint8_t* data, size_t size) {
  const std::string path = ScratchFile("scene.zem");
  WriteBytes(path, SampleScene().data(), SampleScene().size());
  FuzzOutcome outcome;
  {
    SceneFile scene;
    if (!scene.Open(path.c_str(), why)) std::abort();
    RectWriteFailures failures(reporter);
    SampleBuffer buffers;
    const bool applied = ApplyGltf(scene, data, size, buffers, reporter, failures, why);
    outcome.results.push_back(applied && failures.count() == 0 ? 0 : -1);
  }
  outcome.sceneChanged = ReadFileBytes(path) != SampleScene();
  return outcome;
}

std::vector<const FormatRow*> ImportRows() {
  std::vector<const FormatRow*> rows;
  for (size_t k = 0; k < kFormatCount; ++k) {
    const FormatRow& row = kFormats[k];
    bool readerSeen = !row.CanImport();
    for (const FormatRow* seen : rows) {
      readerSeen = readerSeen || (seen->importer.reader == row.importer.reader &&
                                  seen->importer.fileReader == row.importer.fileReader);
    }
    if (!readerSeen) rows.push_back(&row);
  }
  return rows;
}
