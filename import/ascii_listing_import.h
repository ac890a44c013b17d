// Reads an ASCII listing (see export/ascii_writer.h) back into a scene:
// block i of the listing rewrites rectangle i's corners, texture
// coordinates and bounds, and assigns its texture by name.
#ifndef QUADKIT_IMPORT_ASCII_LISTING_IMPORT_H_
#define QUADKIT_IMPORT_ASCII_LISTING_IMPORT_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "import/text_import.h"

// The reader of the listing (see ImageReader in import/text_import.h): true
// when the listing was read to the end of its count; false when the text does
// not begin with "NUM_RECTS=" or ends before its count of blocks is
// complete (the blocks before stay written), why then saying what is
// wrong, with the line number where there is one. A zero byte inside the
// text ends it.
bool ApplyAsciiListing(SceneFile& scene, const char* text, size_t size, Reporter& reporter,
                       RectWriteFailures& failures, std::string& why);

#endif  // QUADKIT_IMPORT_ASCII_LISTING_IMPORT_H_
