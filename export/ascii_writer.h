// The ASCII listing, quadkit's own text format, which the listing import
// reads back. Every line ends with CR LF:
//
//   NUM_RECTS=<rectangle count>
//   Rect_<index + 1>                       one block of six lines for each
//   \t<x>, <y>, <z>, <u>, <v>             rectangle written, corners 0..3,
//   ... (four corner lines)                numbers as "%f"
//   \tTexture: <name, or (null)>
//   [EOF]
#ifndef QUADKIT_EXPORT_ASCII_WRITER_H_
#define QUADKIT_EXPORT_ASCII_WRITER_H_

#include <cstdint>
#include <cstdio>

#include "scene/scene_file.h"

void WriteAsciiHeader(int32_t count, std::FILE* out);
// texCoords may be null: every u and v is then written as zero.
void WriteAsciiRect(int32_t index, const RectCoords& corners, std::FILE* out,
                    const SceneFile& scene, const RectTexCoords* texCoords);
void WriteAsciiFooter(int32_t count, std::FILE* out);

#endif  // QUADKIT_EXPORT_ASCII_WRITER_H_
