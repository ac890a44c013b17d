// Export: writes every rectangle of a scene file into a new text file in one
// of the interchange formats.
#ifndef QUADKIT_EXPORT_EXPORT_SCENE_H_
#define QUADKIT_EXPORT_EXPORT_SCENE_H_

#include <cstdint>
#include <cstddef>
#include <string>

#include "export/export_writer.h"
#include "scene/interchange_format.h"

// One row per format, in the order the command line compares its switch
// words; the first row is the ASCII listing, the format when argument 4 is
// absent or names no other. A new format is one writer file and one row.
struct ExportFormat {
  InterchangeFormat format;
  const char* switchWord;    // null for the listing, which has none
  const char* announcement;  // the line that says which format is used
  const WriterTriple* writers;
};
extern const ExportFormat kExportFormats[];
extern const size_t kExportFormatCount;

// The row of format; the listing's for a value that no row has.
const ExportFormat& FindExportFormat(InterchangeFormat format);

// 0 after a complete pass; -1, with error saying why, when the scene file
// cannot be opened as a scene, the output cannot be created or written, or
// a rectangle cannot be read. The output path then names what it named
// before. A format outside the known ones exports the ASCII listing.
int32_t ExportScene(const char* scenePath, const char* outputPath, InterchangeFormat format,
                    std::string& error);

// The path of the file written beside outputPath: its extension (the part
// of the file name from its last '.') replaced by extension, or extension
// added when it has none.
std::string CompanionPath(const std::string& outputPath, const char* extension);

#endif  // QUADKIT_EXPORT_EXPORT_SCENE_H_
