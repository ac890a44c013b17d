// Reads an ASCII listing (see export/ascii_writer.h) back into a scene:
// block i of the listing rewrites rectangle i's corners, texture
// coordinates and bounds, and assigns its texture by name.
#ifndef QUADKIT_IMPORT_ASCII_LISTING_IMPORT_H_
#define QUADKIT_IMPORT_ASCII_LISTING_IMPORT_H_

#include <cstdint>
#include <string>

#include "scene/scene_file.h"

// 0 when the listing was read to the end of its count and every rectangle
// of the scene it names was written; -1, with error saying why, when the
// scene cannot be opened or written, the text file cannot be read or names
// the scene file itself, the text does not begin with "NUM_RECTS=", the
// listing ends before its count of blocks is complete, or a rectangle could
// not be written (the blocks before stay written).
int32_t ImportAsciiListing(const char* scenePath, const char* textPath, Reporter& reporter,
                           std::string& error);

// The same, on a listing already in memory: size bytes followed by a zero
// byte; a zero byte inside the text ends it. On -1, error says what is
// wrong with the text, with the line number where there is one.
int32_t ApplyAsciiListing(SceneFile& scene, const char* text, size_t size, Reporter& reporter,
                          RectWriteFailures& failures, std::string& error);

#endif  // QUADKIT_IMPORT_ASCII_LISTING_IMPORT_H_
