// Import: writes rectangles from a text file back into an existing scene.
#ifndef QUADKIT_IMPORT_IMPORT_SCENE_H_
#define QUADKIT_IMPORT_IMPORT_SCENE_H_

#include <cstdint>
#include <string>

#include "scene/interchange_format.h"
#include "scene/messages.h"

// 0 on success; -1, with error saying why, on failure. Only the ASCII
// listing, the Design Workshop format and OBJ can be imported.
int32_t ImportScene(const char* scenePath, const char* textPath, InterchangeFormat format,
                    Reporter& reporter, std::string& error);

#endif  // QUADKIT_IMPORT_IMPORT_SCENE_H_
