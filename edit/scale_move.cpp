#include "edit/scale_move.h"

#include "scene/messages.h"
#include "scene/scene_file.h"
#include "scene/text_template.h"

namespace {

struct EditKind {
  float (*apply)(float value, float amount);
  const char* doneLine;
  const char* errorLine;
};

const EditKind kScale = {[](float value, float factor) { return value * factor; },
                         messages::kScaled, messages::kScaleFailed};
const EditKind kMove = {[](float value, float offset) { return value + offset; },
                        messages::kMoved, messages::kMoveFailed};

// Rewrites every rectangle with edited corners and recomputed bounds. A
// rectangle whose corners cannot be read is reported as failed.
int32_t EditScene(const char* scenePath, const float amounts[3], const EditKind& kind,
                  Reporter& reporter, std::string& error) {
  SceneFile scene;
  if (!scene.Open(scenePath, error) || !scene.CheckWritable(error)) return kModeFailed;
  RectWriteFailures failures(reporter);
  for (int32_t i = 0; i < scene.GetRectCount(); ++i) {
    RectCoords* corners = scene.GetRectCoords(i);
    std::string why = scene.ReadError();
    bool updated = false;
    if (corners != nullptr) {
      for (size_t c = 0; c < corners->size(); ++c) {
        (*corners)[c] = kind.apply((*corners)[c], amounts[c % 3]);
      }
      updated = scene.UpdateRect(i, corners, nullptr, why);
    }
    reporter.Say(FillTemplate(updated ? kind.doneLine : kind.errorLine, {i}));
    if (!updated) failures.Add(i, why);
  }
  if (failures.count() > 0) return Fail(error, failures.Summary(scene));
  return 0;
}

}  // namespace

int32_t ScaleScene(const char* scenePath, float x, float y, float z, Reporter& reporter,
                   std::string& error) {
  const float factors[3] = {x, y, z};
  return EditScene(scenePath, factors, kScale, reporter, error);
}

int32_t MoveScene(const char* scenePath, float x, float y, float z, Reporter& reporter,
                  std::string& error) {
  const float offsets[3] = {x, y, z};
  return EditScene(scenePath, offsets, kMove, reporter, error);
}
