// Import: writes rectangles from a text file back into an existing scene.
#ifndef QUADKIT_IMPORT_IMPORT_SCENE_H_
#define QUADKIT_IMPORT_IMPORT_SCENE_H_

#include <cstdint>
#include <string>

#include "import/text_import.h"
#include "report/reporter.h"

// How a format is imported: the name its file goes by in messages
// ("listing", "OBJ file", ...) and its reader, one that reads the file
// alone or one that also reads the files it names (app/format_table.h has
// a row for each format).
struct ImportFormat {
  const char* kind;
  ImageReader reader;
  FileReader fileReader;
};

// Writes the rectangles of the text file into the scene: 0 when the text
// was applied and every rectangle it names was written; -1, with why, when
// the scene cannot be opened or written, the text file cannot be read or
// names the scene file itself, the format's reader refuses the text, or a
// rectangle could not be written (what was written stays written).
int32_t ImportSceneAs(const char* scenePath, const char* textPath, const ImportFormat& format,
                      Reporter& reporter, std::string& why);

// The same for a scene already open for update and a text already read, as
// ImportImageInto (import/text_import.h) takes them.
int32_t ImportOpenSceneAs(SceneFile& scene, const char* textName, const FileImage& image, const ImportFormat& format,
                      Reporter& reporter, std::string& why);

#endif  // QUADKIT_IMPORT_IMPORT_SCENE_H_
