#include "export/obj_writer.h"

#include <cstring>

#include "formats/texture_name_codec.h"
#include "text/fixed_decimal.h"
#include "text/float_text.h"
#include "text/text_template.h"

namespace {

// The material of a rectangle whose texture is not in the scene's table.
// No texture's word is: a word without '%' stands for itself, and a name
// has at most four characters. The import warns about it as about any
// name the scene lacks, and leaves the texture as it is.
const char kNoTextureMaterial[] = "(null)";

constexpr TextTemplate<TextValue> kUseMaterial{"usemtl %s\r\n"};
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

namespace {

char* PutLiteral(char* out, const char* literal, size_t length) {
  std::memcpy(out, literal, length);
  return out + length;
}

char* PutInteger(char* out, long long value) {
  if (value < 0) {
    *out++ = '-';
    return WriteDecimalDigits(out, 0ull - static_cast<unsigned long long>(value));
  }
  return WriteDecimalDigits(out, static_cast<unsigned long long>(value));
}

// A keyword and count values, each in the shortest text that reads back
// as the same float, so that the file holds every bit the scene does.
char* PutNumberLine(char* out, const char* keyword, size_t keywordLength, const float* values, int count) {
  out = PutLiteral(out, keyword, keywordLength);
  for (int k = 0; k < count; ++k) {
    *out++ = ' ';
    out = WritePlainShortestFloatText(out, values[k]);
  }
  *out++ = '\r';
  *out++ = '\n';
  return out;
}

// The object line and the eight number lines of a rectangle.
constexpr size_t kRectBlockRoom = 16 + 24 + 4 * (2 + 3 * (1 + kPlainShortestFloatRoom) + 2) +
                                  4 * (3 + 2 * (1 + kPlainShortestFloatRoom) + 2);
// The face line: four pairs of indices.
constexpr size_t kFaceRoom = 2 + 8 * 22 + 2;

}  // namespace

// "o Rect_N", four "v x y z" and four "vt u v" lines, "usemtl word" and
// "f a/a b/b c/c d/d", the numbers written straight into two blocks around
// the material line.
void WriteObjRect(const ExportRect& rect, int64_t rectsBefore, std::string& text) {
  char block[kRectBlockRoom];
  char* end = PutLiteral(block, "o Rect_", 7);
  end = PutInteger(end, static_cast<long long>(rect.index) + 1);
  end = PutLiteral(end, "\r\n", 2);
  for (int k = 0; k < 4; ++k) end = PutNumberLine(end, "v", 1, &rect.corners[3 * k], 3);
  for (int k = 0; k < 4; ++k) end = PutNumberLine(end, "vt", 2, &rect.texCoords[2 * k], 2);
  text.append(block, static_cast<size_t>(end - block));
  // Every object names its material: in OBJ a usemtl holds on into the
  // objects after it.
  const char* name = rect.texture.name;
  AppendTemplate(text, kUseMaterial,
                 name != nullptr ? EncodeTextureWord(name) : std::string(kNoTextureMaterial));
  const long long a = 4 * rectsBefore + 1;
  char face[kFaceRoom];
  end = PutLiteral(face, "f ", 2);
  for (long long k = 0; k < 4; ++k) {
    if (k > 0) *end++ = ' ';
    end = PutInteger(end, a + k);
    *end++ = '/';
    end = PutInteger(end, a + k);
  }
  end = PutLiteral(end, "\r\n", 2);
  text.append(face, static_cast<size_t>(end - face));
}

void WriteObjFooter(std::string& text) { text += "# end\r\n"; }

std::unique_ptr<FormatExport> MakeObjExport() { return std::make_unique<ObjExport>(); }
