#include "export/obj_writer.h"

#include <cstring>

#include "formats/texture_name_codec.h"
#include "text/float_text.h"
#include "text/text_template.h"

namespace {

// The material of a rectangle whose texture is not in the scene's table.
// No texture's word is: a word without '%' stands for itself, and a name
// has at most four characters. The import warns about it as about any
// name the scene lacks, and leaves the texture as it is.
const char kNoTextureMaterial[] = "(null)";

constexpr TextTemplate<IntValue> kObjectLine{"o Rect_%d\r\n"};
constexpr TextTemplate<TextValue> kUseMaterial{"usemtl %s\r\n"};
constexpr TextTemplate<IntValue, IntValue, IntValue, IntValue, IntValue, IntValue, IntValue, IntValue>
    kFace{"f %d/%d %d/%d %d/%d %d/%d\r\n"};
constexpr TextTemplate<TextValue, IntValue, TextValue> kHeader{
    "# quadkit OBJ export of %s: %d rectangles\r\n"
    "# coordinates as the scene stores them: y up, no axis swapped; "
    "texture coordinates as stored: v not flipped\r\n"
    "mtllib %s\r\n"};
constexpr TextTemplate<IntValue> kLibraryHeader{"# quadkit materials: %d textures\r\n"};
constexpr TextTemplate<TextValue> kTextureMaterial{"\r\nnewmtl %s\r\nKd 0.800000 0.800000 0.800000\r\n"};
constexpr TextTemplate<TextValue> kNoTextureBlock{
    "\r\n# rectangles whose texture is not in the scene\r\nnewmtl %s\r\n"
    "Kd 1.000000 0.000000 1.000000\r\n"};

// A keyword and count values, each in the shortest text that reads back
// as the same float, so that the file holds every bit the scene does.
// The line is put together in one buffer and appended once.
void AppendNumberLine(std::string& text, const char* keyword, const float* values, int count) {
  char line[4 + 3 * (kPlainShortestFloatRoom + 1) + 2];
  const size_t keywordLength = std::strlen(keyword);
  if (count > 3 || keywordLength > 4) {  // more than the lines this file writes: piece by piece
    text += keyword;
    for (int k = 0; k < count; ++k) {
      text += ' ';
      AppendShortestFloat(text, values[k]);
    }
    text += "\r\n";
    return;
  }
  std::memcpy(line, keyword, keywordLength);
  char* end = line + keywordLength;
  for (int k = 0; k < count; ++k) {
    *end++ = ' ';
    end = WritePlainShortestFloatText(end, values[k]);
  }
  *end++ = '\r';
  *end++ = '\n';
  text.append(line, static_cast<size_t>(end - line));
}

class ObjExport : public FormatExport {
 public:
  bool Begin(const SceneFile& scene, ExportOutputs& files, std::string& why) override {
    OutputSink* library = files.AddCompanion(".mtl", "material library", why);
    if (library == nullptr) return false;
    WriteObjMaterialLibrary(scene, text_);
    if (!WriteAndClear(*library, text_, why)) return false;
    output_ = &files.output();
    WriteObjHeader(scene, library->path(), text_);
    return WriteAndClear(*output_, text_, why);
  }
  bool AddRect(const ExportRect& rect, std::string& why) override {
    WriteObjRect(rect, rectsWritten_++, text_);
    return WriteAndClear(*output_, text_, why);
  }
  bool Finish(std::string& why) override {
    WriteObjFooter(text_);
    return WriteAndClear(*output_, text_, why);
  }

 private:
  OutputSink* output_ = nullptr;
  int64_t rectsWritten_ = 0;
  std::string text_;
};

}  // namespace

void WriteObjMaterialLibrary(const SceneFile& scene, std::string& text) {
  AppendTemplate(text, kLibraryHeader, scene.GetTextureCount());
  for (int32_t t = 0; t < scene.GetTextureCount(); ++t) {
    AppendTemplate(text, kTextureMaterial, EncodeTextureWord(scene.GetTextureName(t)));
  }
  AppendTemplate(text, kNoTextureBlock, kNoTextureMaterial);
}

void WriteObjHeader(const SceneFile& scene, const std::string& libraryPath, std::string& text) {
  AppendTemplate(text, kHeader, FileNameOf(scene.GetFileName()), scene.GetRectCount(),
                 FileNameOf(libraryPath));
}

void WriteObjRect(const ExportRect& rect, int64_t rectsBefore, std::string& text) {
  AppendTemplate(text, kObjectLine, rect.index + 1);
  for (int k = 0; k < 4; ++k) AppendNumberLine(text, "v", &rect.corners[3 * k], 3);
  for (int k = 0; k < 4; ++k) AppendNumberLine(text, "vt", &rect.texCoords[2 * k], 2);
  // Every object names its material: in OBJ a usemtl holds on into the
  // objects after it.
  const char* name = rect.texture.name;
  AppendTemplate(text, kUseMaterial,
                 name != nullptr ? EncodeTextureWord(name) : std::string(kNoTextureMaterial));
  const int64_t a = 4 * rectsBefore + 1;
  AppendTemplate(text, kFace, a, a, a + 1, a + 1, a + 2, a + 2, a + 3, a + 3);
}

void WriteObjFooter(std::string& text) { text += "# end\r\n"; }

std::unique_ptr<FormatExport> MakeObjExport() { return std::make_unique<ObjExport>(); }
