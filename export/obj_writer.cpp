#include "export/obj_writer.h"

#include <cerrno>
#include <cstring>

#include "export/text_output.h"
#include "scene/file_access.h"
#include "scene/texture_name_codec.h"

namespace {

constexpr size_t kLineBufferSize = 1024;  // a v line is at most 3 * 47 + 6 characters

// Formats one line into a zero-filled buffer and appends it to text.
template <typename... Args>
void AppendLine(std::string* text, const char* format, Args... args) {
  char buffer[kLineBufferSize] = {};
  std::snprintf(buffer, sizeof buffer, format, args...);
  text->append(buffer);
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string ObjMaterialLibraryPath(const std::string& outputPath) {
  const size_t slash = outputPath.find_last_of('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = outputPath.find_last_of('.');
  if (dot == std::string::npos || dot < nameStart) return outputPath + ".mtl";
  return outputPath.substr(0, dot) + ".mtl";
}

bool WriteObjMaterialLibrary(const std::string& path, const SceneFile& scene,
                             std::string* error) {
  std::string text;
  AppendLine(&text, "# quadkit materials: %d textures\r\n", static_cast<int>(scene.GetTextureCount()));
  for (int32_t t = 0; t < scene.GetTextureCount(); ++t) {
    text += "\r\nnewmtl " + EncodeTextureWord(scene.GetTextureName(t)) + "\r\n";
    text += "Kd 0.800000 0.800000 0.800000\r\n";
  }
  FileHandle file = OpenFile(path.c_str(), "wb");
  bool written = file && WriteBytes(file.get(), text.data(), text.size());
  if (file) written = CloseFile(std::move(file)) && written;
  if (!written && error != nullptr) {
    *error = "cannot write material library '" + path + "': " + std::strerror(errno);
  }
  return written;
}

void WriteObjHeader(int32_t count, std::FILE* out, const SceneFile& scene,
                    const std::string& libraryPath) {
  std::string text;
  AppendLine(&text, "# quadkit OBJ export of %s: %d rectangles\r\n",
             BaseName(scene.GetFileName()).c_str(), static_cast<int>(count));
  text += "mtllib " + BaseName(libraryPath) + "\r\n";
  WriteText(text.c_str(), out);
}

void WriteObjRect(int32_t index, const RectCoords& c, const RectTexCoords* texCoords,
                  int64_t firstVertex, std::FILE* out, const SceneFile& scene) {
  const RectTexCoords noTexCoords = {};
  const RectTexCoords& uv = texCoords != nullptr ? *texCoords : noTexCoords;
  std::string text;
  AppendLine(&text, "o Rect_%d\r\n", static_cast<int>(index) + 1);
  for (int k = 0; k < 4; ++k) AppendLine(&text, "v %f %f %f\r\n", c[3 * k], c[3 * k + 1], c[3 * k + 2]);
  for (int k = 0; k < 4; ++k) AppendLine(&text, "vt %f %f\r\n", uv[2 * k], uv[2 * k + 1]);
  const char* name = scene.GetRectTextureName(index);
  if (name != nullptr) text += "usemtl " + EncodeTextureWord(name) + "\r\n";
  const long long a = firstVertex;
  AppendLine(&text, "f %lld/%lld %lld/%lld %lld/%lld %lld/%lld\r\n", a, a, a + 1, a + 1, a + 2,
             a + 2, a + 3, a + 3);
  WriteText(text.c_str(), out);
}

void WriteObjFooter(int32_t /*count*/, std::FILE* out) { WriteText("# end\r\n", out); }
