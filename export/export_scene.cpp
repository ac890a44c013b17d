#include "export/export_scene.h"

#include "export/ascii_writer.h"
#include "export/design_workshop_writer.h"
#include "export/directx_writer.h"
#include "export/gltf_writer.h"
#include "export/iges_outline_writer.h"
#include "export/iges_surface_writer.h"
#include "export/obj_writer.h"
#include "report/failure.h"
#include "report/messages.h"

const FormatRow kFormats[] = {
    {kFormatAscii, nullptr, messages::kUsingAscii, true, MakeAsciiExport},
    {kFormatDirectX, "/DX", messages::kUsingDirectX, false, MakeDirectXExport},
    {kFormatIgesOutline, "/CAD", messages::kUsingCad, false, MakeIgesOutlineExport},
    {kFormatDesignWorkshop, "/DW", messages::kUsingDesignWorkshop, true, MakeDesignWorkshopExport},
    {kFormatObj, "/OBJ", messages::kUsingObj, true, MakeObjExport},
    {kFormatIgesSurfaces, "/IGES", messages::kUsingIges, true, MakeIgesSurfaceExport},
    {kFormatGltf, "/GLTF", messages::kUsingGltf, true, MakeGltfExport},
    {kFormatGlb, "/GLB", messages::kUsingGlb, true, MakeGlbExport},
};
const size_t kFormatCount = sizeof kFormats / sizeof kFormats[0];

const FormatRow& FindFormat(InterchangeFormat format) {
  for (const FormatRow& row : kFormats) {
    if (row.format == format) return row;
  }
  return kFormats[0];
}

namespace {

// Where the warnings of an export go when its caller wants none.
class SilentReporter : public Reporter {
 public:
  void Say(const std::string&) override {}
  void Complain(const std::string&) override {}
};

// Reads every rectangle and hands it to the format. A rectangle that cannot
// be read fails the export: the output would lack it.
bool ExportRects(SceneFile& scene, const FormatRow& row, FormatExport& writer, std::string& why) {
  for (int32_t i = 0; i < scene.GetRectCount(); ++i) {
    const RectCoords* corners = scene.GetRectCoords(i, why);
    const RectTexCoords* texCoords = corners != nullptr ? scene.GetRectTexCoords(i, why) : nullptr;
    if (texCoords == nullptr) return false;
    ExportRect rect = {i, *corners, *texCoords, RectTexture()};
    if (row.readsTextures && !scene.ReadRectTexture(i, rect.texture, why)) return false;
    if (!writer.AddRect(rect, why)) return false;
  }
  return true;
}

}  // namespace

int32_t ExportScene(const char* scenePath, const char* outputPath, InterchangeFormat format,
                    std::string& why, const char* textureFolder, Reporter* reporter) {
  const FormatRow& row = FindFormat(format);
  static SilentReporter silent;
  const std::unique_ptr<FormatExport> writer = row.makeExport();
  if (textureFolder != nullptr &&
      !writer->UseTextureFolder(textureFolder, reporter != nullptr ? *reporter : silent, why)) {
    return kModeFailed;
  }
  SceneFile scene;
  // The shared lock keeps runs that write the scene out until the export
  // has read it whole.
  if (!scene.Open(scenePath, why) || !scene.Lock(LockMode::kShared, why)) return kModeFailed;
  ExportFiles files(scenePath, outputPath);
  if (!files.CreateOutput(why)) return kModeFailed;
  if (!writer->Begin(scene, files, why) || !ExportRects(scene, row, *writer, why) ||
      !writer->Finish(why) || !scene.EndRun(why) || !files.CommitAll(why)) {
    return kModeFailed;
  }
  scene.Close();
  return 0;
}
