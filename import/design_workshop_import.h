// Reads the Polyline blocks of a Design Workshop file (format in
// export/design_workshop_writer.h) back into a scene: accepted blocks go to
// rectangles 0, 1, 2, ... by position, their material numbers name textures
// by number, and rectangles left without a block are cleared.
#ifndef QUADKIT_IMPORT_DESIGN_WORKSHOP_IMPORT_H_
#define QUADKIT_IMPORT_DESIGN_WORKSHOP_IMPORT_H_

#include <cstdint>
#include <string>

#include "scene/scene_file.h"

// 0 when the file was read through; -1 when the scene cannot be opened, the
// text file cannot be read or names the scene file itself, or a block breaks
// off before its vertex lines (what was written before stays written).
// On -1, error (when given) says why.
int32_t ImportDesignWorkshop(const char* scenePath, const char* textPath,
                             std::string* error = nullptr);

// The same, on a file already in memory (zero-terminated). On -1, error
// says where the text breaks off.
int32_t ApplyDesignWorkshop(SceneFile& scene, const char* text, std::string* error = nullptr);

#endif  // QUADKIT_IMPORT_DESIGN_WORKSHOP_IMPORT_H_
