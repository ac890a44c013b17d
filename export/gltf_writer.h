// glTF 2.0: the JSON file with its buffer beside it (.gltf and .bin, /GLTF)
// or both in one binary container (.glb, /GLB).
//
// One scene, one node per rectangle named Rect_<index + 1>, each with a mesh
// of the same name holding one primitive: its four corners as stored
// (POSITION, 32-bit floats, no axis changed: the scene's y is glTF's up),
// their texture coordinates as stored (TEXCOORD_0: glTF, like the scene,
// puts the texture origin at the top left), and the two triangles
// 0 1 2 and 0 2 3 (16-bit indices, one accessor that every primitive
// shares). A cleared rectangle is written like any other.
//
// One material per texture of the scene's table, in table order, named by
// the texture's word as in OBJ (formats/texture_name_codec.h: plain ASCII,
// so the JSON is UTF-8 whatever bytes a name holds), then "(null)" for the
// rectangles whose texture is not in the table; each has a base colour of
// its own so that a viewer shows them apart.
//
// The buffer holds every rectangle's positions, then every rectangle's
// texture coordinates, then the indices. The JSON names quadkit and its
// version as the generator, and is written last, when the extents of every
// rectangle are known. Coordinates that are no finite number cannot be
// written: the export then fails, naming the rectangle.
#ifndef QUADKIT_EXPORT_GLTF_WRITER_H_
#define QUADKIT_EXPORT_GLTF_WRITER_H_

#include "export/export_format.h"

std::unique_ptr<FormatExport> MakeGltfExport();
std::unique_ptr<FormatExport> MakeGlbExport();

#endif  // QUADKIT_EXPORT_GLTF_WRITER_H_
