#include "import/gltf_quad.h"

#include <cmath>
#include <cstring>

#include "formats/gltf_rules.h"
#include "import/triangle_quad.h"

namespace {

bool SameCorner(const GltfCorner& a, const GltfCorner& b) {
  return std::memcmp(a.position, b.position, sizeof a.position) == 0 &&
         std::memcmp(a.texCoord, b.texCoord, sizeof a.texCoord) == 0;
}

// The stored values of one rectangle, and how an incoming corner compares.
struct StoredRect {
  const RectCoords& corners;
  const RectTexCoords& texCoords;
  bool hasTexCoords;

  bool Matches(const GltfCorner& c, int k) const {
    for (int axis = 0; axis < 3; ++axis) {
      if (!(c.position[axis] == corners[3 * k + axis])) return false;
    }
    if (!hasTexCoords) return true;
    const float v = texCoords[2 * k + 1];
    return c.texCoord[0] == texCoords[2 * k] && (c.texCoord[1] == v || c.texCoord[1] == gltf::FlippedTwice(v));
  }
  GltfCorner Corner(int k) const {
    return {{corners[3 * k], corners[3 * k + 1], corners[3 * k + 2]}, {texCoords[2 * k], texCoords[2 * k + 1]}};
  }
};

// True when the triangles are the stored quad's two triangles over either
// diagonal, each corner matching, in any order and turn.
bool AreStoredTriangles(const GltfCorner (&triangles)[2][3], const StoredRect& stored) {
  for (int diagonal = 0; diagonal < 2; ++diagonal) {
    const int halves[2][3] = {{diagonal, diagonal + 1, diagonal + 2}, {diagonal, diagonal + 2, (diagonal + 3) % 4}};
    for (int order = 0; order < 2; ++order) {
      bool both = true;
      for (int t = 0; t < 2 && both; ++t) {
        const int(&half)[3] = halves[t ^ order];
        bool any = false;
        for (int turn = 0; turn < 3 && !any; ++turn) {
          any = stored.Matches(triangles[t][0], half[turn]) && stored.Matches(triangles[t][1], half[(turn + 1) % 3]) &&
                stored.Matches(triangles[t][2], half[(turn + 2) % 3]);
        }
        both = any;
      }
      if (both) return true;
    }
  }
  return false;
}

// How far a turn of the ring is from the stored corners, once one common
// offset is taken away: the spread of the corners' offsets.
double SpreadOfOffsets(const GltfCorner* ring, int turn, const StoredRect& stored) {
  double spread = 0;
  for (int axis = 0; axis < 3; ++axis) {
    double offsets[4];
    double mean = 0;
    for (int k = 0; k < 4; ++k) {
      offsets[k] = static_cast<double>(ring[(k + turn) % 4].position[axis]) - stored.corners[3 * k + axis];
      mean += offsets[k] / 4;
    }
    for (const double offset : offsets) spread += (offset - mean) * (offset - mean);
  }
  return std::isnan(spread) ? HUGE_VAL : spread;
}

}  // namespace

bool RebuildQuad(const GltfCorner (&triangles)[2][3], bool hasTexCoords, const RectCoords& corners,
                 const RectTexCoords& texCoords, GltfCorner (&quad)[4]) {
  const StoredRect stored{corners, texCoords, hasTexCoords};
  // Corners that are the same in every bit are one corner, however often
  // the file repeats them.
  GltfCorner distinct[6];
  int distinctCount = 0;
  TriangleCorner halves[2][3];
  for (int t = 0; t < 2; ++t) {
    for (int k = 0; k < 3; ++k) {
      int id = 0;
      while (id < distinctCount && !SameCorner(distinct[id], triangles[t][k])) ++id;
      if (id == distinctCount) distinct[distinctCount++] = triangles[t][k];
      halves[t][k] = {id, id};
    }
  }
  TriangleCorner ringIds[4];
  if (!QuadFromTriangles(halves[0], halves[1], ringIds)) {
    if (!AreStoredTriangles(triangles, stored)) return false;
    for (int k = 0; k < 4; ++k) quad[k] = stored.Corner(k);
    return true;
  }
  GltfCorner ring[4];
  for (int k = 0; k < 4; ++k) ring[k] = distinct[ringIds[k].position];
  int bestTurn = 0;
  int bestMatches = -1;
  double bestSpread = HUGE_VAL;
  for (int turn = 0; turn < 4; ++turn) {
    int matches = 0;
    for (int k = 0; k < 4; ++k) matches += stored.Matches(ring[(k + turn) % 4], k) ? 1 : 0;
    const double spread = SpreadOfOffsets(ring, turn, stored);
    if (matches > bestMatches || (matches == bestMatches && spread < bestSpread)) {
      bestTurn = turn;
      bestMatches = matches;
      bestSpread = spread;
    }
  }
  for (int k = 0; k < 4; ++k) quad[k] = ring[(k + bestTurn) % 4];
  return true;
}
