// Wavefront OBJ text with a companion material library (MTL), CR LF lines.
//
//   # quadkit OBJ export of <scene>: <count> rectangles
//   # coordinates as the scene stores them: y up, ... v not flipped
//   mtllib <name of the .mtl beside the output>
//   o Rect_<index + 1>                  for each rectangle written
//   v <x> <y> <z>                       corners 0..3, "%f", as stored
//   vt <u> <v>                          their texture coordinates, as stored
//   usemtl <texture word>               (null) for a texture not in the table
//   f a/a b/b c/c d/d                   one quad, global 1-based indices
//
// The library has one "newmtl <texture word>" per texture, in table order,
// with a plain diffuse colour, and then "newmtl (null)" in magenta for the
// rectangles without a valid texture. Texture words are encoded as in
// scene/texture_name_codec.h, so that any name survives the round trip.
#ifndef QUADKIT_EXPORT_OBJ_WRITER_H_
#define QUADKIT_EXPORT_OBJ_WRITER_H_

#include "export/export_writer.h"

// The material library, written beside the output.
void WriteObjMaterialLibrary(WriterContext& context);
// The header names the library's file in its mtllib line.
void WriteObjHeader(WriterContext& context);
// Vertex numbers count on from the rectangles written before. Without
// texture coordinates every u and v is written as zero.
void WriteObjRect(WriterContext& context);
void WriteObjFooter(WriterContext& context);

extern const WriterTriple kObjWriters;

#endif  // QUADKIT_EXPORT_OBJ_WRITER_H_
