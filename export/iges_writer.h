// IGES in the fixed 80-column ASCII form: the outline of every rectangle as
// four Line entities. The file is incomplete on purpose: it has no Directory
// Entry section, every rectangle repeats the same pointers and sequence
// numbers, the footer's counts are those of a one-rectangle file, and lines
// that carry coordinates are not fitted to 80 columns.
#ifndef QUADKIT_EXPORT_IGES_WRITER_H_
#define QUADKIT_EXPORT_IGES_WRITER_H_

#include <cstdint>
#include <cstdio>

#include "scene/scene_file.h"

// The count and the index appear nowhere in the text.
void WriteIgesHeader(int32_t count, std::FILE* out);
void WriteIgesRect(int32_t index, const RectCoords& corners, std::FILE* out);
void WriteIgesFooter(int32_t count, std::FILE* out);

#endif  // QUADKIT_EXPORT_IGES_WRITER_H_
