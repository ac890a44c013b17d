#include "import/triangle_quad.h"

namespace {

bool HasDistinctPositions(const TriangleCorner (&triangle)[3]) {
  return triangle[0].position != triangle[1].position && triangle[1].position != triangle[2].position &&
         triangle[0].position != triangle[2].position;
}

}  // namespace

int IndexOfPosition(const TriangleCorner (&triangle)[3], int64_t position) {
  for (int k = 0; k < 3; ++k) {
    if (triangle[k].position == position) return k;
  }
  return -1;
}

bool QuadFromTriangles(const TriangleCorner (&first)[3], const TriangleCorner (&second)[3], TriangleCorner (&quad)[4]) {
  if (!HasDistinctPositions(first) || !HasDistinctPositions(second)) return false;
  int lone = -1;  // the corner of the first triangle that the second lacks
  for (int k = 0; k < 3; ++k) {
    if (IndexOfPosition(second, first[k].position) >= 0) continue;
    if (lone >= 0) return false;
    lone = k;
  }
  if (lone < 0) return false;
  // The first triangle runs lone, s1, s2; the second must run s2, s1, far.
  const TriangleCorner& s1 = first[(lone + 1) % 3];
  const TriangleCorner& s2 = first[(lone + 2) % 3];
  const int at = IndexOfPosition(second, s2.position);
  if (second[(at + 1) % 3].position != s1.position) return false;
  const TriangleCorner ring[4] = {first[lone], s1, second[(at + 2) % 3], s2};
  int start = 0;
  for (int k = 1; k < 4; ++k) {
    if (ring[k].position < ring[start].position) start = k;
  }
  for (int k = 0; k < 4; ++k) quad[k] = ring[(start + k) % 4];
  return true;
}
