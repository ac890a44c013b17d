#include "import/import_scene.h"

#include "import/ascii_listing_import.h"
#include "import/design_workshop_import.h"
#include "import/obj_import.h"
#include "scene/messages.h"

int32_t ImportScene(const char* scenePath, const char* textPath, InterchangeFormat format,
                    Reporter& reporter, std::string& error) {
  switch (format) {
    case kFormatAscii:
      return ImportAsciiListing(scenePath, textPath, reporter, error);
    case kFormatDesignWorkshop:
      return ImportDesignWorkshop(scenePath, textPath, reporter, error);
    case kFormatObj:
      return ImportObj(scenePath, textPath, reporter, error);
    default:
      reporter.Say(messages::kImportNotSupported);
      return Fail(error, "this format cannot be imported (only the listing, /DW and /OBJ)");
  }
}
