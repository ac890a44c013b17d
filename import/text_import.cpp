#include "import/text_import.h"

#include "files/file_image.h"
#include "files/platform_files.h"
#include "report/failure.h"

namespace {

// The frame after the text is read: the reader, then the rectangles that
// could not be written, then the end of the run. quoted names the text.
template <typename Read>
int32_t ApplyImage(SceneFile& scene, const std::string& quoted, const FileImage& image, const char* kind,
                   Read reader, Reporter& reporter, std::string& why) {
  if (!scene.CheckWritable(why)) return kModeFailed;
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
  // Whether the scene can be written is known before the text is read.
  if (!scene.Lock(LockMode::kExclusive, why) || !scene.CheckWritable(why)) return kModeFailed;
  FileImage image;
  if (!LoadFileImage(textPath, image, why)) return kModeFailed;
  return ApplyImage(scene, quoted, image, kind, reader, reporter, why);
}

// The readers in the frame's own shape.
auto ImageReading(ImageReader reader, Reporter& reporter) {
  return [reader, &reporter](SceneFile& scene, const FileImage& image, RectWriteFailures& failures,
                             std::string& refusal) {
    return reader(scene, image.text.get(), image.size, reporter, failures, refusal);
  };
}

auto FileReading(FileReader reader, const char* path, Reporter& reporter) {
  return [reader, path, &reporter](SceneFile& scene, const FileImage& image, RectWriteFailures& failures,
                                   std::string& refusal) {
    return reader(scene, path, image.text.get(), image.size, reporter, failures, refusal);
  };
}

}  // namespace

int32_t ImportFileImage(const char* scenePath, const char* textPath, const char* kind,
                        ImageReader reader, Reporter& reporter, std::string& why) {
  return RunImport(scenePath, textPath, kind, ImageReading(reader, reporter), reporter, why);
}

int32_t ImportFile(const char* scenePath, const char* path, const char* kind, FileReader reader,
                   Reporter& reporter, std::string& why) {
  return RunImport(scenePath, path, kind, FileReading(reader, path, reporter), reporter, why);
}

int32_t ImportImageInto(SceneFile& scene, const char* textName, const FileImage& image, const char* kind,
                        ImageReader reader, Reporter& reporter, std::string& why) {
  return ApplyImage(scene, Quoted(textName), image, kind, ImageReading(reader, reporter), reporter, why);
}

int32_t ImportImageInto(SceneFile& scene, const char* path, const FileImage& image, const char* kind,
                        FileReader reader, Reporter& reporter, std::string& why) {
  return ApplyImage(scene, Quoted(path), image, kind, FileReading(reader, path, reporter), reporter, why);
}
