// Reads the Polyline blocks of a Design Workshop file (format in
// export/design_workshop_writer.h) back into a scene: accepted blocks go to
// rectangles 0, 1, 2, ... by position, their material numbers name textures
// by number, and rectangles left without a block are cleared.
#ifndef QUADKIT_IMPORT_DESIGN_WORKSHOP_IMPORT_H_
#define QUADKIT_IMPORT_DESIGN_WORKSHOP_IMPORT_H_

#include <cstdint>
#include <string>

#include "scene/scene_file.h"

// 0 when the file was read through and every rectangle written; -1, with
// error saying why, when the scene cannot be opened or written, the text
// file cannot be read or names the scene file itself, the text is not empty
// but holds neither a Polyline block nor a header line (nothing is written
// then), a block breaks off before its vertex lines, or a rectangle could
// not be written (what was written before stays written).
int32_t ImportDesignWorkshop(const char* scenePath, const char* textPath, Reporter& reporter,
                             std::string& error);

// The same, on a file already in memory: size bytes followed by a zero
// byte; a zero byte inside the text ends it. On -1, error says where the
// text breaks off.
int32_t ApplyDesignWorkshop(SceneFile& scene, const char* text, size_t size, Reporter& reporter,
                            RectWriteFailures& failures, std::string& error);

#endif  // QUADKIT_IMPORT_DESIGN_WORKSHOP_IMPORT_H_
