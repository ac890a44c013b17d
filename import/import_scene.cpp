#include "import/import_scene.h"

#include <cstdio>

#include "import/ascii_listing_import.h"
#include "import/design_workshop_import.h"
#include "import/obj_import.h"
#include "scene/interchange_format.h"

int32_t ImportScene(const char* scenePath, const char* textPath, int32_t format,
                    std::string* error) {
  switch (format) {
    case kFormatAscii:
      return ImportAsciiListing(scenePath, textPath, error);
    case kFormatDesignWorkshop:
      return ImportDesignWorkshop(scenePath, textPath, error);
    case kFormatObj:
      return ImportObj(scenePath, textPath, error);
    default:
      std::printf("Import format NOT supported\r\n");
      if (error != nullptr) *error = "this format cannot be imported (only the listing, /DW and /OBJ)";
      return -1;
  }
}
