// Reads the Polyline blocks of a Design Workshop file (format in
// export/design_workshop_writer.h) back into a scene: accepted blocks go to
// rectangles 0, 1, 2, ... by position, their material numbers name textures
// by number, and rectangles left without a block are cleared.
#ifndef QUADKIT_IMPORT_DESIGN_WORKSHOP_IMPORT_H_
#define QUADKIT_IMPORT_DESIGN_WORKSHOP_IMPORT_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "import/text_import.h"

// The reader of the Design Workshop file (see ImageReader in
// import/text_import.h): true when the file was read through; false when the text
// is not empty but holds neither a Polyline block nor a header line
// (nothing is written then), or a block breaks off before its vertex lines
// (what was written before stays written), why then saying where. A zero
// byte inside the text ends it.
bool ApplyDesignWorkshop(SceneFile& scene, const char* text, size_t size, Reporter& reporter,
                         RectWriteFailures& failures, std::string& why);

#endif  // QUADKIT_IMPORT_DESIGN_WORKSHOP_IMPORT_H_
