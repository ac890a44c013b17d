// The one applier of editor files (OBJ, glTF): takes the quads a reader
// named, keeps the bits of every value the editor gave back untouched,
// refuses a file that holds the scene turned, tells of rectangles that no
// quad names and of those that cannot be applied, and writes the others.
// What differs between the editors is the format's ImportPolicy.
#ifndef QUADKIT_IMPORT_QUAD_APPLIER_H_
#define QUADKIT_IMPORT_QUAD_APPLIER_H_

#include <cstdint>
#include <string>

#include "import/named_quads.h"
#include "report/rect_failures.h"
#include "report/reporter.h"
#include "scene/scene_file.h"

// Which of a quad's values a number is.
enum class QuadValue { kPosition, kU, kV };

struct ImportPolicy {
  // How the format's editor rounds: true when read, as the file gives it,
  // is what the editor makes of stored (editorText: its text has the
  // editor's decimals, editorDecimals of them), so that stored is kept.
  bool (*keepsStored)(float read, float stored, QuadValue value, bool editorText, int editorDecimals);
  // The editor settings that turn a scene and what to do about them; null
  // when the format's files are not checked for a turned scene.
  const char* turnedAxes;
  const char* turnedAdvice;
  // Apply in the file's order and then tell of the rectangles no quad
  // names, and of those not applied after the count; else go through the
  // rectangles in order, telling of each as it comes.
  bool inFileOrder;
  // The warning for a rectangle that no quad names.
  std::string (*unnamedWarning)(int32_t rect);
  // False: a texture the rectangle has already is not written again, and
  // noTextureWord names no texture.
  bool rewriteTexture;
  const char* noTextureWord;
  // The run's reason when no quad was applied (null: none), and when count
  // rectangles were not.
  const char* noneApplied;
  std::string (*notAppliedWhy)(int32_t count);
};

// False, with why, when the file is refused (nothing is written then) or
// a rectangle it names was not applied; failures gets the writes that fail.
// reads are the reader's, of scene.
bool ApplyNamedQuads(SceneFile& scene, SceneReads& reads, NamedQuads& quads, const ImportPolicy& policy, Reporter& reporter,
                     RectWriteFailures& failures, std::string& why);

#endif  // QUADKIT_IMPORT_QUAD_APPLIER_H_
