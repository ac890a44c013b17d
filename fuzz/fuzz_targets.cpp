#include "fuzz/fuzz_targets.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/format_table.h"
#include "check/scene_check.h"
#include "edit/scale_move.h"
#include "export/export_memory.h"
#include "export/export_scene.h"
#include "files/byte_access.h"
#include "files/file_image.h"
#include "files/little_endian.h"
#include "formats/interchange_format.h"
#include "import/gltf_import.h"
#include "report/failure.h"
#include "sample/sample_scene.h"
#include "sample/scene_builder.h"

namespace {

// Every run works on bytes in memory under these names, which only its
// messages show; no file is touched.
const char kSceneName[] = "scene.zem";
const char kTextName[] = "text.txt";
const char kOutputName[] = "out";

// The runs' messages are not looked at; they are only produced.
class QuietReporter : public Reporter {
 public:
  void Say(const std::string& text) override { said += text.size(); }
  void Complain(const std::string& text) override { said += text.size(); }
  size_t said = 0;
};

QuietReporter reporter;
std::string why;
// Nor are the exports' bytes: they are counted, not kept, which for a
// scene of thousands of rectangles would cost more than writing them.
constexpr bool kKeepExports = false;

// Runs a mode on a scene opened on the bytes of file, as the program opens
// the scene file for each mode it runs; a scene that Open refuses fails the
// mode.
template <typename Mode>
int32_t OnScene(MemoryBytes& file, Mode mode) {
  SceneFile scene;
  if (!scene.Open(BorrowBytes(file), kSceneName, why)) return kModeFailed;
  return mode(scene);
}

// The listing export's writer without its text, which in memory cannot
// fail: the same result as the listing's.
class ReadingOnly : public FormatExport {
 public:
  bool Begin(const SceneFile&, ExportOutputs&, std::string&) override { return true; }
  bool AddRect(const ExportRect&, std::string&) override { return true; }
  bool Finish(std::string&) override { return true; }
};

int32_t CheckBytes(MemoryBytes& file) {
  // The check reads through an access of its own, as it opens the file
  // again.
  return OnScene(file, [&](SceneFile& scene) {
    const std::unique_ptr<ByteAccess> own = BorrowBytes(file);
    return CheckOpenScene(scene, *own, reporter, why);
  });
}

int32_t ExportBytes(MemoryBytes& file, InterchangeFormat format, ExportMemory& outputs) {
  return OnScene(file, [&](SceneFile& scene) { return ExportOpenScene(scene, outputs, format, why); });
}

int32_t ImportBytes(MemoryBytes& file, const FileImage& text, InterchangeFormat format) {
  return OnScene(file, [&](SceneFile& scene) { return ImportOpenScene(scene, kTextName, text, format, reporter, why); });
}

FileImage ImageOf(const std::string& bytes) {
  FileImage image;
  if (!LoadMemoryImage(bytes.data(), bytes.size(), image, why)) std::abort();
  return image;
}

const std::vector<uint8_t>& SampleScene() {
  static const std::vector<uint8_t> sample = BuildSampleBoxScene().bytes;
  return sample;
}

// Imports the input as a text of format into a fresh copy of the sample.
FuzzOutcome ImportIntoSample(const uint8_t* data, size_t size, InterchangeFormat format) {
  MemoryBytes scene(SampleScene());
  FileImage text;
  FuzzOutcome outcome;
  // A text there is no memory for fails the import, as its file would.
  outcome.results.push_back(LoadMemoryImage(data, size, text, why) ? ImportBytes(scene, text, format) : kModeFailed);
  outcome.sceneChanged = scene.bytes() != SampleScene();
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
    MemoryBytes scene(SampleScene(), false);
    ExportMemory glb("sample.glb");
    ExportMemory gltf("sample.gltf");
    if (ExportBytes(scene, kFormatGlb, glb) != 0 || ExportBytes(scene, kFormatGltf, gltf) != 0) std::abort();
    const std::string* buffer = gltf.BytesAt("sample.bin");
    if (buffer == nullptr || glb.output().bytes().empty() || buffer->empty()) std::abort();
    return SampleGltf{glb.output().bytes(), *buffer};
  }();
  return sample;
}

class SampleBuffer : public GltfResources {
 public:
  bool Load(const std::string&, FileImage& image, std::string& loadWhy) override {
    return LoadMemoryImage(Sample().buffer.data(), Sample().buffer.size(), image, loadWhy);
  }
};

// A text of each format that can be imported, as the scene target gives
// it to every scene, made once.
const FileImage& SampleTextFor(InterchangeFormat format) {
  static const FileImage listing = ImageOf(kListing);
  static const FileImage designWorkshop = ImageOf(kDesignWorkshop);
  static const FileImage obj = ImageOf(kObj);
  static const FileImage glb = ImageOf(Sample().glb);
  switch (format) {
    case kFormatAscii: return listing;
    case kFormatDesignWorkshop: return designWorkshop;
    case kFormatObj: return obj;
    case kFormatGltf: return glb;
    default: std::abort();  // a format that can be imported needs its text here
  }
}

// The stored rectangle count of a scene image, as the reader decodes it:
// bytes beyond the end of a short image read as zero.
int32_t StoredCountOf(const uint8_t* data, size_t size) {
  const size_t field = scene_layout::kStoredCountOffset;
  uint8_t count[4] = {0, 0, 0, 0};
  for (size_t k = 0; k < 4 && field + k < size; ++k) count[k] = data[field + k];
  return DecodeInt32LE(count);
}

// The operations the scene target runs on a scene, in this order: its
// check, each export of the format table, a Move by zero, then each of the
// ImportRows with its sample text.
constexpr size_t kCheckOperation = 0;
constexpr size_t kListingOperation = 1;  // the table's first row
size_t SceneOperationCount() { return 1 + kFormatCount + 1 + ImportRows().size(); }

int32_t RunSceneOperation(MemoryBytes& file, const std::vector<uint8_t>& input, size_t operation) {
  if (operation == kCheckOperation) {
    // The check reads the scene once, whatever its size, and must leave
    // every byte of it as it was.
    const int32_t result = CheckBytes(file);
    if (file.bytes() != input) std::abort();
    return result;
  }
  if (operation <= kFormatCount) {
    ExportMemory outputs(kOutputName, kKeepExports);
    return ExportBytes(file, kFormats[operation - 1].format, outputs);
  }
  if (operation == kFormatCount + 1) {
    return OnScene(file, [](SceneFile& scene) { return MoveOpenScene(scene, 0.0f, 0.0f, 0.0f, reporter, why); });
  }
  const FormatRow* row = ImportRows()[operation - kFormatCount - 2];
  return ImportBytes(file, SampleTextFor(row->format), row->format);
}

// Runs the operations first..last on the scene image (all of them when
// last is past the end).
FuzzOutcome RunSceneOperations(const uint8_t* data, size_t size, size_t first, size_t last) {
  const std::vector<uint8_t> input(data, data + size);
  MemoryBytes file(input);
  FuzzOutcome outcome;
  // Every rectangle costs every export, a Move and the imports, so a scene
  // of thousands of rectangles would slow the fuzzer to a crawl; such
  // inputs are only checked and take the reading path, which is the same
  // for every rectangle count: the listing export's reads of every
  // rectangle, whose text would be the listing's own for each, so it is
  // not made. That reading stands in for the listing export.
  const bool large = StoredCountOf(data, size) > 64;
  for (size_t k = first; k <= last && k < SceneOperationCount(); ++k) {
    if (large && k == kListingOperation) {
      outcome.results.push_back(OnScene(file, [](SceneFile& scene) {
        ExportMemory outputs(kOutputName, kKeepExports);
        ReadingOnly reads;
        return ExportOpenSceneAs(scene, outputs, FindFormat(kFormatAscii)->exporter, reads, why);
      }));
    } else if (!large || k == kCheckOperation) {
      outcome.results.push_back(RunSceneOperation(file, input, k));
    }
  }
  if (!large) outcome.sceneChanged = file.bytes() != input;
  return outcome;
}

}  // namespace

FuzzOutcome FuzzSceneFile(const uint8_t* data, size_t size) {
  return RunSceneOperations(data, size, 0, SceneOperationCount());
}

namespace {

// FNV-1a of the whole input: any change of a byte picks anew. Its loop
// has no coverage to track, only a compare at every byte.
#if defined(__clang__)
__attribute__((no_sanitize("coverage")))
#endif
uint32_t InputHash(const uint8_t* data, size_t size) {
  uint32_t hash = 2166136261u;
  for (size_t k = 0; k < size; ++k) hash = (hash ^ data[k]) * 16777619u;
  return hash;
}

}  // namespace

FuzzOutcome FuzzSceneFileOnce(const uint8_t* data, size_t size) {
  const size_t operation = InputHash(data, size) % SceneOperationCount();
  return RunSceneOperations(data, size, operation, operation);
}

FuzzOutcome FuzzAsciiListing(const uint8_t* data, size_t size) {
  return ImportIntoSample(data, size, kFormatAscii);
}

FuzzOutcome FuzzObj(const uint8_t* data, size_t size) { return ImportIntoSample(data, size, kFormatObj); }

FuzzOutcome FuzzDesignWorkshop(const uint8_t* data, size_t size) {
  return ImportIntoSample(data, size, kFormatDesignWorkshop);
}

FuzzOutcome FuzzGltf(const uint8_t* data, size_t size) {
  MemoryBytes file(SampleScene());
  FuzzOutcome outcome;
  {
    SceneFile scene;
    if (!scene.Open(BorrowBytes(file), kSceneName, why)) std::abort();
    RectWriteFailures failures(reporter);
    SampleBuffer buffers;
    const bool applied = ApplyGltf(scene, data, size, buffers, reporter, failures, why);
    outcome.results.push_back(applied && failures.count() == 0 ? 0 : -1);
  }
  outcome.sceneChanged = file.bytes() != SampleScene();
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
