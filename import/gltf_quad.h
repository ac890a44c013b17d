// The quad that a glTF mesh's two triangles make, rebuilt in the order in
// which the scene stores the rectangle's corners.
#ifndef QUADKIT_IMPORT_GLTF_QUAD_H_
#define QUADKIT_IMPORT_GLTF_QUAD_H_

#include "scene/scene_file.h"

// One vertex as the mesh gives it.
struct GltfCorner {
  float position[3];
  float texCoord[2];
};

// Rebuilds the quad that two triangles make, in the order of the stored
// corners: the triangles share one edge, running opposite ways; of the
// four turns of the ring they make, the one that matches the most stored
// corners is taken (then the one whose corners differ from the stored ones
// by the most nearly equal offsets). Two triangles whose corners coincide
// (a cleared rectangle) are taken as the stored quad when every corner
// matches it. False when they make no quad.
bool RebuildQuad(const GltfCorner (&triangles)[2][3], bool hasTexCoords, const RectCoords& corners,
                 const RectTexCoords& texCoords, GltfCorner (&quad)[4]);

#endif  // QUADKIT_IMPORT_GLTF_QUAD_H_
