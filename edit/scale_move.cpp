#include "edit/scale_move.h"

#include <cmath>

#include "report/failure.h"
#include "report/messages.h"
#include "report/rect_failures.h"
#include "scene/scene_file.h"
#include "text/text_template.h"

namespace {

struct EditKind {
  float (*apply)(float value, float amount);
  const TextTemplate<IntValue>& doneLine;
  const TextTemplate<IntValue>& errorLine;
};

const EditKind kScale = {[](float value, float factor) { return value * factor; },
                         messages::kScaled, messages::kScaleFailed};
const EditKind kMove = {[](float value, float offset) { return value + offset; },
                        messages::kMoved, messages::kMoveFailed};

// Rewrites rectangle i with edited corners and recomputed bounds. Corners
// that cannot be read, or that the edit would make no finite number (a
// float overflows), are not written.
bool EditRect(SceneFile& scene, int32_t i, const float amounts[3], const EditKind& kind,
              std::string& why) {
  RectCoords* corners = scene.GetRectCoords(i, why);
  if (corners == nullptr) return false;
  for (size_t c = 0; c < corners->size(); ++c) {
    const float edited = kind.apply((*corners)[c], amounts[c % 3]);
    if (!std::isfinite(edited)) {
      return Fail(why, "corner " + std::to_string(c / 3) + " would not be a finite number");
    }
    (*corners)[c] = edited;
  }
  return scene.UpdateRect(i, corners, nullptr, why);
}

// Rewrites every rectangle; a rectangle that cannot be rewritten is
// reported as failed, and the run stops when the scene file was replaced.
int32_t EditOpenScene(SceneFile& scene, const float amounts[3], const EditKind& kind, Reporter& reporter,
                      std::string& why) {
  if (!scene.CheckWritable(why)) return kModeFailed;
  RectWriteFailures failures(reporter);
  for (int32_t i = 0; i < scene.GetRectCount() && !scene.WasReplaced(); ++i) {
    std::string rectWhy;
    const bool updated = EditRect(scene, i, amounts, kind, rectWhy);
    reporter.Say(FillTemplate(updated ? kind.doneLine : kind.errorLine, i));
    if (!updated) failures.Add(i, rectWhy);
  }
  if (failures.count() > 0) {
    Fail(why, failures.Summary(scene.GetFileName()));
    return kModeFailed;
  }
  return scene.EndRun(why) ? 0 : kModeFailed;
}

int32_t EditScene(const char* scenePath, const float amounts[3], const EditKind& kind,
                  Reporter& reporter, std::string& why) {
  SceneFile scene;
  if (!scene.OpenForUpdate(scenePath, why) || !scene.Lock(LockMode::kExclusive, why)) return kModeFailed;
  return EditOpenScene(scene, amounts, kind, reporter, why);
}

}  // namespace

int32_t ScaleScene(const char* scenePath, float x, float y, float z, Reporter& reporter,
                   std::string& why) {
  const float factors[3] = {x, y, z};
  return EditScene(scenePath, factors, kScale, reporter, why);
}

int32_t MoveScene(const char* scenePath, float x, float y, float z, Reporter& reporter,
                  std::string& why) {
  const float offsets[3] = {x, y, z};
  return EditScene(scenePath, offsets, kMove, reporter, why);
}

int32_t ScaleOpenScene(SceneFile& scene, float x, float y, float z, Reporter& reporter, std::string& why) {
  const float factors[3] = {x, y, z};
  return EditOpenScene(scene, factors, kScale, reporter, why);
}

int32_t MoveOpenScene(SceneFile& scene, float x, float y, float z, Reporter& reporter, std::string& why) {
  const float offsets[3] = {x, y, z};
  return EditOpenScene(scene, offsets, kMove, reporter, why);
}
