#include "import/text_import.h"

#include "files/file_image.h"
#include "files/platform_files.h"
#include "report/failure.h"

namespace {

template <typename Read>
int32_t RunImport(const char* scenePath, const char* textPath, const char* kind, Read reader,
                  Reporter& reporter, std::string& why) {
  SceneFile scene;
  if (!scene.OpenForUpdate(scenePath, why)) return kModeFailed;
  const std::string quoted = Quoted(textPath);
  if (NameSameFile(scenePath, textPath)) {
    Fail(why, "refusing to import " + quoted + ": it is the scene file itself");
    return kModeFailed;
  }
  if (!scene.Lock(LockMode::kExclusive, why) || !scene.CheckWritable(why)) return kModeFailed;
  FileImage image;
  if (!LoadFileImage(textPath, image, why)) return kModeFailed;
  RectWriteFailures failures(reporter);
  std::string refusal;
  if (!reader(scene, image, failures, refusal)) {
    Fail(why, kind + (" " + quoted + " ") + refusal);
    return kModeFailed;
  }
  if (failures.count() > 0) {
    Fail(why, failures.Summary(scene.GetFileName()));
    return kModeFailed;
  }
  return scene.EndRun(why) ? 0 : kModeFailed;
}

}  // namespace

int32_t ImportFileImage(const char* scenePath, const char* textPath, const char* kind,
                        ImageReader reader, Reporter& reporter, std::string& why) {
  return RunImport(
      scenePath, textPath, kind,
      [&](SceneFile& scene, const FileImage& image, RectWriteFailures& failures, std::string& refusal) {
        return reader(scene, image.text.get(), image.size, reporter, failures, refusal);
      },
      reporter, why);
}

int32_t ImportFile(const char* scenePath, const char* path, const char* kind, FileReader reader,
                   Reporter& reporter, std::string& why) {
  return RunImport(
      scenePath, path, kind,
      [&](SceneFile& scene, const FileImage& image, RectWriteFailures& failures, std::string& refusal) {
        return reader(scene, path, image.text.get(), image.size, reporter, failures, refusal);
      },
      reporter, why);
}
