// Import: writes rectangles from a text file back into an existing scene.
#ifndef QUADKIT_IMPORT_IMPORT_SCENE_H_
#define QUADKIT_IMPORT_IMPORT_SCENE_H_

#include <cstdint>

// 0 on success, -1 on failure.
int32_t ImportScene(const char* scenePath, const char* textPath, int32_t format);

#endif  // QUADKIT_IMPORT_IMPORT_SCENE_H_
