// The quad that two triangles make, as an editor's triangulation writes
// one: by the identities of their corners, whatever those stand for (an
// OBJ's vertex indexes, or the distinct vertices of a glTF mesh).
#ifndef QUADKIT_IMPORT_TRIANGLE_QUAD_H_
#define QUADKIT_IMPORT_TRIANGLE_QUAD_H_

#include <cstdint>

// One corner of a face: the 0-based ids of its position and of its
// texture coordinates (-1 when the face gives none).
struct TriangleCorner {
  int64_t position;
  int64_t texCoord;
};

// The corner of triangle whose position is position, or -1.
int IndexOfPosition(const TriangleCorner (&triangle)[3], int64_t position);

// Rebuilds the quad that two triangles make: each has three distinct
// positions, together they have four, and the edge they share runs the
// opposite way in each, so that both wind alike. The quad runs round their
// common boundary in that winding, starting at the corner of the lowest
// position id (for OBJ, the one whose v line comes first). The texture
// coordinates of a shared corner are taken from the first triangle. False
// when the triangles make no such quad.
bool QuadFromTriangles(const TriangleCorner (&first)[3], const TriangleCorner (&second)[3],
                       TriangleCorner (&quad)[4]);

#endif  // QUADKIT_IMPORT_TRIANGLE_QUAD_H_
