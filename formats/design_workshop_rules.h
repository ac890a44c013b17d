// What the Design Workshop writer and reader share.
#ifndef QUADKIT_FORMATS_DESIGN_WORKSHOP_RULES_H_
#define QUADKIT_FORMATS_DESIGN_WORKSHOP_RULES_H_

#include <cmath>

#include "scene/scene_file.h"

// The all-zero test of the Design Workshop format: true when the absolute
// values of the twelve coordinates add up to more than zero; false for all
// zeros (of either sign) and whenever a coordinate is not a number. The
// writer leaves out a rectangle that fails it, the reader skips such a block.
inline bool AbsoluteCornerSumIsPositive(const RectCoords& corners) {
  double sum = 0.0;
  for (float value : corners) sum += std::fabs(static_cast<double>(value));
  return sum > 0.0;
}

#endif  // QUADKIT_FORMATS_DESIGN_WORKSHOP_RULES_H_
