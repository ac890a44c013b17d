// Wavefront OBJ text with a companion material library (MTL), CR LF lines.
//
//   # quadkit OBJ export of <scene>: <count> rectangles
//   mtllib <name of the .mtl beside the output>
//   o Rect_<index + 1>                  for each rectangle written
//   v <x> <y> <z>                       corners 0..3, "%f", as stored
//   vt <u> <v>                          their texture coordinates, as stored
//   usemtl <texture word>               only for a valid texture
//   f a/a b/b c/c d/d                   one quad, global 1-based indices
//
// The library has one "newmtl <texture word>" per texture, in table order,
// with a plain diffuse colour. Texture words are encoded as in
// scene/texture_name_codec.h, so that any name survives the round trip.
#ifndef QUADKIT_EXPORT_OBJ_WRITER_H_
#define QUADKIT_EXPORT_OBJ_WRITER_H_

#include <cstdint>
#include <cstdio>
#include <string>

#include "scene/scene_file.h"

// The library's path: the output path with its extension (the part of the
// file name from its last '.') replaced by ".mtl", or ".mtl" added.
std::string ObjMaterialLibraryPath(const std::string& outputPath);

// Writes the material library; false with error filled when it cannot be
// created or written.
bool WriteObjMaterialLibrary(const std::string& path, const SceneFile& scene,
                             std::string* error);

// libraryPath: the library beside the output; mtllib names its file name.
void WriteObjHeader(int32_t count, std::FILE* out, const SceneFile& scene,
                    const std::string& libraryPath);
// firstVertex: the 1-based number of this rectangle's first v (and vt) line.
// texCoords may be null: every u and v is then written as zero.
void WriteObjRect(int32_t index, const RectCoords& corners, const RectTexCoords* texCoords,
                  int64_t firstVertex, std::FILE* out, const SceneFile& scene);
void WriteObjFooter(int32_t count, std::FILE* out);

#endif  // QUADKIT_EXPORT_OBJ_WRITER_H_
