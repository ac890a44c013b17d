#include "import/import_scene.h"

#include "import/ascii_listing_import.h"
#include "import/design_workshop_import.h"
#include "import/obj_import.h"
#include "import/text_import.h"
#include "report/failure.h"
#include "report/messages.h"

namespace {

// The formats that can be imported, each with the name its text goes by in
// messages and its reader.
struct ImportFormat {
  InterchangeFormat format;
  const char* kind;
  TextReader reader;
};
const ImportFormat kImportFormats[] = {
    {kFormatAscii, "listing", ApplyAsciiListing},
    {kFormatDesignWorkshop, "Design Workshop file", ApplyDesignWorkshop},
    {kFormatObj, "OBJ file", ApplyObj},
};

}  // namespace

int32_t ImportScene(const char* scenePath, const char* textPath, InterchangeFormat format,
                    Reporter& reporter, std::string& why) {
  for (const ImportFormat& row : kImportFormats) {
    if (row.format == format) {
      return ImportTextFile(scenePath, textPath, row.kind, row.reader, reporter, why);
    }
  }
  reporter.Say(messages::kImportNotSupported);
  Fail(why, "this format cannot be imported (only the listing, /DW and /OBJ)");
  return kModeFailed;
}
