// Resize and Move: change the corners of every rectangle of a scene in place.
#ifndef QUADKIT_EDIT_SCALE_MOVE_H_
#define QUADKIT_EDIT_SCALE_MOVE_H_

#include <cstdint>
#include <string>

// 0 when the scene file was opened, -1 otherwise; then error (when given)
// says why.
int32_t ScaleScene(const char* scenePath, float x, float y, float z,
                   std::string* error = nullptr);
int32_t MoveScene(const char* scenePath, float x, float y, float z,
                  std::string* error = nullptr);

#endif  // QUADKIT_EDIT_SCALE_MOVE_H_
