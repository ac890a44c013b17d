// Times every mode and every export format on the largest scene the format
// allows (19999 rectangles), next to the floor that per-rectangle file
// access implies: the same number of open, seek, read and close cycles.
//   quadkit_bench [FOLDER]   (default: a fresh folder under /tmp)
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "edit/scale_move.h"
#include "export/export_scene.h"
#include "import/import_scene.h"
#include "scene/interchange_format.h"
#include "tools/scene_builder.h"

namespace {

constexpr int kRects = 19999;

SceneContents LargestScene() {
  SceneContents spec;
  spec.textureNames = {"WALL", "FLR", "ROOF", "DOOR", "WIN", "SKY", "GRAS", "ROCK"};
  for (int k = 0; k < kRects; ++k) {
    BuilderRect rect;
    const float x = static_cast<float>(k % 200) * 64.0f;
    const float z = static_cast<float>(k / 200) * 64.0f;
    rect.corners = {x, 0, z, x + 64, 0, z, x + 64, 32.5f, z + 64, x, 32.5f, z + 64};
    rect.texCoords = {0, 1, 1, 1, 1, 0, 0, 0.25f};
    rect.textureIndex = k % 8;
    spec.rects.push_back(rect);
  }
  return spec;
}

// Seconds that run takes, with the program's own progress lines discarded.
double TimeQuiet(const std::function<int32_t()>& run) {
  std::fflush(stdout);
  const int saved = dup(1);
  const int null = open("/dev/null", O_WRONLY);
  dup2(null, 1);
  const auto start = std::chrono::steady_clock::now();
  const int32_t result = run();
  std::fflush(stdout);
  const auto stop = std::chrono::steady_clock::now();
  dup2(saved, 1);
  close(null);
  close(saved);
  if (result != 0) std::fprintf(stderr, "quadkit_bench: a run failed\n");
  return std::chrono::duration<double>(stop - start).count();
}

double TimeFloor(const std::string& scene) {
  const auto start = std::chrono::steady_clock::now();
  unsigned char buffer[48];
  for (int k = 0; k < kRects; ++k) {
    std::FILE* file = std::fopen(scene.c_str(), "rb");
    std::fseek(file, 52 + 12 * k, SEEK_SET);
    if (std::fread(buffer, 1, sizeof buffer, file) != sizeof buffer) std::abort();
    std::fclose(file);
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The same cycles for an update: open for update, one positioned write.
double TimeWriteFloor(const std::string& scene) {
  const auto start = std::chrono::steady_clock::now();
  unsigned char buffer[48] = {};
  for (int k = 0; k < kRects; ++k) {
    std::FILE* file = std::fopen(scene.c_str(), "r+b");
    std::fseek(file, 52 + 12 * k, SEEK_SET);
    std::fread(buffer, 1, sizeof buffer, file);
    std::fseek(file, 52 + 12 * k, SEEK_SET);
    if (std::fwrite(buffer, 1, sizeof buffer, file) != sizeof buffer) std::abort();
    std::fclose(file);
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir = argc > 1 ? argv[1] : "";
  const bool ownDir = dir.empty();
  if (ownDir) {
    char pattern[] = "/tmp/quadkit-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return 1;
    dir = pattern;
  }
  const std::string scene = dir + "/large.zem";
  const std::vector<uint8_t> pristine = BuildScene(LargestScene()).bytes;
  if (!WriteFileBytes(scene, pristine)) return 1;

  const double floor = TimeFloor(scene);
  std::printf("scene: %d rectangles, %zu bytes, in %s\n", kRects, pristine.size(), dir.c_str());
  std::printf("%-28s %10s %14s %10s\n", "run", "seconds", "rects/second", "x floor");
  auto report = [&](const char* name, double seconds) {
    std::printf("%-28s %10.3f %14.0f %10.1f\n", name, seconds, kRects / seconds, seconds / floor);
  };
  report("floor: open-seek-read-close", floor);
  report("open-read-write-close cycles", TimeWriteFloor(scene));

  struct Export {
    const char* name;
    int32_t format;
    const char* file;
  };
  for (const Export& e : {Export{"export ASCII listing", kFormatAscii, "/large.txt"},
                          Export{"export DirectX", kFormatDirectX, "/large.x"},
                          Export{"export IGES", kFormatIges, "/large.igs"},
                          Export{"export Design Workshop", kFormatDesignWorkshop, "/large.dw"},
                          Export{"export OBJ", kFormatObj, "/large.obj"}}) {
    const std::string out = dir + e.file;
    report(e.name, TimeQuiet([&] { return ExportScene(scene.c_str(), out.c_str(), e.format); }));
  }
  const std::string listing = dir + "/large.txt";
  const std::string workshop = dir + "/large.dw";
  report("import ASCII listing",
         TimeQuiet([&] { return ImportScene(scene.c_str(), listing.c_str(), kFormatAscii); }));
  WriteFileBytes(scene, pristine);
  report("import Design Workshop", TimeQuiet([&] {
           return ImportScene(scene.c_str(), workshop.c_str(), kFormatDesignWorkshop);
         }));
  WriteFileBytes(scene, pristine);
  const std::string obj = dir + "/large.obj";
  report("import OBJ",
         TimeQuiet([&] { return ImportScene(scene.c_str(), obj.c_str(), kFormatObj); }));
  report("resize", TimeQuiet([&] { return ScaleScene(scene.c_str(), 2.0f, 1.0f, 0.5f); }));
  report("move", TimeQuiet([&] { return MoveScene(scene.c_str(), 1.0f, -2.0f, 3.0f); }));
  if (ownDir) {
    for (const char* name : {"/large.zem", "/large.txt", "/large.x", "/large.igs", "/large.dw",
                             "/large.obj", "/large.mtl"}) {
      std::remove((dir + name).c_str());
    }
    rmdir(dir.c_str());
  }
  return 0;
}
