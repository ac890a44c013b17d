// DirectX X file, text encoding, version 3.2 with 32-bit floats. The scene
// is one frame, VIVAREV_Root, holding two materials and one mesh per
// rectangle: the four corners as vertices and two quad faces of opposite
// winding, red on one side and green on the other. Lines end with CR LF
// and are indented with tabs.
#ifndef QUADKIT_EXPORT_DIRECTX_WRITER_H_
#define QUADKIT_EXPORT_DIRECTX_WRITER_H_

#include <cstdint>
#include <cstdio>

#include "scene/scene_file.h"

// The count is not part of the text; any value writes the same bytes.
void WriteDirectXHeader(int32_t count, std::FILE* out);
// One mesh named Side_<index>, with the corners as stored.
void WriteDirectXRect(int32_t index, const RectCoords& corners, std::FILE* out);
void WriteDirectXFooter(int32_t count, std::FILE* out);

#endif  // QUADKIT_EXPORT_DIRECTX_WRITER_H_
