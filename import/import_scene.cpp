#include "import/import_scene.h"

// Importing is not available yet; every import fails without touching files.
int32_t ImportScene(const char* /*scenePath*/, const char* /*textPath*/, int32_t /*format*/) {
  return -1;
}
