// Times every mode and every export format on the largest scene the format
// allows (19999 rectangles) against its floor: a program that does nothing
// but the scene file access the mode makes, the same number of cycles of
// unbuffered stdio. Per read: open "rb", the check that the file opened is
// still the scene file (fstat), seek, read, close; a texture lookup reads
// twice in its cycle (the slot reference, then the slot), so the floor's
// read cycles carry as many extra seeks and reads as the mode made. Per
// update: open "r+b", fstat, seek, read of the record's span, seek, write of
// it, close.
// Mode and floor run in pairs, several times; the ratio printed is the
// median of the pairs'. The check (/c) reads the scene once: its floor is
// one plain read of the whole file into memory, and on a second row the
// bare reads of every byte through one small block. Last, the peak memory
// of importing a large OBJ.
//   quadkit_bench [FOLDER] [PAIRS] [ONLY]   (default: a fresh folder under /tmp, 5;
//   ONLY: the rows whose name holds this text, without the memory figure)
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <utility>
#include <string>
#include <vector>

#include "check/scene_check.h"
#include "edit/scale_move.h"
#include "app/format_table.h"
#include "files/file_access.h"
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

class QuietReporter : public Reporter {
 public:
  void Say(const std::string& text) override { said += text.size(); }
  void Complain(const std::string& text) override { std::fprintf(stderr, "quadkit: %s\n", text.c_str()); }
  size_t said = 0;
};

double CpuSeconds() {
  struct rusage usage = {};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

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

// The floor: reads and updates cycles of plain unbuffered stdio, spread
// over the records the way a mode touches them.
void RunFloor(const std::string& scene, const std::vector<int32_t>& records, int64_t reads,
              int64_t extraReads, int64_t updates) {
  unsigned char span[192];
  struct stat identity;
  for (int64_t k = 0; k < reads; ++k) {
    const long record = records[static_cast<size_t>(k % kRects)];
    std::FILE* file = std::fopen(scene.c_str(), "rb");
    std::setvbuf(file, nullptr, _IONBF, 0);
    if (fstat(fileno(file), &identity) != 0) std::abort();
    std::fseek(file, record + 100, SEEK_SET);
    if (std::fread(span, 1, 48, file) != 48) std::abort();
    if (k < extraReads) {
      std::fseek(file, record + 216, SEEK_SET);
      if (std::fread(span, 1, 4, file) != 4) std::abort();
    }
    std::fclose(file);
  }
  for (int64_t k = 0; k < updates; ++k) {
    const long at = records[static_cast<size_t>(k % kRects)] + 28;
    std::FILE* file = std::fopen(scene.c_str(), "r+b");
    std::setvbuf(file, nullptr, _IONBF, 0);
    if (fstat(fileno(file), &identity) != 0) std::abort();
    std::fseek(file, at, SEEK_SET);
    if (std::fread(span, 1, sizeof span, file) != sizeof span) std::abort();
    std::fseek(file, at, SEEK_SET);
    if (std::fwrite(span, 1, 176, file) != 176) std::abort();
    std::fclose(file);
  }
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
  const char* name;
  std::function<int32_t(QuietReporter&, std::string&)> run;
};

// Peak resident memory, in MiB, of one import run in a child process.
double PeakMemoryOfImport(const std::string& scene, const std::string& text, InterchangeFormat format) {
  const pid_t child = fork();
  if (child == 0) {
    QuietReporter reporter;
    std::string why;
    _exit(ImportScene(scene.c_str(), text.c_str(), format, reporter, why) == 0 ? 0 : 1);
  }
  int status = 0;
  struct rusage usage = {};
  wait4(child, &status, 0, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
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
    char pattern[] = "/tmp/quadkit-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return 1;
    dir = pattern;
  }
  const std::string scene = dir + "/large.zem";
  const BuiltScene built = BuildScene(LargestScene());
  if (!WriteFileBytes(scene, built.bytes)) return 1;
  auto file = [&](const char* name) { return dir + "/" + name; };
  // The texts to import, written once.
  {
    std::string why;
    ExportScene(scene.c_str(), file("large.txt").c_str(), kFormatAscii, why);
    ExportScene(scene.c_str(), file("large.dw").c_str(), kFormatDesignWorkshop, why);
    ExportScene(scene.c_str(), file("large.obj").c_str(), kFormatObj, why);
    ExportScene(scene.c_str(), file("large.gltf").c_str(), kFormatGltf, why);
  }
  auto exportAs = [&](const char* out, InterchangeFormat format) {
    return [&, out, format](QuietReporter&, std::string& why) {
      return ExportScene(scene.c_str(), file(out).c_str(), format, why);
    };
  };
  auto importFrom = [&](const char* text, InterchangeFormat format) {
    return [&, text, format](QuietReporter& reporter, std::string& why) {
      return ImportScene(scene.c_str(), file(text).c_str(), format, reporter, why);
    };
  };
  const Mode modes[] = {
      {"export ASCII listing", exportAs("out.txt", kFormatAscii)},
      {"export DirectX", exportAs("out.x", kFormatDirectX)},
      {"export IGES (/CAD)", exportAs("out.igs", kFormatIgesOutline)},
      {"export Design Workshop", exportAs("out.dw", kFormatDesignWorkshop)},
      {"export OBJ", exportAs("out.obj", kFormatObj)},
      {"export IGES (/IGES)", exportAs("out.iges", kFormatIgesSurfaces)},
      {"export glTF", exportAs("out.gltf", kFormatGltf)},
      {"export glTF binary", exportAs("out.glb", kFormatGlb)},
      {"import ASCII listing", importFrom("large.txt", kFormatAscii)},
      {"import Design Workshop", importFrom("large.dw", kFormatDesignWorkshop)},
      {"import OBJ", importFrom("large.obj", kFormatObj)},
      // Its own export: every rectangle read and compared, none rewritten.
      {"import glTF", importFrom("large.gltf", kFormatGltf)},
      {"resize", [&](QuietReporter& r, std::string& e) { return ScaleScene(scene.c_str(), 1, 1, 1, r, e); }},
      {"move", [&](QuietReporter& r, std::string& e) { return MoveScene(scene.c_str(), 0, 0, 0, r, e); }},
  };

  // Measured first, while this process is small: the import runs in a
  // child, which starts with the pages of this one.
  double manyMiB = 0;
  double manyPeak = 0;
  if (only == nullptr) {
    const std::string many = WriteManyObjects(file("many.obj"));
    manyMiB = static_cast<double>(ReadFileBytes(many).size()) / (1 << 20);
    manyPeak = PeakMemoryOfImport(scene, many, kFormatObj);
  }

  std::printf("scene: %d rectangles, %zu bytes, in %s; %d paired runs each\n", kRects,
              built.bytes.size(), dir.c_str(), pairs);
  std::printf("%-24s %8s %8s %8s %9s %9s %8s %8s\n", "mode", "opens/r", "updts/r", "xtra r/r",
              "seconds", "floor s", "x floor", "x cpu");
  for (const Mode& mode : modes) {
    if (!chosen(mode.name)) continue;
    QuietReporter reporter;
    std::string why;
    ResetFileAccessCounts();
    if (mode.run(reporter, why) != 0) std::fprintf(stderr, "%s failed: %s\n", mode.name, why.c_str());
    const FileAccessCounts counts = GetFileAccessCounts();
    const int64_t updates = counts.updateOpens;
    const int64_t reads = counts[FileOperation::kOpen] - updates;
    // Positioned reads beyond one per read cycle and one per update cycle.
    const int64_t extraReads = std::max<int64_t>(0, counts[FileOperation::kRead] - reads - updates);
    std::vector<double> modeWall, floorWall, wallRatios, cpuRatios;
    for (int pair = 0; pair < pairs; ++pair) {
      const Timing m = Measure([&] { mode.run(reporter, why); });
      const Timing f = Measure([&] { RunFloor(scene, built.recordOffsets, reads, extraReads, updates); });
      modeWall.push_back(m.wall);
      floorWall.push_back(f.wall);
      wallRatios.push_back(m.wall / f.wall);
      cpuRatios.push_back(m.cpu / f.cpu);
    }
    std::printf("%-24s %8.2f %8.2f %8.2f %9.3f %9.3f %8.2f %8.2f\n", mode.name,
                static_cast<double>(reads + updates) / kRects, static_cast<double>(updates) / kRects,
                static_cast<double>(extraReads) / kRects,
                Median(modeWall), Median(floorWall), Median(wallRatios), Median(cpuRatios));
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
        cpuRatios.push_back(m.cpu / f.cpu);
      }
      std::printf("%-24s %8s %8s %8s %9.4f %9.4f %8.2f %8.2f\n", label, "-", "-", "-",
                  Median(modeWall) / kRepeats, Median(floorWall) / kRepeats, Median(wallRatios),
                  Median(cpuRatios));
    }
  }

  if (only == nullptr) {
    std::printf("peak memory of the OBJ import of %d small objects (%.0f MiB of text): %.1f MiB\n",
                kObjObjects, manyMiB, manyPeak);
  }
  if (ownDir) {
    for (const char* name : {"large.zem", "large.txt", "large.dw", "large.obj", "large.mtl", "large.gltf",
                             "large.bin", "out.txt", "out.x", "out.igs", "out.dw", "out.obj", "out.mtl",
                             "out.iges", "out.gltf", "out.bin", "out.glb", "many.obj", "check.zem"}) {
      std::remove(file(name).c_str());
    }
    rmdir(dir.c_str());
  }
  return 0;
}
