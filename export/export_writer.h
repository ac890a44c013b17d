// What every export format supplies: a writer triple that the export
// pipeline calls, the header writer once, the rectangle writer once for
// each readable rectangle in ascending index order, the footer writer once.
// Each writer appends its text to the context's text; the pipeline writes
// that text to the output after every call. A new format is one file that
// defines its triple and one row in the pipeline's table.
#ifndef QUADKIT_EXPORT_EXPORT_WRITER_H_
#define QUADKIT_EXPORT_EXPORT_WRITER_H_

#include <cstdint>
#include <string>
#include <vector>

#include "scene/scene_file.h"
#include "scene/text_template.h"

struct WriterContext {
  WriterContext(const SceneFile& sceneFile, const std::string& output, const std::string& companion)
      : scene(sceneFile), outputPath(output), companionPath(companion) {}

  const SceneFile& scene;            // the open scene, for more of a rectangle than its corners
  const std::string& outputPath;     // as given on the command line
  const std::string& companionPath;  // the file beside the output; empty for one-file formats
  int32_t rectCount = 0;             // the scene's rectangle count, for header and footer

  // The rectangle of a rectangle writer call.
  int32_t index = 0;                          // zero-based
  const RectCoords* corners = nullptr;        // as the scene file stores them
  const RectTexCoords* texCoords = nullptr;   // null when they could not be read
  int64_t rectsWritten = 0;                   // rectangle writer calls before this one

  std::string text;               // what the call writes; the pipeline empties it after each call
  // Text a format keeps back until its footer: the pipeline writes it, in
  // order, after the footer's own text.
  std::vector<std::string> held;
  float largestCoordinate = 0.0f; // for a format whose footer states the extent of what it wrote
  std::string failure;            // why a writer could not write its input; the export then fails
};

using WriterFunction = void (*)(WriterContext& context);

// The file name at the end of path, after its last '/' or '\\', for the
// formats that name their files in their text.
inline std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct WriterTriple {
  WriterFunction header;
  WriterFunction rect;
  WriterFunction footer;
  // A format that writes a second file beside the output (OBJ's material
  // library) names its extension, which replaces the output's, and the
  // writer that puts the whole file into the context's text; both are null
  // for a format of one file.
  const char* companionExtension;
  WriterFunction companion;
};

#endif  // QUADKIT_EXPORT_EXPORT_WRITER_H_
