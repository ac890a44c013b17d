// The text formats that quadkit exports and imports, as chosen by the
// format switch of the command line.
#ifndef QUADKIT_SCENE_INTERCHANGE_FORMAT_H_
#define QUADKIT_SCENE_INTERCHANGE_FORMAT_H_

#include <cstdint>

enum InterchangeFormat : int32_t {
  kFormatAscii = 0,
  kFormatDirectX = 1,
  kFormatIges = 2,
  kFormatDesignWorkshop = 3,
  kFormatObj = 4,
  kFormatIgesSurfaces = 5,  // a complete IGES file; kFormatIges is the outline file of "/CAD"
};

#endif  // QUADKIT_SCENE_INTERCHANGE_FORMAT_H_
