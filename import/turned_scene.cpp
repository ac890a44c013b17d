#include "import/turned_scene.h"

#include <algorithm>
#include <cmath>

#include "report/failure.h"

namespace {

// The ways the file's rectangles may stand to the scene's: as they are,
// or turned by the axis settings of an editor whose up axis is z. A
// y-up file read with up z and written back with up y (or the other way
// round) comes out as (x, z, -y) (or (x, -z, y)).
enum class Turn { kNone, kUpYWritten, kUpZWritten, kCount };

// True when corners are stored, turned as told, give or take the rounding
// of an editor's text.
bool MatchesTurned(const float (&corners)[12], const RectCoords& stored, Turn turn) {
  float scale = 1.0f;
  for (float value : stored) {
    if (std::isfinite(value)) scale = std::max(scale, std::fabs(value));
  }
  const float tolerance = 1e-5f * scale;
  for (int k = 0; k < 4; ++k) {
    const float x = stored[3 * k], y = stored[3 * k + 1], z = stored[3 * k + 2];
    const float turned[3] = {x, turn == Turn::kUpYWritten ? z : turn == Turn::kUpZWritten ? -z : y,
                             turn == Turn::kUpYWritten ? -y : turn == Turn::kUpZWritten ? y : z};
    for (int axis = 0; axis < 3; ++axis) {
      if (!(std::fabs(corners[3 * k + axis] - turned[axis]) <= tolerance)) return false;
    }
  }
  return true;
}

}  // namespace

void TurnedSceneCheck::Compare(const float (&corners)[12], const RectCoords& stored) {
  ++compared_;
  if (MatchesTurned(corners, stored, Turn::kNone)) return;
  if (MatchesTurned(corners, stored, Turn::kUpYWritten)) ++upYWritten_;
  if (MatchesTurned(corners, stored, Turn::kUpZWritten)) ++upZWritten_;
}

bool TurnedSceneCheck::Passes(const char* editorAxes, const char* advice, std::string& why) const {
  for (Turn turn : {Turn::kUpYWritten, Turn::kUpZWritten}) {
    const size_t turned = turn == Turn::kUpYWritten ? upYWritten_ : upZWritten_;
    if (2 * turned <= compared_) continue;
    return Fail(why, "holds the scene turned on its side: " + std::to_string(turned) + " of its " +
                         std::to_string(compared_) +
                         " rectangles are the scene's only with y and z exchanged, as (" +
                         (turn == Turn::kUpYWritten ? "x, z, -y" : "x, -z, y") +
                         "): an editor read it with other axes than it wrote it with (" + editorAxes +
                         "). Nothing was written. " + advice);
  }
  return true;
}
