// Export: writes every rectangle of a scene file into a new text file in one
// of the interchange formats.
#ifndef QUADKIT_EXPORT_EXPORT_SCENE_H_
#define QUADKIT_EXPORT_EXPORT_SCENE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "export/export_format.h"
#include "formats/interchange_format.h"

// One row per format quadkit knows, in the order the command line compares
// their switch words (for Import too: every format that can be read can be
// written); the first row is the ASCII listing, the format when argument 4
// is absent. A new format is one file that defines its FormatExport and one
// row here, with its value in InterchangeFormat and its format line among
// the messages.
struct FormatRow {
  InterchangeFormat format;
  const char* switchWord;    // null for the listing, which has none
  const char* announcement;  // the line that says which format is used
  bool readsTextures;        // whether each rectangle's texture slot is read for it
  std::unique_ptr<FormatExport> (*makeExport)();
};
extern const FormatRow kFormats[];
extern const size_t kFormatCount;

// The row of format; the listing's for a value that no row has.
const FormatRow& FindFormat(InterchangeFormat format);

// 0 after a complete pass; -1, with why, when the scene file cannot be
// opened as a scene, a rectangle cannot be read, the format cannot write
// what it read, or an output file cannot be created or written. Every
// output path then names what it named before. A format outside the known
// ones exports the ASCII listing.
//
// With textureFolder, the glTF formats take each texture's image from that
// folder (export/texture_images.h); a folder that does not exist fails the
// export before any file is written. Its warnings go to reporter.
int32_t ExportScene(const char* scenePath, const char* outputPath, InterchangeFormat format,
                    std::string& why, const char* textureFolder = nullptr, Reporter* reporter = nullptr);

#endif  // QUADKIT_EXPORT_EXPORT_SCENE_H_
