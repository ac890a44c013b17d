#include "export/design_workshop_writer.h"

#include <string>


namespace {

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
    "Mat: %d\r\n"
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
// file cannot be read again; the export then fails as after any failed read
// of the scene.
bool AppendCountedMaterials(const SceneFile& scene, std::string& text) {
  StoredTextureTable table;
  if (!scene.ReadTextureTableAgain(table)) return false;
  AppendTemplate(text, "numMaterials: %d\r\n\r\n", {table.count});
  for (int32_t k = 0; k < table.count; ++k) {
    AppendTemplate(text, "Material: %s\r\n%d\r\n\r\n", {table.names[k].text, k + 1});
  }
  return true;
}

}  // namespace

const WriterTriple kDesignWorkshopWriters = {WriteDesignWorkshopHeader, WriteDesignWorkshopRect,
                                             WriteDesignWorkshopFooter, nullptr, nullptr};

void WriteDesignWorkshopHeader(WriterContext& context) {
  AppendTemplate(context.text, kHeaderTemplate, {context.rectCount});
  const size_t materialsStart = context.text.size();
  if (!AppendCountedMaterials(context.scene, context.text)) {
    context.text.resize(materialsStart);
    context.text += kFallbackMaterials;
  }
}

void WriteDesignWorkshopRect(WriterContext& context) {
  const RectCoords& c = *context.corners;
  if (!AbsoluteCornerSumIsPositive(c)) return;
  // The failure value -1 gives material 0, the fallback material "none".
  const long long material = static_cast<long long>(context.scene.GetRectTextureIndex(context.index)) + 1;
  AppendTemplate(context.text, kPolylineTemplate,
                 {material, c[0], c[2], c[1], c[3], c[5], c[4], c[6], c[8], c[7], c[9], c[11],
                  c[10]});
}

void WriteDesignWorkshopFooter(WriterContext& context) { context.text += "\r\n"; }
