// Import: writes rectangles from a text file back into an existing scene.
#ifndef QUADKIT_IMPORT_IMPORT_SCENE_H_
#define QUADKIT_IMPORT_IMPORT_SCENE_H_

#include <cstdint>
#include <string>

#include "formats/interchange_format.h"
#include "report/reporter.h"

// Writes the rectangles of the text file into the scene: 0 when the text
// was applied and every rectangle it names was written; -1, with why, when
// the scene cannot be opened or written, the text file cannot be read or
// names the scene file itself, the format's reader
// refuses the text, or a rectangle could not be written (what was written
// stays written). Only the ASCII listing, the Design Workshop format, OBJ
// and glTF can be imported.
int32_t ImportScene(const char* scenePath, const char* textPath, InterchangeFormat format,
                    Reporter& reporter, std::string& why);

#endif  // QUADKIT_IMPORT_IMPORT_SCENE_H_
