// What every export format supplies, and what the export pipeline
// (export/export_scene.cpp) gives it.
//
// For each export the pipeline makes a new FormatExport from the format's
// row, so the object keeps whatever the format needs for that one export:
// counts, extents, sections held back for later. The pipeline calls Begin
// once, AddRect once for each rectangle in ascending index order, and Finish
// once; each returns false, with why, when the format cannot write what it
// was given, and the export then fails.
//
// A format writes into the outputs that ExportOutputs gives it, in any
// order: the output named on the command line and any file beside it. For
// files (ExportFiles) the pipeline creates each as a new file beside its
// path, checks every write, and puts them all in place only when the whole
// export succeeded; in memory (ExportMemory) they are kept as strings.
//
// A new format is one file that defines its FormatExport, and its row in
// the format table (app/format_table.cpp).
#ifndef QUADKIT_EXPORT_EXPORT_FORMAT_H_
#define QUADKIT_EXPORT_EXPORT_FORMAT_H_

#include <cstdint>
#include <memory>
#include <string>

#include "export/export_files.h"
#include "files/path_names.h"  // FileNameOf: the formats that name their files in their text
#include "report/reporter.h"
#include "scene/scene_file.h"

// One rectangle as the pipeline read it.
struct ExportRect {
  int32_t index;                   // zero-based
  const RectCoords& corners;       // as the scene file stores them
  const RectTexCoords& texCoords;  // as stored
  RectTexture texture;             // read only for a format whose row asks for textures
};

class FormatExport {
 public:
  virtual ~FormatExport() = default;
  virtual bool Begin(const SceneFile& scene, ExportOutputs& files, std::string& why) = 0;
  virtual bool AddRect(const ExportRect& rect, std::string& why) = 0;
  virtual bool Finish(std::string& why) = 0;
  // The folder of images named by texture word (argument 5 of Export),
  // given before Begin; warnings go to reporter, which outlives the export.
  // The formats that carry no images ignore it.
  virtual bool UseTextureFolder(const std::string& folder, Reporter& reporter, std::string& why) {
    (void)folder;
    (void)reporter;
    (void)why;
    return true;
  }
};

// The shape of a format of one file whose header, rectangle blocks and
// footer are texts of their own, as the listing, DirectX and the /CAD
// outline are: each writer appends its text, and the text goes to the
// output after every call.
struct TextWriters {
  void (*header)(int32_t count, std::string& text);
  void (*rect)(const ExportRect& rect, std::string& text);
  void (*footer)(int32_t count, std::string& text);
};

std::unique_ptr<FormatExport> MakeTextWritersExport(const TextWriters& writers);

// Writes text to file and empties it, for the next piece.
bool WriteAndClear(OutputSink& file, std::string& text, std::string& why);


#endif  // QUADKIT_EXPORT_EXPORT_FORMAT_H_
