#include "import/import_scene.h"

int32_t ImportSceneAs(const char* scenePath, const char* textPath, const ImportFormat& format,
                      Reporter& reporter, std::string& why) {
  return format.reader != nullptr
             ? ImportFileImage(scenePath, textPath, format.kind, format.reader, reporter, why)
             : ImportFile(scenePath, textPath, format.kind, format.fileReader, reporter, why);
}

int32_t ImportOpenSceneAs(SceneFile& scene, const char* textName, const FileImage& image, const ImportFormat& format,
                      Reporter& reporter, std::string& why) {
  return format.reader != nullptr
             ? ImportImageInto(scene, textName, image, format.kind, format.reader, reporter, why)
             : ImportImageInto(scene, textName, image, format.kind, format.fileReader, reporter, why);
}
