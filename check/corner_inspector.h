// What the scene check reads from one record: its corners against its
// stored bounds, the notes its corners earn, and the extent of the finite
// corner values seen so far.
//
// Two inspectors give the same answers, bit for bit, the extent's zeros
// with their signs: the portable one, and on processors with SSE2 one that
// takes the three coordinates of a corner at once. The check uses the
// second where there is one: it runs for every rectangle of the scene, and
// the whole check is meant to take no more than twice one plain read of
// the file.
#ifndef QUADKIT_CHECK_CORNER_INSPECTOR_H_
#define QUADKIT_CHECK_CORNER_INSPECTOR_H_

#include <cstdint>
#include <limits>

#include "check/scene_check.h"
#include "scene/scene_layout.h"

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define QUADKIT_CORNERS_SSE2 1
#include <emmintrin.h>
#endif

// The findings of one record, as the bits of the check's marks of a
// rectangle: the damage kinds, then the notes.
constexpr uint32_t kCornerNotFinite = 1u << static_cast<int>(SceneDamage::kCornerNotFinite);
constexpr uint32_t kBoundsDiffer = 1u << static_cast<int>(SceneDamage::kBoundsDiffer);
constexpr uint32_t kCornersCleared = 1u << (kSceneDamageKinds + static_cast<int>(SceneNote::kCleared));
constexpr uint32_t kCornersNoArea = 1u << (kSceneDamageKinds + static_cast<int>(SceneNote::kNoArea));

// The smallest and largest x, y and z over the finite corner values seen.
struct CornerExtent {
  bool any = false;  // false: no finite value was seen, and low and high mean nothing
  float low[3];
  float high[3];
};

// Each takes a record whose first kMinRecordSize bytes stand at record.
class PortableCornerInspector {
 public:
  PortableCornerInspector();
  uint32_t Inspect(const uint8_t* record);
  CornerExtent Extent() const { return extent_; }

 private:
  CornerExtent extent_;
};

#ifdef QUADKIT_CORNERS_SSE2
class Sse2CornerInspector {
 public:
  Sse2CornerInspector();
  inline uint32_t Inspect(const uint8_t* record);
  CornerExtent Extent() const;

 private:
  // The finite corner values that a record holds with a NaN or an infinity.
  void TakeFiniteValues(const uint8_t* record);

  // x, y, z in lanes 0 to 2; lane 3 means nothing.
  __m128 low_;
  __m128 high_;
  bool any_ = false;
};
using CornerInspector = Sse2CornerInspector;
#else
using CornerInspector = PortableCornerInspector;
#endif

namespace corner_area {
// True when u and v, two edges from one corner, span no area: the sine of
// the angle between them is below a millionth, or one of them has no
// length. The edges of floats, squared and multiplied in doubles, stay
// far inside the range of a double, from the smallest subnormal to the
// largest float.
struct Edge {
  double x, y, z;
};
inline bool Flat(const Edge& u, const Edge& v) {
  const double cx = u.y * v.z - u.z * v.y;
  const double cy = u.z * v.x - u.x * v.z;
  const double cz = u.x * v.y - u.y * v.x;
  const double uu = u.x * u.x + u.y * u.y + u.z * u.z;
  const double vv = v.x * v.x + v.y * v.y + v.z * v.z;
  return cx * cx + cy * cy + cz * cz <= 1e-12 * uu * vv;
}
}  // namespace corner_area

// True when the twelve finite corner values c (corner k's x, y, z at 3k to
// 3k + 2) span no area. A rectangle is drawn as the triangles of corners
// 0, 1, 2 and 0, 2, 3; it has no area when neither has any.
inline bool CornersHaveNoArea(const float c[12]) {
  using corner_area::Edge;
  using corner_area::Flat;
  const double x = c[0];
  const double y = c[1];
  const double z = c[2];
  const Edge toCorner2 = {c[6] - x, c[7] - y, c[8] - z};
  if (!Flat({c[3] - x, c[4] - y, c[5] - z}, toCorner2)) return false;
  return Flat(toCorner2, {c[9] - x, c[10] - y, c[11] - z});
}

#ifdef QUADKIT_CORNERS_SSE2
namespace corner_lanes {
// std::min(a, b) and std::max(a, b) lane by lane, equal values and zeros of
// either sign included: the first operand unless the second is below, or
// above, it.
inline __m128 Min(__m128 a, __m128 b) { return _mm_min_ps(b, a); }
inline __m128 Max(__m128 a, __m128 b) { return _mm_max_ps(b, a); }
inline __m128 Load(const uint8_t* at) { return _mm_loadu_ps(reinterpret_cast<const float*>(at)); }
}  // namespace corner_lanes

namespace corner_area {
// Flat, two values at a time, the same operations on the same values in
// the same order: an edge as its x and y, and its z in the low half of z.
inline bool Flat(__m128d uxy, __m128d uz, __m128d vxy, __m128d vz) {
  // x and y of the cross product: uy * vz - uz * vy, uz * vx - ux * vz.
  const __m128d cxy = _mm_sub_pd(_mm_mul_pd(_mm_shuffle_pd(uxy, uz, 1), _mm_unpacklo_pd(vz, vxy)),
                                 _mm_mul_pd(_mm_unpacklo_pd(uz, uxy), _mm_shuffle_pd(vxy, vz, 1)));
  // z: ux * vy - uy * vx.
  const __m128d zTerms = _mm_mul_pd(uxy, _mm_shuffle_pd(vxy, vxy, 1));
  const __m128d cz = _mm_sub_sd(zTerms, _mm_unpackhi_pd(zTerms, zTerms));
  // Each sum of three squares as (x * x + y * y) + z * z.
  auto squares = [](__m128d xy, __m128d z) {
    const __m128d xy2 = _mm_mul_pd(xy, xy);
    return _mm_add_sd(_mm_add_sd(xy2, _mm_unpackhi_pd(xy2, xy2)), _mm_mul_sd(z, z));
  };
  const __m128d cc = squares(cxy, cz);
  const __m128d uu = squares(uxy, uz);
  const __m128d vv = squares(vxy, vz);
  return _mm_comile_sd(cc, _mm_mul_sd(_mm_mul_sd(_mm_set_sd(1e-12), uu), vv)) != 0;
}
}  // namespace corner_area

// CornersHaveNoArea of the corners in lanes 0 to 2 of c0 to c3.
inline bool CornersHaveNoArea(__m128 c0, __m128 c1, __m128 c2, __m128 c3) {
  using corner_area::Flat;
  // A corner's x and y, and its z in the low half, as doubles.
  auto xy = [](__m128 c) { return _mm_cvtps_pd(c); };
  auto z = [](__m128 c) { return _mm_cvtps_pd(_mm_movehl_ps(c, c)); };
  const __m128d xy0 = xy(c0);
  const __m128d z0 = z(c0);
  const __m128d toCorner2xy = _mm_sub_pd(xy(c2), xy0);
  const __m128d toCorner2z = _mm_sub_pd(z(c2), z0);
  if (!Flat(_mm_sub_pd(xy(c1), xy0), _mm_sub_pd(z(c1), z0), toCorner2xy, toCorner2z)) return false;
  return Flat(toCorner2xy, toCorner2z, _mm_sub_pd(xy(c3), xy0), _mm_sub_pd(z(c3), z0));
}

inline uint32_t Sse2CornerInspector::Inspect(const uint8_t* record) {
  using namespace corner_lanes;
  const uint8_t* corners = record + scene_layout::kCornersInRecord;
  // Corner k's x, y, z in lanes 0 to 2; lane 3 of the last corner, which
  // lies behind the corners, is made zero (a finite value in every lane).
  const __m128 c0 = Load(corners);
  const __m128 c1 = Load(corners + 12);
  const __m128 c2 = Load(corners + 24);
  const __m128 c3 = _mm_and_ps(Load(corners + 36), _mm_castsi128_ps(_mm_set_epi32(0, -1, -1, -1)));
  const __m128 lows = Min(Min(c0, c1), Min(c2, c3));
  const __m128 highs = Max(Max(c0, c1), Max(c2, c3));
  // A NaN leaves its pair of corners unordered; without one, an infinity,
  // beyond every finite value, is among the lows or the highs.
  const __m128 infinity = _mm_set1_ps(std::numeric_limits<float>::infinity());
  const __m128 special = _mm_or_ps(_mm_or_ps(_mm_cmpunord_ps(c0, c1), _mm_cmpunord_ps(c2, c3)),
                                   _mm_or_ps(_mm_cmpeq_ps(highs, infinity),
                                             _mm_cmpeq_ps(lows, _mm_sub_ps(_mm_setzero_ps(), infinity))));
  if (_mm_movemask_ps(special) != 0) {
    TakeFiniteValues(record);
    return kCornerNotFinite;
  }
  // Every value is zero when every axis has zero for its least and its
  // greatest.
  const __m128 zero = _mm_setzero_ps();
  const bool cleared = (_mm_movemask_ps(_mm_and_ps(_mm_cmpeq_ps(lows, zero), _mm_cmpeq_ps(highs, zero))) & 7) == 7;
  low_ = Min(low_, lows);
  high_ = Max(high_, highs);
  any_ = true;
  // The bounds ComputeRectBounds gives these corners (the corners' order
  // decides at most the sign of a zero, which no comparison sees), against
  // those stored: min x, y, z, then max x, y, z.
  const __m128 margin = _mm_set1_ps(scene_layout::kBoundsMargin);
  __m128 computedLow = _mm_sub_ps(lows, margin);
  if (cleared) computedLow = _mm_move_ss(computedLow, lows);
  const __m128 computedHigh = _mm_add_ps(highs, margin);
  const int same = _mm_movemask_ps(_mm_cmpeq_ps(Load(record + scene_layout::kBoundsInRecord), computedLow)) &
                   _mm_movemask_ps(_mm_cmpeq_ps(Load(record + scene_layout::kBoundsInRecord + 12), computedHigh));
  uint32_t found = (same & 7) == 7 ? 0 : kBoundsDiffer;
  if (cleared) return found | kCornersCleared;
  if (CornersHaveNoArea(c0, c1, c2, c3)) found |= kCornersNoArea;
  return found;
}
#endif

#endif  // QUADKIT_CHECK_CORNER_INSPECTOR_H_
