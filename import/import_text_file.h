// The frame every import shares: open the scene, refuse a text path that
// names the scene file itself, read the text file whole, apply it.
#ifndef QUADKIT_IMPORT_IMPORT_TEXT_FILE_H_
#define QUADKIT_IMPORT_IMPORT_TEXT_FILE_H_

#include <cstdint>
#include <string>

#include "import/text_image.h"
#include "scene/scene_file.h"

// Applies a file image to the open scene; on -1, why says what is wrong
// with the text.
using ApplyTextImage = int32_t (*)(SceneFile& scene, const TextImage& image, std::string* why);

// kind names the text in messages ("listing", "OBJ file", ...). On -1,
// error (when given) says why, naming the file.
int32_t ImportTextFile(const char* scenePath, const char* textPath, const char* kind,
                       ApplyTextImage apply, std::string* error);

#endif  // QUADKIT_IMPORT_IMPORT_TEXT_FILE_H_
