#include "export/export_scene.h"

#include "report/failure.h"

namespace {

// Where the warnings of an export go when its caller wants none.
class SilentReporter : public Reporter {
 public:
  void Say(const std::string&) override {}
  void Complain(const std::string&) override {}
};

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
                      std::string& why, const char* textureFolder, Reporter* reporter) {
  static SilentReporter silent;
  const std::unique_ptr<FormatExport> writer = format.makeExport();
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
  if (ExportOpenSceneAs(scene, files, format, *writer, why) != 0 || !files.CommitAll(why)) return kModeFailed;
  scene.Close();
  return 0;
}

int32_t ExportOpenSceneAs(SceneFile& scene, ExportOutputs& outputs, const ExportFormat& format,
                          FormatExport& writer, std::string& why) {
  if (!writer.Begin(scene, outputs, why) || !ExportRects(scene, format, writer, why) || !writer.Finish(why) ||
      !scene.EndRun(why)) {
    return kModeFailed;
  }
  return 0;
}

int32_t ExportOpenSceneAs(SceneFile& scene, ExportOutputs& outputs, const ExportFormat& format, std::string& why) {
  const std::unique_ptr<FormatExport> writer = format.makeExport();
  return ExportOpenSceneAs(scene, outputs, format, *writer, why);
}
