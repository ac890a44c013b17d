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

#include "export/export_format.h"

void WriteAsciiHeader(int32_t count, std::string& text);
void WriteAsciiRect(const ExportRect& rect, std::string& text);
void WriteAsciiFooter(int32_t count, std::string& text);

std::unique_ptr<FormatExport> MakeAsciiExport();

#endif  // QUADKIT_EXPORT_ASCII_WRITER_H_
