#include "app/format_table.h"

#include "export/ascii_writer.h"
#include "export/design_workshop_writer.h"
#include "export/directx_writer.h"
#include "export/gltf_writer.h"
#include "export/iges_outline_writer.h"
#include "export/iges_surface_writer.h"
#include "export/obj_writer.h"
#include "import/ascii_listing_import.h"
#include "import/design_workshop_import.h"
#include "import/gltf_import.h"
#include "import/obj_import.h"
#include "report/failure.h"
#include "report/messages.h"

namespace {

constexpr ImportFormat kNoImport = {nullptr, nullptr, nullptr};

}  // namespace

// The exporter: whether each rectangle's texture slot is read for it, and
// the format's FormatExport. The importer: the name its file goes by in
// messages, and its reader (one that reads the file alone, or one that also
// reads the files it names).
const FormatRow kFormats[] = {
    {kFormatAscii, nullptr, messages::kUsingAscii, {true, MakeAsciiExport},
     {"listing", ApplyAsciiListing, nullptr}},
    {kFormatDirectX, "/DX", messages::kUsingDirectX, {false, MakeDirectXExport}, kNoImport},
    {kFormatIgesOutline, "/CAD", messages::kUsingCad, {false, MakeIgesOutlineExport}, kNoImport},
    {kFormatDesignWorkshop, "/DW", messages::kUsingDesignWorkshop, {true, MakeDesignWorkshopExport},
     {"Design Workshop file", ApplyDesignWorkshop, nullptr}},
    {kFormatObj, "/OBJ", messages::kUsingObj, {true, MakeObjExport}, {"OBJ file", ApplyObj, nullptr}},
    {kFormatIgesSurfaces, "/IGES", messages::kUsingIges, {true, MakeIgesSurfaceExport}, kNoImport},
    // .gltf and .glb are told apart by their bytes, whichever switch.
    {kFormatGltf, "/GLTF", messages::kUsingGltf, {true, MakeGltfExport}, {"glTF file", nullptr, ApplyGltfFile}},
    {kFormatGlb, "/GLB", messages::kUsingGlb, {true, MakeGlbExport}, {"glTF file", nullptr, ApplyGltfFile}},
};
const size_t kFormatCount = sizeof kFormats / sizeof kFormats[0];

const FormatRow* FindFormat(InterchangeFormat format) {
  for (const FormatRow& row : kFormats) {
    if (row.format == format) return &row;
  }
  return nullptr;
}

std::string FormatWords() {
  std::string words;
  for (const FormatRow& row : kFormats) {
    if (row.switchWord != nullptr) words += (words.empty() ? "" : ", ") + std::string(row.switchWord);
  }
  return words;
}

std::string ImportableFormats() {
  std::string names[sizeof kFormats / sizeof kFormats[0]];
  size_t count = 0;
  for (size_t k = 0; k < kFormatCount; ++k) {
    const FormatRow& row = kFormats[k];
    bool named = !row.CanImport();
    for (size_t before = 0; before < k && !named; ++before) {
      named = kFormats[before].importer.reader == row.importer.reader &&
              kFormats[before].importer.fileReader == row.importer.fileReader;
    }
    if (!named) names[count++] = row.switchWord != nullptr ? row.switchWord : "the " + std::string(row.importer.kind);
  }
  std::string text;
  for (size_t k = 0; k < count; ++k) text += (k == 0 ? "" : k + 1 == count ? " and " : ", ") + names[k];
  return text;
}

namespace {

const ExportFormat& ExporterOf(InterchangeFormat format) {
  const FormatRow* row = FindFormat(format);
  return (row != nullptr ? *row : kFormats[0]).exporter;
}

// The importer of format, or null, said so, for a format that cannot be
// imported.
const ImportFormat* ImporterOf(InterchangeFormat format, Reporter& reporter, std::string& why) {
  const FormatRow* row = FindFormat(format);
  if (row != nullptr && row->CanImport()) return &row->importer;
  reporter.Say(messages::kImportNotSupported);
  Fail(why, "this format cannot be imported (only " + ImportableFormats() + ")");
  return nullptr;
}

}  // namespace

int32_t ExportScene(const char* scenePath, const char* outputPath, InterchangeFormat format, std::string& why,
                    const char* textureFolder, Reporter* reporter) {
  return ExportSceneAs(scenePath, outputPath, ExporterOf(format), why, textureFolder, reporter);
}

int32_t ImportScene(const char* scenePath, const char* textPath, InterchangeFormat format, Reporter& reporter,
                    std::string& why) {
  const ImportFormat* importer = ImporterOf(format, reporter, why);
  return importer != nullptr ? ImportSceneAs(scenePath, textPath, *importer, reporter, why) : kModeFailed;
}

int32_t ExportOpenScene(SceneFile& scene, ExportOutputs& outputs, InterchangeFormat format, std::string& why) {
  return ExportOpenSceneAs(scene, outputs, ExporterOf(format), why);
}

int32_t ImportOpenScene(SceneFile& scene, const char* textName, const FileImage& image, InterchangeFormat format,
                            Reporter& reporter, std::string& why) {
  const ImportFormat* importer = ImporterOf(format, reporter, why);
  return importer != nullptr ? ImportOpenSceneAs(scene, textName, image, *importer, reporter, why) : kModeFailed;
}
