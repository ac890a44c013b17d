#include "import/quad_applier.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "import/text_import.h"
#include "import/turned_scene.h"
#include "report/failure.h"
#include "report/messages.h"
#include "text/text_rules.h"
#include "text/text_template.h"

namespace {

// What the scene holds in a rectangle a quad is applied to.
struct Stored {
  bool readable = false;
  RectCoords corners = {};
  RectTexCoords texCoords = {};
};

class QuadApplier {
 public:
  QuadApplier(SceneFile& scene, SceneReads& reads, NamedQuads& quads, const ImportPolicy& policy,
              Reporter& reporter, RectWriteFailures& failures)
      : scene_(scene),
        reads_(reads),
        quads_(quads),
        policy_(policy),
        reporter_(reporter),
        failures_(failures),
        stored_(quads.rects.size()) {}

  // Reads what the scene holds in every rectangle a quad is for; one that
  // cannot be read is told of and left out.
  void ReadStored() {
    for (const int32_t i : quads_.order) {
      Stored& stored = stored_[static_cast<size_t>(i)];
      std::string why;
      if (!reads_.ReadRect(i, stored.corners, stored.texCoords, why)) {
        failures_.Add(i, why);
        continue;
      }
      stored.readable = true;
    }
  }

  // False, with why, when most rectangles of the file are the scene's only
  // once turned: the file went through an editor with other axis settings
  // on the way in than on the way out. A few turned rectangles are edits.
  bool CheckAxes(std::string& why) const {
    if (policy_.turnedAxes == nullptr) return true;
    TurnedSceneCheck check;
    for (const int32_t i : quads_.order) {
      const Stored& stored = stored_[static_cast<size_t>(i)];
      if (!stored.readable) continue;
      float corners[12];
      std::copy_n(quads_.rects[static_cast<size_t>(i)].corners.data(), 12, corners);
      check.Compare(corners, stored.corners);
    }
    return check.Passes(policy_.turnedAxes, policy_.turnedAdvice, why);
  }

  void Apply() {
    if (policy_.inFileOrder) {
      for (size_t k = 0; k < quads_.order.size() && !scene_.WasReplaced(); ++k) Write(quads_.order[k]);
      // When nothing could be applied, the file is not one of this scene's,
      // and the run fails saying so.
      for (size_t i = 0; applied_ > 0 && i < quads_.rects.size(); ++i) {
        if (!quads_.rects[i].IsNamed()) reporter_.Say(policy_.unnamedWarning(static_cast<int32_t>(i)));
      }
      return;
    }
    for (size_t k = 0; k < quads_.rects.size() && !scene_.WasReplaced(); ++k) {
      const int32_t i = static_cast<int32_t>(k);
      const NamedQuad& quad = quads_.rects[k];
      if (!quad.IsNamed()) {
        reporter_.Say(policy_.unnamedWarning(i));
        continue;
      }
      Complain(i);
      if (quad.hasQuad) Write(i);
    }
  }

  // Tells, after the count, of the rectangles not applied.
  void ComplainAfter() {
    if (!policy_.inFileOrder) return;
    for (size_t i = 0; i < quads_.rects.size(); ++i) Complain(static_cast<int32_t>(i));
  }

  int32_t applied() const { return applied_; }
  int32_t notApplied() const { return notApplied_; }

 private:
  void Complain(int32_t i) {
    for (const std::string& what : quads_.rects[static_cast<size_t>(i)].notApplied) {
      ++notApplied_;
      reporter_.Complain("rectangle " + std::to_string(i) + what);
    }
  }

  float Kept(float read, float stored, QuadValue value, bool editorText) const {
    return policy_.keepsStored(read, stored, value, editorText, quads_.editorDecimals) ? stored : read;
  }

  void Write(int32_t i) {
    const Stored& stored = stored_[static_cast<size_t>(i)];
    if (!stored.readable) return;
    const NamedQuad& quad = quads_.rects[static_cast<size_t>(i)];
    RectCoords corners;
    RectTexCoords texCoords = stored.texCoords;
    for (int k = 0; k < 12; ++k) {
      corners[k] = Kept(quad.corners[k], stored.corners[k], QuadValue::kPosition,
                        (quad.editorTexts & CornerTextBit(k)) != 0);
    }
    for (int k = 0; quad.hasTexCoords && k < 8; ++k) {
      texCoords[k] = Kept(quad.texCoords[k], stored.texCoords[k], k % 2 == 0 ? QuadValue::kU : QuadValue::kV,
                          (quad.editorTexts & TexCoordTextBit(k)) != 0);
    }
    reporter_.Say(FillTemplate(messages::kListingProgress, quad.name, ShownCornersOffset(scene_, i)));
    ++applied_;
    // A rectangle whose every value is kept is not written at all: its
    // bounds stay as the scene has them too.
    const bool kept = std::memcmp(corners.data(), stored.corners.data(), sizeof corners) == 0 &&
                      std::memcmp(texCoords.data(), stored.texCoords.data(), sizeof texCoords) == 0;
    std::string why;
    if (!kept && !scene_.UpdateRect(i, &corners, quad.hasTexCoords ? &texCoords : nullptr, why)) {
      failures_.Add(i, why);
    }
    if (!quad.hasTexture) return;
    if (!policy_.rewriteTexture) {
      RectTexture current;
      if (!scene_.ReadRectTexture(i, current, why)) {
        failures_.Add(i, why);
        return;
      }
      // The texture it has already, or none for the word of no texture:
      // nothing to write.
      const bool same = current.name != nullptr ? EqualsIgnoringAsciiCase(current.name, quad.texture.c_str())
                                                : quad.texture == policy_.noTextureWord;
      if (same) return;
    }
    if (!scene_.SetRectTextureByName(i, quad.texture.c_str(), reporter_, why)) failures_.Add(i, why);
  }

  SceneFile& scene_;
  SceneReads& reads_;
  NamedQuads& quads_;
  const ImportPolicy& policy_;
  Reporter& reporter_;
  RectWriteFailures& failures_;
  std::vector<Stored> stored_;  // per rectangle
  int32_t applied_ = 0;
  int32_t notApplied_ = 0;
};

}  // namespace

bool ApplyNamedQuads(SceneFile& scene, SceneReads& reads, NamedQuads& quads, const ImportPolicy& policy,
                     Reporter& reporter, RectWriteFailures& failures, std::string& why) {
  QuadApplier applier(scene, reads, quads, policy, reporter, failures);
  applier.ReadStored();
  if (!applier.CheckAxes(why)) return false;
  applier.Apply();
  reporter.Say(FillTemplate(messages::kRectanglesImported, applier.applied()));
  applier.ComplainAfter();
  if (policy.noneApplied != nullptr && applier.applied() == 0) return Fail(why, policy.noneApplied);
  if (applier.notApplied() > 0) return Fail(why, policy.notAppliedWhy(applier.notApplied()));
  return true;
}
