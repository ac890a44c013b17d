// Reads an ASCII listing (see export/ascii_writer.h) back into a scene:
// block i of the listing rewrites rectangle i's corners, texture
// coordinates and bounds, and assigns its texture by name.
#ifndef QUADKIT_IMPORT_ASCII_LISTING_IMPORT_H_
#define QUADKIT_IMPORT_ASCII_LISTING_IMPORT_H_

#include <cstdint>
#include <string>

#include "scene/scene_file.h"

// 0 when the listing was read to the end of its count; -1 when the scene
// cannot be opened, the text file cannot be read or names the scene file
// itself, the text does not begin with "NUM_RECTS=", or the listing ends
// before its count of blocks is complete (the blocks before stay written).
// On -1, error (when given) says why.
int32_t ImportAsciiListing(const char* scenePath, const char* textPath,
                           std::string* error = nullptr);

// The same, on a listing already in memory (zero-terminated). On -1, error
// says what is wrong with the text, with the line number where there is one.
int32_t ApplyAsciiListing(SceneFile& scene, const char* text, std::string* error = nullptr);

#endif  // QUADKIT_IMPORT_ASCII_LISTING_IMPORT_H_
