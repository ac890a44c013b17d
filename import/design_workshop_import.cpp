#include "import/design_workshop_import.h"

#include <cstdlib>
#include <cstring>

#include "formats/design_workshop_rules.h"
#include "import/text_import.h"
#include "report/failure.h"
#include "report/messages.h"
#include "text/text_rules.h"
#include "text/text_template.h"

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
      const char* end = ScanFloat(p, &(*corners)[3 * k + kAxisOfField[field]]);
      if (end == p) return;
      p = end;
    }
    p = SkipScanSpace(p);
    if (*p != '1') return;
    p = SkipScanSpace(p + 1);
  }
}

void ClearRemainingRects(SceneFile& scene, int32_t from, RectWriteFailures& failures) {
  const RectCoords cleared = {};
  std::string why;
  for (int32_t j = from; j < scene.GetRectCount(); ++j) {
    if (!scene.UpdateRect(j, &cleared, nullptr, why)) failures.Add(j, why);
  }
}

// Sets the texture that the block's material number names, if any.
void ApplyMaterial(SceneFile& scene, int32_t i, int32_t material, Reporter& reporter,
                   RectWriteFailures& failures) {
  if (material <= 0) return;
  if (material > scene.GetTextureCount()) {
    reporter.Say(FillTemplate(messages::kMaterialNotInScene, material));
    return;
  }
  std::string why;
  if (!scene.SetRectTextureIndex(i, material - 1, why)) failures.Add(i, why);
}

// The keywords of the lines of a Design Workshop header and materials block.
const char* const kHeaderKeywords[] = {
    "LengthUnits", "AngleUnits", "BackgroundGridSizeAndSpacing", "SectionPoint",
    "SnapGridSpacing", "SnapToHandleDistance", "WallifyThickness", "CircleFaceting",
    "RotationConstraint", "RotationPrecision", "PerspLinkedWithAxon", "ViewRotateFactor",
    "ViewMoveFactor", "SunStudyWidthAndHeight", "SunStudyFrameCount", "SunStudyQuickTime",
    "SunStudyPICT", "SunStudyStartTime", "SunStudyEndTime", "Latitude", "GroundPlaneVisible",
    "GroundColor", "SkyColor", "ObjectColor", "numPhases", "Phase", "numMaterials", "Material"};

bool IsHeaderLine(const char* line) {
  const char* start = SkipScanSpace(line);
  const char* end = start;
  while (*end != ':' && *end != '\n' && *end != '\0') ++end;
  if (*end != ':') return false;
  const size_t length = static_cast<size_t>(end - start);
  for (const char* keyword : kHeaderKeywords) {
    if (std::strlen(keyword) == length && std::strncmp(start, keyword, length) == 0) return true;
  }
  return false;
}

// True when the text holds a Polyline block or a line of the header: a
// text without either is some other file, which would clear every
// rectangle of the scene.
bool LooksLikeDesignWorkshop(const char* text) {
  if (std::strstr(text, "Polyline:") != nullptr) return true;
  for (const char* line = text; line != nullptr;) {
    if (IsHeaderLine(line)) return true;
    line = std::strchr(line, '\n');
    if (line != nullptr) ++line;
  }
  return false;
}

int32_t LineNumberAt(const char* text, const char* position) {
  int32_t line = 1;
  for (const char* p = text; p < position; ++p) line += *p == '\n' ? 1 : 0;
  return line;
}

// A block that breaks off before its vertex lines is a damaged file.
bool BreaksOff(std::string& why, const char* text, const char* polyline,
                  const char* missing) {
  return Fail(why, "breaks off in the Polyline block at line " +
                         std::to_string(LineNumberAt(text, polyline)) + ": " + missing);
}

}  // namespace

bool ApplyDesignWorkshop(SceneFile& scene, const char* text, size_t /*size*/, Reporter& reporter,
                         RectWriteFailures& failures, std::string& why) {
  if (text[0] != '\0' && !LooksLikeDesignWorkshop(text)) {
    return Fail(why, "is not a Design Workshop file: it holds no Polyline block and no header line");
  }
  const char* cursor = text;
  int32_t i = 0;
  int32_t vertexCount = 0;  // kept from block to block when a count is missing
  while (i < scene.GetRectCount() && !scene.WasReplaced()) {
    const char* polyline = std::strstr(cursor, "Polyline:");
    if (polyline == nullptr) {
      ClearRemainingRects(scene, i, failures);
      break;
    }
    RectCoords corners = {};
    const char* mat = std::strstr(polyline, "Mat:");
    if (mat == nullptr) return BreaksOff(why, text, polyline, "no Mat: follows");
    int32_t material = 0;
    ScanKeywordInt(mat, "Mat:", &material);
    ApplyMaterial(scene, i, material, reporter, failures);

    cursor = std::strstr(mat, "numVerts:");
    if (cursor == nullptr) return BreaksOff(why, text, polyline, "no numVerts: follows");
    ScanKeywordInt(cursor, "numVerts:", &vertexCount);
    if (vertexCount != 4) continue;
    const char* feed = std::strchr(cursor, '\n');
    if (feed == nullptr) return BreaksOff(why, text, polyline, "no vertex lines follow");
    cursor = feed + 1;
    ScanVertexLines(cursor, &corners);
    if (!AbsoluteCornerSumIsPositive(corners)) continue;

    reporter.Say(FillTemplate(messages::kDesignWorkshopProgress, ShownCornersOffset(scene, i)));
    std::string cannot;
    if (!scene.UpdateRect(i, &corners, nullptr, cannot)) failures.Add(i, cannot);
    ++i;
  }
  reporter.Say(FillTemplate(messages::kRectanglesImported, i));
  return true;
}
