#include "export/design_workshop_writer.h"

#include <string>

#include "formats/design_workshop_rules.h"
#include "text/text_template.h"

namespace {

constexpr TextTemplate<IntValue> kHeaderTemplate{
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
    "\r\n"};

constexpr TextTemplate<IntValue> kMaterialCountTemplate{"numMaterials: %d\r\n\r\n"};
constexpr TextTemplate<TextValue, IntValue> kMaterialTemplate{"Material: %s\r\n%d\r\n\r\n"};

using Real = RealValue;
constexpr TextTemplate<IntValue, Real, Real, Real, Real, Real, Real, Real, Real, Real, Real, Real, Real>
    kPolylineTemplate{
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
    "\r\n"};

class DesignWorkshopExport : public FormatExport {
 public:
  bool Begin(const SceneFile& scene, ExportOutputs& files, std::string& why) override {
    output_ = &files.output();
    count_ = scene.GetRectCount();
    return WriteDesignWorkshopHeader(count_, scene, text_, why) && WriteAndClear(*output_, text_, why);
  }
  bool AddRect(const ExportRect& rect, std::string& why) override {
    WriteDesignWorkshopRect(rect, text_);
    return WriteAndClear(*output_, text_, why);
  }
  bool Finish(std::string& why) override {
    WriteDesignWorkshopFooter(count_, text_);
    return WriteAndClear(*output_, text_, why);
  }

 private:
  OutputSink* output_ = nullptr;
  int32_t count_ = 0;
  std::string text_;
};

}  // namespace

bool WriteDesignWorkshopHeader(int32_t count, const SceneFile& scene, std::string& text,
                               std::string& why) {
  AppendTemplate(text, kHeaderTemplate, count);
  // The materials block, read from the scene file itself. It grows with the
  // texture count, so no texture is ever cut off.
  StoredTextureTable table;
  if (!scene.ReadTextureTableAgain(table, why)) return false;
  AppendTemplate(text, kMaterialCountTemplate, table.count);
  for (int32_t k = 0; k < table.count; ++k) {
    AppendTemplate(text, kMaterialTemplate, table.names[k].text, k + 1);
  }
  return true;
}

void WriteDesignWorkshopRect(const ExportRect& rect, std::string& text) {
  const RectCoords& c = rect.corners;
  if (!AbsoluteCornerSumIsPositive(c)) return;
  const int64_t material = static_cast<int64_t>(rect.texture.index) + 1;
  AppendTemplate(text, kPolylineTemplate, material, c[0], c[2], c[1], c[3], c[5], c[4], c[6], c[8],
                 c[7], c[9], c[11], c[10]);
}

void WriteDesignWorkshopFooter(int32_t /*count*/, std::string& text) { text += "\r\n"; }

std::unique_ptr<FormatExport> MakeDesignWorkshopExport() {
  return std::make_unique<DesignWorkshopExport>();
}
