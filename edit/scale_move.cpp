#include "edit/scale_move.h"

// Resizing and moving are not available yet; both fail without touching files.
int32_t ScaleScene(const char* /*scenePath*/, float, float, float) { return -1; }
int32_t MoveScene(const char* /*scenePath*/, float, float, float) { return -1; }
