// Import: writes rectangles from a text file back into an existing scene.
#ifndef QUADKIT_IMPORT_IMPORT_SCENE_H_
#define QUADKIT_IMPORT_IMPORT_SCENE_H_

#include <cstdint>
#include <string>

// 0 on success, -1 on failure; then error (when given) says why. Only the
// ASCII listing and the Design Workshop format can be imported.
int32_t ImportScene(const char* scenePath, const char* textPath, int32_t format,
                    std::string* error = nullptr);

#endif  // QUADKIT_IMPORT_IMPORT_SCENE_H_
