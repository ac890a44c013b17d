// The "/CAD" file: IGES in the fixed 80-column ASCII form, the outline of every rectangle as
// four Line entities. The file is incomplete on purpose: it has no Directory
// Entry section, every rectangle repeats the same pointers and sequence
// numbers, the footer's counts are those of a one-rectangle file, and lines
// that carry coordinates are not fitted to 80 columns.
#ifndef QUADKIT_EXPORT_IGES_OUTLINE_WRITER_H_
#define QUADKIT_EXPORT_IGES_OUTLINE_WRITER_H_

#include "export/export_format.h"

// The 328-byte Start and Global sections.
void WriteCadOutlineHeader(int32_t count, std::string& text);
// Four Line entities, the outline of the rectangle.
void WriteCadOutlineRect(const ExportRect& rect, std::string& text);
// The Composite Curve, the Plane and the Terminate line, 246 bytes.
void WriteCadOutlineFooter(int32_t count, std::string& text);

std::unique_ptr<FormatExport> MakeIgesOutlineExport();

#endif  // QUADKIT_EXPORT_IGES_OUTLINE_WRITER_H_
