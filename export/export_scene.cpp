#include "export/export_scene.h"

#include "report/failure.h"

namespace {

// Reads every rectangle and hands it to the format. A rectangle that cannot
// be read fails the export: the output would lack it.
bool ExportRects(SceneFile& scene, const ExportFormat& format, FormatExport& writer, std::string& why) {
  for (int32_t i = 0; i < scene.GetRectCount(); ++i) {
    const RectCoords* corners = scene.GetRectCoords(i, why);
    const RectTexCoords* texCoords = corners != nullptr ? scene.GetRectTexCoords(i, why) : nullptr;
    if (texCoords == nullptr) return false;
    ExportRect rect = {i, *corners, *texCoords, RectTexture()};
    if (format.readsTextures && !scene.ReadRectTexture(i, rect.texture, why)) return false;
    if (!writer.AddRect(rect, why)) return false;
  }
  return true;
}

}  // namespace

int32_t ExportSceneAs(const char* scenePath, const char* outputPath, const ExportFormat& format,
                      std::string& why) {
  SceneFile scene;
  // The shared lock keeps runs that write the scene out until the export
  // has read it whole.
  if (!scene.Open(scenePath, why) || !scene.Lock(LockMode::kShared, why)) return kModeFailed;
  ExportFiles files(scenePath, outputPath);
  if (!files.CreateOutput(why)) return kModeFailed;
  const std::unique_ptr<FormatExport> writer = format.makeExport();
  if (!writer->Begin(scene, files, why) || !ExportRects(scene, format, *writer, why) ||
      !writer->Finish(why) || !files.CommitAll(why)) {
    return kModeFailed;
  }
  scene.Close();
  return 0;
}
