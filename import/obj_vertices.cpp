#include "import/obj_vertices.h"

#include <algorithm>

namespace {

// An OBJ index (1-based, or negative counting back from the last element)
// in [begin, end) as a 0-based index into count elements; -1 when it is no
// number or names none of them.
int64_t ResolveIndex(const char* begin, const char* end, int64_t count) {
  const char* p = begin;
  const bool negative = p < end && *p == '-';
  if (p < end && (*p == '+' || *p == '-')) ++p;
  if (p == end) return -1;
  int64_t value = 0;
  for (; p < end; ++p) {
    if (*p < '0' || *p > '9') return -1;
    if (value <= count) value = value * 10 + (*p - '0');  // beyond count it names nothing anyway
  }
  if (value == 0 || value > count) return -1;
  return negative ? count - value : value - 1;
}

}  // namespace

// Resolves one face reference (a, a/b, a//c, a/b/c); false when an index
// in it names nothing.
bool ResolveCorner(const TextSpan& ref, const VertexCounts& counts, TriangleCorner& corner) {
  const char* const end = ref.end();
  const char* const slash1 = std::find(ref.begin, end, '/');
  corner.position = ResolveIndex(ref.begin, slash1, counts.positions);
  corner.texCoord = -1;
  bool resolved = corner.position >= 0;
  if (slash1 != end) {
    const char* const slash2 = std::find(slash1 + 1, end, '/');
    if (slash2 > slash1 + 1) {
      corner.texCoord = ResolveIndex(slash1 + 1, slash2, counts.texCoords);
      resolved = resolved && corner.texCoord >= 0;
    }
    if (slash2 != end) resolved = resolved && ResolveIndex(slash2 + 1, end, counts.normals) >= 0;
  }
  return resolved;
}
