// Times every mode and every export format on the largest scene the format
// allows (19999 rectangles) against its floor, the one-open limit: one open
// of the scene (for update when the mode writes it), one sequential read
// of the whole scene, one positioned write of a record's span for every
// write the mode made into the scene, and for an export its output bytes
// written to a new file in blocks of 1 MiB.
// Mode and floor run in pairs, several times; the ratio printed is the
// median of the pairs', beside the goal (2.0 for an export, 1.5 for a mode
// that rewrites the scene in place). For an export, "x safe" is its ratio
// against the same floor writing its output as quadkit replaces one: into
// a new file, flushed to the disk and renamed over the old one, which the
// floor above leaves out. The check (/c) reads the scene once:
// its floor is one plain read of the whole file into memory, and on a
// second row the bare reads of every byte through one small block. Last,
// peak memory: of a Resize beside the scene's size, and of importing a
// large OBJ (not on Windows). It builds for Windows too and runs under Wine.
//   quadkit_bench [FOLDER] [PAIRS] [ONLY]   (default: a fresh folder under /tmp, 5;
//   ONLY: the rows whose name holds this text, without the memory figures)

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "check/scene_check.h"
#include "edit/scale_move.h"
#include "app/format_table.h"
#include "bench/bench_platform.h"
#include "files/file_access.h"
#include "files/platform_files.h"
#include "sample/scene_builder.h"

namespace {

constexpr int kRects = 19999;
constexpr int kObjObjects = 1000000;

SceneContents LargestScene() {
  SceneContents contents;
  contents.textureNames = {"WALL", "FLR", "ROOF", "DOOR", "WIN", "SKY", "GRAS", "ROCK"};
  for (int k = 0; k < kRects; ++k) {
    BuilderRect rect;
    const float x = static_cast<float>(k % 200) * 64.0f;
    const float z = static_cast<float>(k / 200) * 64.0f;
    rect.corners = {x, 0, z, x + 64, 0, z, x + 64, 32.5f, z + 64, x, 32.5f, z + 64};
    rect.texCoords = {0, 1, 1, 1, 1, 0, 0, 0.25f};
    rect.textureIndex = k % 8;
    contents.rects.push_back(rect);
  }
  return contents;
}

// The largest scene with every value moved by up to one unit, so that its
// floats use the whole mantissa.
SceneContents WholeMantissaScene() {
  SceneContents contents = LargestScene();
  uint32_t state = 12345;
  auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return static_cast<float>(state >> 8) / 16777216.0f;  // [0, 1)
  };
  for (BuilderRect& rect : contents.rects) {
    for (float& value : rect.corners) value += next() - 0.5f;
    for (float& value : rect.texCoords) value = next();
  }
  return contents;
}

class QuietReporter : public Reporter {
 public:
  void Say(const std::string& text) override { said += text.size(); }
  void Complain(const std::string& text) override { std::fprintf(stderr, "quadkit: %s\n", text.c_str()); }
  size_t said = 0;
};

// Wall-clock and processor seconds of one run of work; the processor time
// is the steadier figure on a machine that is busy with other work.
struct Timing {
  double wall;
  double cpu;
};
Timing Measure(const std::function<void()>& work) {
  const double cpuStart = CpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  work();
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return {wall, CpuSeconds() - cpuStart};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The median of the processor-time ratios; "-" when the floor's time was
// below what the system counts (Windows counts in steps of 15.6 ms) in
// every pair.
std::string RatioText(const std::vector<double>& ratios) {
  if (ratios.empty()) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", Median(ratios));
  return text;
}

// Counts the scene's opens and the writes into it: every open and write
// that the file layer makes for update.
class SceneCalls : public FileCallHook {
 public:
  bool Fails(const FileCall& call, size_t*) override {
    if (call.operation == FileOperation::kOpen) ++opens;
    if (call.operation == FileOperation::kWrite && call.forUpdate) ++sceneWrites;
    return false;
  }
  int64_t opens = 0;
  int64_t sceneWrites = 0;
};

// The one-open limit of a mode that writes writes spans into the scene and
// outputBytes bytes of output, having read its input.
// With safe, the output is written as quadkit writes one: into a new file
// beside it, flushed to the disk and renamed over it.
void RunFloor(const std::string& scene, const std::vector<int32_t>& records, int64_t writes,
              int64_t outputBytes, const std::string& output, const std::string& input, bool safe) {
  if (!input.empty()) ReadWhole(input);
  OneOpenOfScene(scene, records, writes);
  if (outputBytes > 0) WriteInBlocks(output, outputBytes, safe);
}

// The check's floors: one plain read of the whole file, as quadkit reads
// a text to import (into one zero-filled block of its size and a byte,
// with one fread), and the least a reader of every byte must do (stdio
// reads of 64 KiB into one block used again and again).
void ReadFileImage(const std::string& scene) {
  std::FILE* file = std::fopen(scene.c_str(), "rb");
  if (file == nullptr || std::fseek(file, 0, SEEK_END) != 0) std::abort();
  const long size = std::ftell(file);
  std::rewind(file);
  std::unique_ptr<unsigned char[]> image(new unsigned char[static_cast<size_t>(size) + 1]());
  if (size <= 0 || std::fread(image.get(), 1, static_cast<size_t>(size), file) != static_cast<size_t>(size)) {
    std::abort();
  }
  std::fclose(file);
}

void ReadInBlocks(const std::string& scene) {
  static unsigned char block[64 * 1024];
  std::FILE* file = std::fopen(scene.c_str(), "rb");
  if (file == nullptr) std::abort();
  size_t total = 0;
  for (size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0;) total += got;
  std::fclose(file);
  if (total == 0) std::abort();
}

struct Mode {
  std::string name;
  std::string outputs;  // the folder of what an export writes
  std::string input;    // what an import reads
  std::function<int32_t(QuietReporter&, std::string&)> run;
};

bool MakeFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::u8path(folder), error);
  return !error;
}

// The name a row's figures go by: its format line's words ("using DirectX
// format" gives "DirectX") and its switch word.
std::string FormatNameOf(const FormatRow& row) {
  std::string name = row.announcement;
  const std::string lead = "using ";
  const std::string tail = " format\r\n";
  if (name.compare(0, lead.size(), lead) == 0) name.erase(0, lead.size());
  if (name.size() >= tail.size() && name.compare(name.size() - tail.size(), tail.size(), tail) == 0) {
    name.erase(name.size() - tail.size());
  }
  return name + (row.switchWord != nullptr ? std::string(" ") + row.switchWord : std::string());
}

// The output's extension: the switch word in lower case, "txt" for the
// listing.
std::string OutputExtensionOf(const FormatRow& row) {
  if (row.switchWord == nullptr) return "txt";
  std::string extension;
  for (const char* c = row.switchWord + 1; *c != '\0'; ++c) {
    extension += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
  }
  return extension;
}

// The bytes of the files in folder, what an export wrote.
int64_t FolderBytes(const std::string& folder) {
  int64_t total = 0;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::u8path(folder), error)) {
    if (entry.is_regular_file(error)) total += static_cast<int64_t>(entry.file_size(error));
  }
  return total;
}

// A million objects, each with its own name: the first ones name the
// scene's rectangles, the others none (each a warning).
std::string WriteManyObjects(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  for (int k = 0; k < kObjObjects; ++k) {
    std::fprintf(file, "o Rect_%d\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf -4 -3 -2 -1\n",
                 k + 1);
  }
  std::fclose(file);
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir = argc > 1 ? argv[1] : "";
  const int pairs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  const char* only = argc > 3 ? argv[3] : nullptr;
  auto chosen = [only](const char* name) { return only == nullptr || std::strstr(name, only) != nullptr; };
  const bool ownDir = dir.empty();
  if (ownDir) {
    dir = NewBenchFolder();
    if (dir.empty()) return 1;
  }
  const std::string scene = dir + "/large.zem";
  const BuiltScene built = BuildScene(LargestScene());
  if (!WriteFileBytes(scene, built.bytes)) return 1;
  auto file = [&](const char* name) { return dir + "/" + name; };
  // One row for each export of the format table, into a folder of its own
  // (the output and its companions), and one for each import, of the text
  // that format's export wrote: every rectangle read and compared, none
  // rewritten. Then the modes that rewrite every rectangle.
  std::vector<Mode> modes;
  // Each export into a folder of its own, of source; rows named with what
  // follows their format.
  auto addExports = [&](const std::string& source, const char* prefix, const char* label) {
    for (size_t k = 0; k < kFormatCount; ++k) {
      const FormatRow& row = kFormats[k];
      const std::string folder = file((prefix + std::to_string(k)).c_str());
      if (!MakeFolder(folder)) return false;
      const std::string output = folder + "/out." + OutputExtensionOf(row);
      modes.push_back({"export " + FormatNameOf(row) + label, folder, "",
                       [&source, output, format = row.format](QuietReporter&, std::string& why) {
                         return ExportScene(source.c_str(), output.c_str(), format, why);
                       }});
    }
    return true;
  };
  if (!addExports(scene, "out-", "")) return 1;
  // The same exports of a scene whose numbers, as a modelled level's, use
  // every bit of the mantissa: the number text costs more there.
  const std::string full = file("full.zem");
  if (!WriteFileBytes(full, BuildScene(WholeMantissaScene()).bytes) || !addExports(full, "full-", ", full floats")) {
    return 1;
  }
  for (size_t k = 0; k < kFormatCount; ++k) {
    const FormatRow& row = kFormats[k];
    if (!row.CanImport()) continue;
    const std::string folder = file(("in-" + std::to_string(k)).c_str());
    if (!MakeFolder(folder)) return 1;
    const std::string text = folder + "/in." + OutputExtensionOf(row);
    std::string why;
    if (ExportScene(scene.c_str(), text.c_str(), row.format, why) != 0) return 1;
    modes.push_back({"import " + FormatNameOf(row), "", text, [&, text, format = row.format](QuietReporter& reporter, std::string& e) {
                       return ImportScene(scene.c_str(), text.c_str(), format, reporter, e);
                     }});
  }
  // The same imports of texts in which every rectangle has moved, taken in
  // turn with the texts of the scene as it was: each run rewrites every
  // rectangle, as the listing's and Design Workshop's imports always do.
  const std::string moved = file("moved.zem");
  {
    QuietReporter reporter;
    std::string why;
    if (!WriteFileBytes(moved, built.bytes) || MoveScene(moved.c_str(), 1, 1, 1, reporter, why) != 0) return 1;
  }
  for (size_t k = 0; k < kFormatCount; ++k) {
    const FormatRow& row = kFormats[k];
    if (!row.CanImport()) continue;
    const std::string folder = file(("moved-" + std::to_string(k)).c_str());
    if (!MakeFolder(folder)) return 1;
    const std::string text = folder + "/in." + OutputExtensionOf(row);
    const std::string back = file(("in-" + std::to_string(k) + "/in." + OutputExtensionOf(row)).c_str());
    std::string why;
    if (ExportScene(moved.c_str(), text.c_str(), row.format, why) != 0) return 1;
    auto turn = std::make_shared<int>(0);
    modes.push_back({"import " + FormatNameOf(row) + ", all moved", "", text,
                     [&, text, back, turn, format = row.format](QuietReporter& reporter, std::string& e) {
                       return ImportScene(scene.c_str(), ((*turn)++ % 2 == 0 ? text : back).c_str(), format,
                                          reporter, e);
                     }});
  }
  modes.push_back({"resize", "", "", [&](QuietReporter& r, std::string& e) { return ScaleScene(scene.c_str(), 1, 1, 1, r, e); }});
  modes.push_back({"move", "", "", [&](QuietReporter& r, std::string& e) { return MoveScene(scene.c_str(), 0, 0, 0, r, e); }});

  // Measured first, while this process is small: the import runs in a
  // child, which starts with the pages of this one.
  double manyMiB = 0;
  double manyPeak = 0;
  double idlePeak = 0;
  double resizePeak = 0;
  // Where the system cannot tell a child's peak (Windows), there are no
  // memory figures.
  const bool memory = only == nullptr && PeakMemoryOf([] { return 0; }) >= 0;
  if (memory) {
    const std::string many = WriteManyObjects(file("many.obj"));
    manyMiB = static_cast<double>(ReadFileBytes(many).size()) / (1 << 20);
    manyPeak = PeakMemoryOf([&] {
      QuietReporter reporter;
      std::string why;
      return ImportScene(scene.c_str(), many.c_str(), kFormatObj, reporter, why);
    });
    idlePeak = PeakMemoryOf([] { return 0; });  // what a child starts with
    resizePeak = PeakMemoryOf([&] {
      QuietReporter reporter;
      std::string why;
      return ScaleScene(scene.c_str(), 1, 1, 1, reporter, why);
    });
  }

  std::printf("scene: %d rectangles, %zu bytes, in %s; %d paired runs each\n", kRects,
              built.bytes.size(), dir.c_str(), pairs);
  std::printf("%-40s %7s %8s %9s %9s %8s %8s %6s %8s\n", "mode", "opens", "writes/r", "seconds", "floor s",
              "x floor", "x cpu", "goal", "x safe");
  SceneCalls calls;
  for (const Mode& mode : modes) {
    if (!chosen(mode.name.c_str())) continue;
    QuietReporter reporter;
    std::string why;
    calls = SceneCalls();
    FileCallHook* before = SetFileCallHook(&calls);
    if (mode.run(reporter, why) != 0) std::fprintf(stderr, "%s failed: %s\n", mode.name.c_str(), why.c_str());
    SetFileCallHook(before);
    const int64_t outputBytes = mode.outputs.empty() ? 0 : FolderBytes(mode.outputs);
    const bool inPlace = mode.outputs.empty();
    std::vector<double> modeWall, floorWall, wallRatios, cpuRatios, safeRatios;
    for (int pair = 0; pair < pairs; ++pair) {
      const Timing m = Measure([&] { mode.run(reporter, why); });
      const Timing f = Measure([&] {
        RunFloor(scene, built.recordOffsets, calls.sceneWrites, outputBytes, file("floor.out"),
                 mode.input, false);
      });
      modeWall.push_back(m.wall);
      floorWall.push_back(f.wall);
      wallRatios.push_back(m.wall / f.wall);
      if (f.cpu > 0) cpuRatios.push_back(m.cpu / f.cpu);
      if (!inPlace) {
        const Timing safe = Measure([&] {
          RunFloor(scene, built.recordOffsets, calls.sceneWrites, outputBytes, file("floor.out"),
                   mode.input, true);
        });
        safeRatios.push_back(m.wall / safe.wall);
      }
    }
    std::printf("%-40s %7lld %8.2f %9.3f %9.3f %8.2f %8s %6.1f %8s\n", mode.name.c_str(),
                static_cast<long long>(calls.opens), static_cast<double>(calls.sceneWrites) / kRects,
                Median(modeWall), Median(floorWall), Median(wallRatios), RatioText(cpuRatios).c_str(),
                inPlace ? 1.5 : 2.0, RatioText(safeRatios).c_str());
  }

  if (chosen("check (/c)")) {
    QuietReporter reporter;
    std::string why;
    // A sound copy of the scene, its bounds recomputed, so that the check
    // finds nothing to name whatever rows ran before.
    const std::string sound = file("check.zem");
    if (!WriteFileBytes(sound, built.bytes) || ScaleScene(sound.c_str(), 1, 1, 1, reporter, why) != 0) return 1;
    auto check = [&] {
      if (CheckScene(sound.c_str(), reporter, why) != 0) std::fprintf(stderr, "check failed: %s\n", why.c_str());
    };
    check();
    // Each a few milliseconds: timed twenty at a time.
    constexpr int kRepeats = 20;
    for (const auto& [label, floor] : {std::pair<const char*, void (*)(const std::string&)>{
                                           "check (/c)", ReadFileImage},
                                       {"check, x block reads", ReadInBlocks}}) {
      std::vector<double> modeWall, floorWall, wallRatios, cpuRatios;
      for (int pair = 0; pair < pairs; ++pair) {
        const Timing m = Measure([&] {
          for (int k = 0; k < kRepeats; ++k) check();
        });
        const Timing f = Measure([&, floor = floor] {
          for (int k = 0; k < kRepeats; ++k) floor(sound);
        });
        modeWall.push_back(m.wall);
        floorWall.push_back(f.wall);
        wallRatios.push_back(m.wall / f.wall);
        if (f.cpu > 0) cpuRatios.push_back(m.cpu / f.cpu);
      }
      std::printf("%-40s %7s %8s %9.4f %9.4f %8.2f %8s %6.1f\n", label, "-", "-",
                  Median(modeWall) / kRepeats, Median(floorWall) / kRepeats, Median(wallRatios),
                  RatioText(cpuRatios).c_str(), 2.0);
    }
  }

  if (only == nullptr && !memory) std::printf("peak memory: not measured on this system\n");
  if (memory) {
    std::printf("peak memory of a Resize: %.1f MiB above the %.1f MiB a child starts with; the scene file: %.1f MiB\n",
                resizePeak - idlePeak, idlePeak, static_cast<double>(built.bytes.size()) / (1 << 20));
    std::printf("peak memory of the OBJ import of %d small objects (%.0f MiB of text): %.1f MiB\n",
                kObjObjects, manyMiB, manyPeak);
  }
  if (ownDir) {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
  return 0;
}
