// The text formats that quadkit exports and imports, as chosen by the
// format switch of the command line.
#ifndef QUADKIT_FORMATS_INTERCHANGE_FORMAT_H_
#define QUADKIT_FORMATS_INTERCHANGE_FORMAT_H_

#include <cstdint>

enum InterchangeFormat : int32_t {
  kFormatAscii = 0,
  kFormatDirectX = 1,
  kFormatIgesOutline = 2,  // "/CAD": each rectangle's outline as four IGES lines
  kFormatDesignWorkshop = 3,
  kFormatObj = 4,
  kFormatIgesSurfaces = 5,  // "/IGES": a complete IGES file, one surface per rectangle
  kFormatGltf = 6,          // "/GLTF": glTF 2.0, JSON with its buffer beside it
  kFormatGlb = 7,           // "/GLB": glTF 2.0 in one binary file
};

#endif  // QUADKIT_FORMATS_INTERCHANGE_FORMAT_H_
