#include "export/design_workshop_writer.h"

#include <cstring>
#include <string>

#include "export/text_output.h"
#include "scene/file_access.h"

namespace {

constexpr size_t kHeaderBufferSize = 16384;
constexpr size_t kMaterialBufferSize = 512;
constexpr size_t kPolylineBufferSize = 2048;
constexpr size_t kFooterBufferSize = 1024;

const char kHeaderTemplate[] =
    "4\r\n"
    "//\tNumber of Objects: %d\r\n"
    "\r\n"
    "LengthUnits: Feet.3\r\n"
    "AngleUnits: Degrees.2\r\n"
    "BackgroundGridSizeAndSpacing: 50, 50\r\n"
    "SectionPoint: 0 -4.572 1.2192\r\n"
    "SnapGridSpacing: 50\r\n"
    "\r\n"
    "SnapToHandleDistance: 2\r\n"
    "WallifyThickness: 0.5\r\n"
    "CircleFaceting: 16\r\n"
    "RotationConstraint: 45\r\n"
    "RotationPrecision: 0.5\r\n"
    "PerspLinkedWithAxon: 0\r\n"
    "ViewRotateFactor: 20\r\n"
    "ViewMoveFactor: 20\r\n"
    "\r\n"
    "SunStudyWidthAndHeight: 200, 200\r\n"
    "SunStudyFrameCount: 3\r\n"
    "SunStudyQuickTime: 1\r\n"
    "SunStudyPICT: 0\r\n"
    "SunStudyStartTime: 11:00\r\n"
    "SunStudyEndTime: 13:00\r\n"
    "\r\n"
    "Latitude: 40\r\n"
    "GroundPlaneVisible: 1\r\n"
    "GroundColor: 32110  37355  29490\r\n"
    "SkyColor: 51110  58320  65535\r\n"
    "ObjectColor: 65535  64000  56000\r\n"
    "\r\n"
    "numPhases: 1\r\n"
    "\r\n"
    "Phase: Sketch 1\r\n"
    "1  1  1\r\n"
    "\r\n";

const char kFallbackMaterials[] = "numMaterials: 1\r\n\r\nMaterial: none\r\n0\r\n";

const char kPolylineTemplate[] =
    "Polyline:\r\n"
    "Phase: 1\r\n"
    "Mat: %lld\r\n"
    "Name:\r\n"
    "Color: 65535 64000 56000\r\n"
    "numVerts: 4\r\n"
    "%f %f %f 1\r\n"
    "%f %f %f 1\r\n"
    "%f %f %f 1\r\n"
    "%f %f %f 1\r\n"
    "numEdges: 4\r\n"
    "0 1\r\n"
    "1 2\r\n"
    "2 3\r\n"
    "3 0\r\n"
    "numFaces: 0\r\n"
    "numOpenings: 0\r\n"
    "\r\n";

// The counted materials block, read from the scene file itself. It grows
// with the texture count, so no texture is ever cut off. False when the
// file cannot be opened or its table cannot be read (the count no longer
// fits the file: it changed since it was opened).
bool BuildCountedMaterials(const char* scenePath, std::string* block) {
  FileHandle file = OpenFile(scenePath, "rb");
  StoredTextureTable table;
  std::string why;
  if (!file || !ReadTextureTable(file.get(), &table, &why)) return false;

  char entry[kMaterialBufferSize] = {};
  std::snprintf(entry, sizeof entry, "numMaterials: %d\r\n\r\n", static_cast<int>(table.count));
  block->assign(entry);
  for (int32_t k = 0; k < table.count; ++k) {
    std::memset(entry, 0, sizeof entry);
    std::snprintf(entry, sizeof entry, "Material: %s\r\n%d\r\n\r\n", table.names[k].text,
                  static_cast<int>(k) + 1);
    block->append(entry);
  }
  return true;
}

}  // namespace

void WriteDesignWorkshopHeader(int32_t count, std::FILE* out, const SceneFile& scene) {
  char buffer[kHeaderBufferSize] = {};
  std::snprintf(buffer, sizeof buffer, kHeaderTemplate, static_cast<int>(count));
  WriteText(buffer, out);

  std::string materials;
  if (!BuildCountedMaterials(scene.GetFileName(), &materials)) materials = kFallbackMaterials;
  std::fwrite(materials.data(), 1, materials.size(), out);
}

void WriteDesignWorkshopRect(int32_t index, const RectCoords& c, std::FILE* out,
                             const SceneFile& scene) {
  // The failure value -1 gives material 0, the fallback material "none".
  const long long material = static_cast<long long>(scene.GetRectTextureIndex(index)) + 1;
  char buffer[kPolylineBufferSize] = {};
  std::snprintf(buffer, sizeof buffer, kPolylineTemplate, material,
                c[0], c[2], c[1], c[3], c[5], c[4], c[6], c[8], c[7], c[9], c[11], c[10]);
  if (PassesAllZeroTest(c)) WriteText(buffer, out);
}

void WriteDesignWorkshopFooter(int32_t /*count*/, std::FILE* out) {
  char buffer[kFooterBufferSize] = {};
  std::snprintf(buffer, sizeof buffer, "%s", "\r\n");
  WriteText(buffer, out);
}
