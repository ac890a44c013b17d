#include "import/import_scene.h"

#include "import/ascii_listing_import.h"
#include "import/design_workshop_import.h"
#include "import/gltf_import.h"
#include "import/obj_import.h"
#include "import/text_import.h"
#include "report/failure.h"
#include "report/messages.h"

namespace {

// The formats that can be imported, each with the name its text goes by in
// messages and its reader: one that reads the file alone, or one that also
// reads the files it names.
struct ImportFormat {
  InterchangeFormat format;
  const char* kind;
  TextReader reader;
  FileReader fileReader;
};
const ImportFormat kImportFormats[] = {
    {kFormatAscii, "listing", ApplyAsciiListing, nullptr},
    {kFormatDesignWorkshop, "Design Workshop file", ApplyDesignWorkshop, nullptr},
    {kFormatObj, "OBJ file", ApplyObj, nullptr},
    // .gltf and .glb are told apart by their bytes, whichever switch.
    {kFormatGltf, "glTF file", nullptr, ApplyGltfFile},
    {kFormatGlb, "glTF file", nullptr, ApplyGltfFile},
};

}  // namespace

int32_t ImportScene(const char* scenePath, const char* textPath, InterchangeFormat format,
                    Reporter& reporter, std::string& why) {
  for (const ImportFormat& row : kImportFormats) {
    if (row.format != format) continue;
    return row.reader != nullptr ? ImportTextFile(scenePath, textPath, row.kind, row.reader, reporter, why)
                                 : ImportFile(scenePath, textPath, row.kind, row.fileReader, reporter, why);
  }
  reporter.Say(messages::kImportNotSupported);
  Fail(why, "this format cannot be imported (only the listing, /DW, /OBJ and /GLTF)");
  return kModeFailed;
}
