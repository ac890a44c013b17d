#include "import/import_text_file.h"

#include "scene/file_access.h"

namespace {

int32_t Fail(std::string* error, const std::string& message) {
  if (error != nullptr) *error = message;
  return -1;
}

}  // namespace

int32_t ImportTextFile(const char* scenePath, const char* textPath, const char* kind,
                       ApplyTextImage apply, std::string* error) {
  SceneFile scene;
  if (!scene.Open(scenePath, error)) return -1;
  const std::string quoted = "'" + std::string(textPath) + "'";
  if (NameSameFile(scenePath, textPath)) {
    return Fail(error, "refusing to import " + quoted + ": it is the scene file itself");
  }
  TextImage image;
  if (!LoadTextImage(textPath, &image, error)) return -1;
  std::string why;
  if (apply(scene, image, &why) != 0) return Fail(error, kind + (" " + quoted + " ") + why);
  return 0;
}
