#include "check/corner_inspector.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "files/little_endian.h"

using namespace scene_layout;

namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();

// The finite values among the twelve at corners, taken into low and high
// (x, y, z at 0, 1, 2) in the order they stand; true when there was one.
bool TakeFinite(const uint8_t* corners, float* low, float* high) {
  bool any = false;
  for (int k = 0; k < 12; ++k) {
    const float value = DecodeFloatLE(corners + 4 * k);
    if (!std::isfinite(value)) continue;
    low[k % 3] = std::min(low[k % 3], value);
    high[k % 3] = std::max(high[k % 3], value);
    any = true;
  }
  return any;
}

}  // namespace

PortableCornerInspector::PortableCornerInspector() {
  std::fill(extent_.low, extent_.low + 3, kInfinity);
  std::fill(extent_.high, extent_.high + 3, -kInfinity);
}

uint32_t PortableCornerInspector::Inspect(const uint8_t* record) {
  float corners[12];
  uint32_t bits[12];
  for (int k = 0; k < 12; ++k) bits[k] = DecodeUint32LE(record + kCornersInRecord + 4 * k);
  static_assert(sizeof bits == sizeof corners, "twelve 32-bit corner values");
  std::memcpy(corners, bits, sizeof bits);  // the decoded bits as floats
  // Two values at a time: an exponent of all ones (NaN or infinity)
  // carries into the value's top bit, and a value without its sign bit is
  // zero only for a zero.
  uint64_t special = 0;
  uint64_t nonZero = 0;
  for (int k = 0; k < 12; k += 2) {
    const uint64_t pair = bits[k] | (static_cast<uint64_t>(bits[k + 1]) << 32);
    special |= (pair & 0x7F8000007F800000u) + 0x0080000000800000u;
    nonZero |= pair & 0x7FFFFFFF7FFFFFFFu;
  }
  if ((special & 0x8000000080000000u) != 0) {
    // Its bounds cannot be recomputed; its finite corners still count.
    extent_.any = TakeFinite(record + kCornersInRecord, extent_.low, extent_.high) || extent_.any;
    return kCornerNotFinite;
  }
  // The bounds ComputeRectBounds gives these corners, from their smallest
  // and largest coordinates (all six are zero exactly when the rectangle is
  // cleared, which keeps its minimum x): the corners' order decides at most
  // the sign of a zero, which no comparison of bounds sees.
  const bool cleared = nonZero == 0;
  float computed[6];
  for (int axis = 0; axis < 3; ++axis) {
    const float low = std::min(std::min(corners[axis], corners[3 + axis]), std::min(corners[6 + axis], corners[9 + axis]));
    const float high = std::max(std::max(corners[axis], corners[3 + axis]), std::max(corners[6 + axis], corners[9 + axis]));
    extent_.low[axis] = std::min(extent_.low[axis], low);
    extent_.high[axis] = std::max(extent_.high[axis], high);
    computed[axis] = cleared && axis == 0 ? low : low - kBoundsMargin;
    computed[3 + axis] = high + kBoundsMargin;
  }
  extent_.any = true;
  uint32_t differ = 0;
  for (int k = 0; k < 6; ++k) {
    differ |= static_cast<uint32_t>(!(DecodeFloatLE(record + kBoundsInRecord + 4 * k) == computed[k]));
  }
  uint32_t found = differ != 0 ? kBoundsDiffer : 0;
  if (cleared) return found | kCornersCleared;
  if (CornersHaveNoArea(corners)) found |= kCornersNoArea;
  return found;
}

#ifdef QUADKIT_CORNERS_SSE2
Sse2CornerInspector::Sse2CornerInspector()
    : low_(_mm_set1_ps(kInfinity)), high_(_mm_set1_ps(-kInfinity)) {}

void Sse2CornerInspector::TakeFiniteValues(const uint8_t* record) {
  float low[4];
  float high[4];
  _mm_storeu_ps(low, low_);
  _mm_storeu_ps(high, high_);
  any_ = TakeFinite(record + kCornersInRecord, low, high) || any_;
  low_ = _mm_loadu_ps(low);
  high_ = _mm_loadu_ps(high);
}

CornerExtent Sse2CornerInspector::Extent() const {
  float low[4];
  float high[4];
  _mm_storeu_ps(low, low_);
  _mm_storeu_ps(high, high_);
  CornerExtent extent;
  extent.any = any_;
  std::copy(low, low + 3, extent.low);
  std::copy(high, high + 3, extent.high);
  return extent;
}
#endif
