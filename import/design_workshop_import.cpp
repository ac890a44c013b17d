#include "import/design_workshop_import.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "import/import_text_file.h"
#include "import/text_scan.h"

namespace {

// Scans "<keyword> %d" at p: the keyword exactly, then a number. False,
// with value untouched, when the text does not match.
bool ScanKeywordInt(const char* p, const char* keyword, int32_t* value) {
  const size_t length = std::strlen(keyword);
  if (std::strncmp(p, keyword, length) != 0) return false;
  return ScanClampedInt(p + length, value) != nullptr;
}

// Scans the four vertex lines "x z y 1" at p into corners, exchanging y and
// z back. Stops where the text stops matching; coordinates not read stay.
void ScanVertexLines(const char* p, RectCoords* corners) {
  static const int kAxisOfField[3] = {0, 2, 1};
  for (int k = 0; k < 4; ++k) {
    for (int field = 0; field < 3; ++field) {
      char* end = nullptr;
      const float value = std::strtof(p, &end);
      if (end == p) return;
      (*corners)[3 * k + kAxisOfField[field]] = value;
      p = end;
    }
    p = SkipScanSpace(p);
    if (*p != '1') return;
    p = SkipScanSpace(p + 1);
  }
}

void ClearRemainingRects(SceneFile& scene, int32_t from) {
  const RectCoords cleared = {};
  for (int32_t j = from; j < scene.GetRectCount(); ++j) scene.UpdateRect(j, &cleared, nullptr);
}

// Sets the texture that the block's material number names, if any.
void ApplyMaterial(SceneFile& scene, int32_t i, int32_t material) {
  if (material <= 0) return;
  if (material > scene.GetTextureCount()) {
    std::printf("Warning! Material %d not in ZEM. Skipping\r\n", static_cast<int>(material));
    return;
  }
  scene.SetRectTextureIndex(i, material - 1);
}

int32_t LineNumberAt(const char* text, const char* position) {
  int32_t line = 1;
  for (const char* p = text; p < position; ++p) line += *p == '\n' ? 1 : 0;
  return line;
}

// A block that breaks off before its vertex lines is a damaged file.
int32_t BreaksOff(std::string* error, const char* text, const char* polyline,
                  const char* missing) {
  if (error != nullptr) {
    *error = "breaks off in the Polyline block at line " +
             std::to_string(LineNumberAt(text, polyline)) + ": " + missing;
  }
  return -1;
}

}  // namespace

int32_t ApplyDesignWorkshop(SceneFile& scene, const char* text, std::string* error) {
  const char* cursor = text;
  int32_t i = 0;
  int32_t vertexCount = 0;  // kept from block to block when a count is missing
  while (i < scene.GetRectCount()) {
    const char* polyline = std::strstr(cursor, "Polyline:");
    if (polyline == nullptr) {
      ClearRemainingRects(scene, i);
      break;
    }
    RectCoords corners = {};
    const char* mat = std::strstr(polyline, "Mat:");
    if (mat == nullptr) return BreaksOff(error, text, polyline, "no Mat: follows");
    int32_t material = 0;
    ScanKeywordInt(mat, "Mat:", &material);
    ApplyMaterial(scene, i, material);

    cursor = std::strstr(mat, "numVerts:");
    if (cursor == nullptr) return BreaksOff(error, text, polyline, "no numVerts: follows");
    ScanKeywordInt(cursor, "numVerts:", &vertexCount);
    if (vertexCount != 4) continue;
    const char* feed = std::strchr(cursor, '\n');
    if (feed == nullptr) return BreaksOff(error, text, polyline, "no vertex lines follow");
    cursor = feed + 1;
    ScanVertexLines(cursor, &corners);
    if (!PassesAllZeroTest(corners)) continue;

    const uint32_t cornersAt = static_cast<uint32_t>(scene.GetRectOffset(i)) + 100u;
    std::printf("Rechteck-Offset: %8X\r\n", static_cast<unsigned>(cornersAt));
    scene.UpdateRect(i, &corners, nullptr);
    ++i;
  }
  std::printf("%d Rectangles imported\r\n", static_cast<int>(i));
  return 0;
}

int32_t ImportDesignWorkshop(const char* scenePath, const char* textPath, std::string* error) {
  return ImportTextFile(
      scenePath, textPath, "Design Workshop file",
      [](SceneFile& scene, const TextImage& image, std::string* why) {
        return ApplyDesignWorkshop(scene, image.text.get(), why);
      },
      error);
}
