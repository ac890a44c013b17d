#include "sample/sample_scene.h"

#include <algorithm>

namespace {

constexpr float kX0 = -256.0f, kX1 = 256.0f;
constexpr float kY0 = 0.0f, kY1 = 192.0f;
constexpr float kZ0 = -128.5f, kZ1 = 256.0f;

enum Texture { kWall = 0, kFloor = 1, kRoof = 2 };

BuilderRect Quad(float ax, float ay, float az, float bx, float by, float bz, float cx,
                 float cy, float cz, float dx, float dy, float dz, float uMax, float vMax,
                 int32_t texture) {
  BuilderRect rect;
  rect.corners = {ax, ay, az, bx, by, bz, cx, cy, cz, dx, dy, dz};
  rect.texCoords = {0.0f, vMax, 0.0f, 0.0f, uMax, 0.0f, uMax, vMax};
  rect.textureIndex = texture;
  return rect;
}

}  // namespace

SceneContents SampleBoxContents() {
  SceneContents contents;
  contents.textureNames = {"WALL", "FLR", "ROOF"};
  contents.rects = {
      Quad(kX0, kY0, kZ0, kX0, kY1, kZ0, kX1, kY1, kZ0, kX1, kY0, kZ0, 4.0f, 1.5f, kWall),
      Quad(kX1, kY0, kZ1, kX1, kY1, kZ1, kX0, kY1, kZ1, kX0, kY0, kZ1, 4.0f, 1.5f, kWall),
      Quad(kX0, kY0, kZ1, kX0, kY1, kZ1, kX0, kY1, kZ0, kX0, kY0, kZ0, 3.0039f, 1.5f, kWall),
      Quad(kX1, kY0, kZ0, kX1, kY1, kZ0, kX1, kY1, kZ1, kX1, kY0, kZ1, 3.0039f, 1.5f, kWall),
      Quad(kX0, kY0, kZ0, kX1, kY0, kZ0, kX1, kY0, kZ1, kX0, kY0, kZ1, 2.0f, 1.5020f, kFloor),
      Quad(kX0, kY1, kZ1, kX1, kY1, kZ1, kX1, kY1, kZ0, kX0, kY1, kZ0, 0.5f, 0.3755f, kRoof),
  };
  return contents;
}

BuiltScene BuildSampleBoxScene() {
  BuiltScene built = BuildScene(SampleBoxContents());
  const SceneContents contents = SampleBoxContents();
  for (size_t k = 0; k < contents.rects.size(); ++k) {
    const RectCoords& c = contents.rects[k].corners;
    for (int axis = 0; axis < 3; ++axis) {
      const float lo = std::min({c[axis], c[3 + axis], c[6 + axis], c[9 + axis]});
      const float hi = std::max({c[axis], c[3 + axis], c[6 + axis], c[9 + axis]});
      const size_t bounds = static_cast<size_t>(built.recordOffsets[k]) + scene_layout::kBoundsInRecord;
      PutFloat(built.bytes, bounds + 4 * static_cast<size_t>(axis), lo - 256.0f);
      PutFloat(built.bytes, bounds + 12 + 4 * static_cast<size_t>(axis), hi + 256.0f);
    }
  }
  return built;
}
