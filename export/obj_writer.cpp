#include "export/obj_writer.h"

#include "scene/texture_name_codec.h"

namespace {

// The material of a rectangle whose texture is not in the scene's table.
// No texture's word is: a word without '%' stands for itself, and a name
// has at most four characters. The import warns about it as about any
// name the scene lacks, and leaves the texture as it is.
const char kNoTextureMaterial[] = "(null)";

const char kRectTemplate[] =
    "o Rect_%d\r\n"
    "v %f %f %f\r\n"
    "v %f %f %f\r\n"
    "v %f %f %f\r\n"
    "v %f %f %f\r\n"
    "vt %f %f\r\n"
    "vt %f %f\r\n"
    "vt %f %f\r\n"
    "vt %f %f\r\n";

}  // namespace

const WriterTriple kObjWriters = {WriteObjHeader, WriteObjRect, WriteObjFooter, ".mtl",
                                  WriteObjMaterialLibrary};

void WriteObjMaterialLibrary(WriterContext& context) {
  const SceneFile& scene = context.scene;
  AppendTemplate(context.text, "# quadkit materials: %d textures\r\n", {scene.GetTextureCount()});
  for (int32_t t = 0; t < scene.GetTextureCount(); ++t) {
    AppendTemplate(context.text, "\r\nnewmtl %s\r\nKd 0.800000 0.800000 0.800000\r\n",
                   {EncodeTextureWord(scene.GetTextureName(t))});
  }
  AppendTemplate(context.text,
                 "\r\n# rectangles whose texture is not in the scene\r\nnewmtl %s\r\n"
                 "Kd 1.000000 0.000000 1.000000\r\n",
                 {kNoTextureMaterial});
}

void WriteObjHeader(WriterContext& context) {
  AppendTemplate(context.text,
                 "# quadkit OBJ export of %s: %d rectangles\r\n"
                 "# coordinates as the scene stores them: y up, no axis swapped; "
                 "texture coordinates as stored: v not flipped\r\n"
                 "mtllib %s\r\n",
                 {FileNameOf(context.scene.GetFileName()), context.rectCount,
                  FileNameOf(context.companionPath)});
}

void WriteObjRect(WriterContext& context) {
  const RectTexCoords noTexCoords = {};
  const RectTexCoords& uv = context.texCoords != nullptr ? *context.texCoords : noTexCoords;
  const RectCoords& c = *context.corners;
  AppendTemplate(context.text, kRectTemplate,
                 {context.index + 1, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8], c[9],
                  c[10], c[11], uv[0], uv[1], uv[2], uv[3], uv[4], uv[5], uv[6], uv[7]});
  const char* name = context.scene.GetRectTextureName(context.index);
  // Every object names its material: in OBJ a usemtl holds on into the
  // objects after it.
  AppendTemplate(context.text, "usemtl %s\r\n",
                 {name != nullptr ? EncodeTextureWord(name) : std::string(kNoTextureMaterial)});
  const long long a = 4 * context.rectsWritten + 1;
  AppendTemplate(context.text, "f %d/%d %d/%d %d/%d %d/%d\r\n",
                 {a, a, a + 1, a + 1, a + 2, a + 2, a + 3, a + 3});
}

void WriteObjFooter(WriterContext& context) { context.text += "# end\r\n"; }
