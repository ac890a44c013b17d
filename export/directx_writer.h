// DirectX X file, text encoding, version 3.2 with 32-bit floats. The scene
// is one frame, VIVAREV_Root, holding two materials and one mesh per
// rectangle: the four corners as vertices and two quad faces of opposite
// winding, red on one side and green on the other. Lines end with CR LF
// and are indented with tabs.
#ifndef QUADKIT_EXPORT_DIRECTX_WRITER_H_
#define QUADKIT_EXPORT_DIRECTX_WRITER_H_

#include "export/export_format.h"

// The 463-byte header; the rectangle count is not part of it.
void WriteDirectXHeader(int32_t count, std::string& text);
// One mesh named Side_<index>, with the corners as stored.
void WriteDirectXRect(const ExportRect& rect, std::string& text);
void WriteDirectXFooter(int32_t count, std::string& text);

std::unique_ptr<FormatExport> MakeDirectXExport();

#endif  // QUADKIT_EXPORT_DIRECTX_WRITER_H_
