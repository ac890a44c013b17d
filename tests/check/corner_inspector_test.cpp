// The inspection of one record's corners: what it finds, and, where the
// processor has SSE2, that its two inspectors agree bit for bit, the
// extent's signed zeros included.
#include "check/corner_inspector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "sample/scene_builder.h"
#include "scene/scene_file.h"

using namespace scene_layout;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// A record of these corners and the bounds the write-back stores for them
// (changed by boundsChange), its other bytes 0xFF: NaN wherever they are
// read as floats.
std::vector<uint8_t> Record(const RectCoords& corners, float boundsChange = 0) {
  std::vector<uint8_t> record(kMinRecordSize, 0xFF);
  const RectBounds bounds = ComputeRectBounds(corners);
  for (size_t k = 0; k < bounds.size(); ++k) {
    PutFloat(record, kBoundsInRecord + 4 * k, k == 4 ? bounds[k] + boundsChange : bounds[k]);
  }
  for (size_t k = 0; k < corners.size(); ++k) PutFloat(record, kCornersInRecord + 4 * k, corners[k]);
  return record;
}

uint32_t InspectAlone(const std::vector<uint8_t>& record) { return PortableCornerInspector().Inspect(record.data()); }

TEST(CornerInspectorTest, FindsWhatEachRecordHolds) {
  struct Case {
    const char* name;
    std::vector<uint8_t> record;
    uint32_t found;
  };
  const Case cases[] = {
      {"sound", Record({0, 0, 0, 8, 0, 0, 8, 4, -2, 0, 4, -2}), 0},
      {"bounds a little off", Record({0, 0, 0, 8, 0, 0, 8, 4, -2, 0, 4, -2}, 1.0f / 4096), kBoundsDiffer},
      {"cleared, signed zeros", Record({0, -0.0f, 0, 0, 0, 0, -0.0f, 0, 0, 0, 0, 0}), kCornersCleared},
      {"on one line", Record({1, 1, 1, 2, 2, 2, 3, 3, 3, 1, 1, 1}), kCornersNoArea},
      {"one point", Record({5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5}), kCornersNoArea},
      {"first triangle flat, second not", Record({0, 0, 0, 1, 0, 0, 2, 0, 0, 0, 1, 0}), 0},
      {"largest floats", Record({-3e38f, 3e38f, 0, 3e38f, 3e38f, 0, 3e38f, -3e38f, 1, -3e38f, -3e38f, 1}), 0},
      {"subnormal edges", Record({0, 0, 0, 1e-45f, 0, 0, 1e-45f, 1e-45f, 0, 0, 1e-45f, 0}), 0},
      {"NaN", Record({0, 0, 0, 8, kNaN, 0, 8, 4, -2, 0, 4, -2}), kCornerNotFinite},
      {"last value infinite", Record({0, 0, 0, 8, 0, 0, 8, 4, -2, 0, 4, -kInf}), kCornerNotFinite},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(InspectAlone(c.record), c.found) << c.name;
#ifdef QUADKIT_CORNERS_SSE2
    EXPECT_EQ(Sse2CornerInspector().Inspect(c.record.data()), c.found) << c.name;
#endif
  }
}

TEST(CornerInspectorTest, TheExtentKeepsTheFiniteValuesOfEveryRecord) {
  PortableCornerInspector inspector;
  EXPECT_FALSE(inspector.Extent().any);
  inspector.Inspect(Record({-0.0f, 2, 0, 1, 2, 0, 1, 3, kInf, 0, 3, 0}).data());
  inspector.Inspect(Record({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -0.0f}).data());
  const CornerExtent extent = inspector.Extent();
  ASSERT_TRUE(extent.any);
  // The first of equal values stays: -0 for the least x, +0 for the greatest z.
  EXPECT_TRUE(std::signbit(extent.low[0]));
  EXPECT_FALSE(std::signbit(extent.high[2]));
  EXPECT_EQ(extent.high[0], 1);
  EXPECT_EQ(extent.low[1], 0);
  EXPECT_EQ(extent.high[1], 3);
}

#ifdef QUADKIT_CORNERS_SSE2
// Records of values drawn from those where the two could part: zeros of
// both signs, subnormals, the largest floats, NaN, infinities, small
// integers that make flat and cleared rectangles, and bounds that are
// right, or a value off.
TEST(CornerInspectorTest, BothInspectorsAgreeBitForBit) {
  const float values[] = {0,    -0.0f, 1,     -1,   2,    0.5f, 1e-45f, -1e-45f, 1e-38f, 3.4e38f,
                          -3.4e38f, kNaN, kInf, -kInf, 12345.678f, 1e7f, 1e7f + 1, -256};
  std::mt19937 random(20261210);
  PortableCornerInspector portable;
  Sse2CornerInspector sse2;
  for (int n = 0; n < 200000; ++n) {
    RectCoords corners;
    const int kinds = 1 + static_cast<int>(random() % 5);
    for (float& value : corners) value = values[random() % (kinds == 5 ? 18 : 2 * kinds)];
    if (random() % 4 == 0) corners = {corners[0], corners[1], corners[2], corners[0], corners[1], corners[2],
                                      corners[3], corners[4], corners[5], corners[3], corners[4], corners[5]};
    const std::vector<uint8_t> record = Record(corners, random() % 3 == 0 ? 1.0f : 0.0f);
    ASSERT_EQ(portable.Inspect(record.data()), sse2.Inspect(record.data())) << n;
    const CornerExtent a = portable.Extent();
    const CornerExtent b = sse2.Extent();
    ASSERT_EQ(a.any, b.any) << n;
    ASSERT_EQ(std::memcmp(a.low, b.low, sizeof a.low), 0) << n;
    ASSERT_EQ(std::memcmp(a.high, b.high, sizeof a.high), 0) << n;
    if (n % 1000 == 999) portable = PortableCornerInspector(), sse2 = Sse2CornerInspector();
  }
}
#endif

}  // namespace
