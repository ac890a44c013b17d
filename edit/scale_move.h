// Resize and Move: change the corners of every rectangle of a scene in place.
#ifndef QUADKIT_EDIT_SCALE_MOVE_H_
#define QUADKIT_EDIT_SCALE_MOVE_H_

#include <cstdint>
#include <string>

#include "report/reporter.h"
#include "scene/scene_file.h"

// 0 when every rectangle was rewritten; -1, with why, when the
// scene file cannot be opened as a scene or for writing (nothing is
// written then), or when a rectangle could not be rewritten (each such
// rectangle is named on standard error; the others are rewritten all the
// same).
int32_t ScaleScene(const char* scenePath, float x, float y, float z, Reporter& reporter,
                   std::string& why);
int32_t MoveScene(const char* scenePath, float x, float y, float z, Reporter& reporter,
                  std::string& why);

// The same for a scene already open for update (a file under the exclusive
// lock its caller took, or bytes in memory); the run ends with it.
int32_t ScaleOpenScene(SceneFile& scene, float x, float y, float z, Reporter& reporter, std::string& why);
int32_t MoveOpenScene(SceneFile& scene, float x, float y, float z, Reporter& reporter, std::string& why);

#endif  // QUADKIT_EDIT_SCALE_MOVE_H_
