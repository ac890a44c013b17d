// DirectX X file, text encoding, version 3.2 with 32-bit floats. The scene
// is one frame, VIVAREV_Root, holding two materials and one mesh per
// rectangle: the four corners as vertices and two quad faces of opposite
// winding, red on one side and green on the other. Lines end with CR LF
// and are indented with tabs.
#ifndef QUADKIT_EXPORT_DIRECTX_WRITER_H_
#define QUADKIT_EXPORT_DIRECTX_WRITER_H_

#include "export/export_writer.h"

// The 463-byte header; the rectangle count is not part of it.
void WriteDirectXHeader(WriterContext& context);
// One mesh named Side_<index>, with the corners as stored.
void WriteDirectXRect(WriterContext& context);
void WriteDirectXFooter(WriterContext& context);

extern const WriterTriple kDirectXWriters;

#endif  // QUADKIT_EXPORT_DIRECTX_WRITER_H_
