// Wavefront OBJ text with a companion material library (MTL), CR LF lines.
//
//   # quadkit OBJ export of <scene>: <count> rectangles
//   # coordinates as the scene stores them: y up, ... v not flipped
//   mtllib <name of the .mtl beside the output>
//   o Rect_<index + 1>                  for each rectangle written
//   v <x> <y> <z>                       corners 0..3, as stored
//   vt <u> <v>                          their texture coordinates, as stored
//   usemtl <texture word>               (null) for a texture not in the table
//   f a/a b/b c/c d/d                   one quad, global 1-based indices
//
// Every number is the shortest plain decimal text that reads back as the
// same float ("0.1", "-0", "256"), so the file carries every bit.
//
// The library has one "newmtl <texture word>" per texture, in table order,
// with a plain diffuse colour, and then "newmtl (null)" in magenta for the
// rectangles without a valid texture. Texture words are encoded as in
// formats/texture_name_codec.h, so that any name survives the round trip.
#ifndef QUADKIT_EXPORT_OBJ_WRITER_H_
#define QUADKIT_EXPORT_OBJ_WRITER_H_

#include "export/export_format.h"

// The material library, written beside the output.
void WriteObjMaterialLibrary(const SceneFile& scene, std::string& text);
// The header names the library's file in its mtllib line.
void WriteObjHeader(const SceneFile& scene, const std::string& libraryPath, std::string& text);
// Vertex numbers count on from the rectangles written before.
void WriteObjRect(const ExportRect& rect, int64_t rectsBefore, std::string& text);
void WriteObjFooter(std::string& text);

std::unique_ptr<FormatExport> MakeObjExport();

#endif  // QUADKIT_EXPORT_OBJ_WRITER_H_
