#include "edit/scale_move.h"

#include <cstdio>

#include "scene/scene_file.h"

namespace {

struct EditKind {
  float (*apply)(float value, float amount);
  const char* doneLine;
  const char* errorLine;
};

const EditKind kScale = {[](float value, float factor) { return value * factor; },
                         "Scaled rectangle %d successfully\r\n",
                         "Error while scaling rectangle %d\r\n"};
const EditKind kMove = {[](float value, float offset) { return value + offset; },
                        "Moved rectangle %d successfully\r\n",
                        "Error while moving rectangle %d\r\n"};

// Rewrites every rectangle with edited corners and recomputed bounds. A
// rectangle whose corners cannot be read is reported as failed.
int32_t EditScene(const char* scenePath, const float amounts[3], const EditKind& kind,
                  std::string* error) {
  SceneFile scene;
  if (!scene.Open(scenePath, error)) return -1;
  for (int32_t i = 0; i < scene.GetRectCount(); ++i) {
    RectCoords* corners = scene.GetRectCoords(i);
    bool updated = false;
    if (corners != nullptr) {
      for (size_t c = 0; c < corners->size(); ++c) {
        (*corners)[c] = kind.apply((*corners)[c], amounts[c % 3]);
      }
      updated = scene.UpdateRect(i, corners, nullptr);
    }
    std::printf(updated ? kind.doneLine : kind.errorLine, static_cast<int>(i));
  }
  scene.Close();
  return 0;
}

}  // namespace

int32_t ScaleScene(const char* scenePath, float x, float y, float z, std::string* error) {
  const float factors[3] = {x, y, z};
  return EditScene(scenePath, factors, kScale, error);
}

int32_t MoveScene(const char* scenePath, float x, float y, float z, std::string* error) {
  const float offsets[3] = {x, y, z};
  return EditScene(scenePath, offsets, kMove, error);
}
