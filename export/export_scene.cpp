#include "export/export_scene.h"

#include <memory>

#include "export/ascii_writer.h"
#include "export/design_workshop_writer.h"
#include "export/directx_writer.h"
#include "export/export_writer.h"
#include "export/iges_surface_writer.h"
#include "export/iges_writer.h"
#include "export/obj_writer.h"
#include "export/output_file.h"
#include "scene/file_access.h"
#include "scene/messages.h"

const ExportFormat kExportFormats[] = {
    {kFormatAscii, nullptr, messages::kUsingAscii, &kAsciiWriters},
    {kFormatDirectX, "/DX", messages::kUsingDirectX, &kDirectXWriters},
    {kFormatIges, "/CAD", messages::kUsingIges, &kIgesWriters},
    {kFormatDesignWorkshop, "/DW", messages::kUsingDesignWorkshop, &kDesignWorkshopWriters},
    {kFormatObj, "/OBJ", messages::kUsingObj, &kObjWriters},
    {kFormatIgesSurfaces, "/IGES", messages::kUsingIgesSurfaces, &kIgesSurfaceWriters},
};
const size_t kExportFormatCount = sizeof kExportFormats / sizeof kExportFormats[0];

const ExportFormat& FindExportFormat(InterchangeFormat format) {
  for (const ExportFormat& row : kExportFormats) {
    if (row.format == format) return row;
  }
  return kExportFormats[0];
}

namespace {

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

// Neither file of an export may be the scene file, and a companion may not
// be the output itself.
bool PathsAreSafe(const char* scenePath, const std::string& output, const std::string& companion,
                  std::string& error) {
  // Writing it would empty the scene file before a single rectangle is read.
  if (NameSameFile(scenePath, output.c_str())) {
    return Fail(error, "refusing to export to " + Quoted(output) + ": it is the scene file itself");
  }
  if (companion.empty()) return true;
  if (NameSameFile(scenePath, companion.c_str())) {
    return Fail(error, "refusing to write " + Quoted(companion) + ": it is the scene file itself");
  }
  if (companion == output || NameSameFile(output.c_str(), companion.c_str())) {
    return Fail(error, "refusing to export to " + Quoted(output) +
                           ": its material library would be the same file");
  }
  return true;
}

// Writes the text of one writer call, unless the writer failed.
bool WriteCall(const WriterContext& context, OutputFile& out, std::string& error) {
  if (!context.failure.empty()) return Fail(error, context.failure);
  return out.Write(context.text, error);
}

// Runs the writer triple over every rectangle, writing each call's text.
bool WriteRects(const WriterTriple& writers, SceneFile& scene, WriterContext& context,
                OutputFile& out, std::string& error) {
  context.rectCount = scene.GetRectCount();
  writers.header(context);
  if (!WriteCall(context, out, error)) return false;
  for (int32_t i = 0; i < scene.GetRectCount(); ++i) {
    const RectCoords* corners = scene.GetRectCoords(i);
    const RectTexCoords* texCoords = scene.GetRectTexCoords(i);
    if (corners == nullptr) continue;  // unreadable: no block
    context.text.clear();
    context.index = i;
    context.corners = corners;
    context.texCoords = texCoords;
    writers.rect(context);
    ++context.rectsWritten;
    if (!WriteCall(context, out, error)) return false;
  }
  context.text.clear();
  context.rectCount = scene.GetRectCount();
  writers.footer(context);
  if (!WriteCall(context, out, error)) return false;
  for (const std::string& held : context.held) {
    if (!out.Write(held, error)) return false;
  }
  // A rectangle that could not be read is missing from the output.
  if (!scene.ReadError().empty()) return Fail(error, scene.ReadError());
  return out.Finish(error);
}

}  // namespace

std::string CompanionPath(const std::string& outputPath, const char* extension) {
  const size_t slash = outputPath.find_last_of("/\\");
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = outputPath.find_last_of('.');
  if (dot == std::string::npos || dot < nameStart) return outputPath + extension;
  return outputPath.substr(0, dot) + extension;
}

int32_t ExportScene(const char* scenePath, const char* outputPath, InterchangeFormat format,
                    std::string& error) {
  const WriterTriple& writers = *FindExportFormat(format).writers;
  SceneFile scene;
  if (!scene.Open(scenePath, error)) return kModeFailed;
  const std::string output = outputPath;
  const std::string companion =
      writers.companion != nullptr ? CompanionPath(output, writers.companionExtension) : "";
  if (!PathsAreSafe(scenePath, output, companion, error)) return kModeFailed;

  WriterContext context(scene, output, companion);
  OutputFile out(output, "output file");
  if (!out.Create(error)) return kModeFailed;
  std::unique_ptr<OutputFile> library;
  if (writers.companion != nullptr) {
    library = std::make_unique<OutputFile>(companion, "material library");
    writers.companion(context);
    if (!library->Create(error) || !library->Write(context.text, error) || !library->Finish(error)) {
      return kModeFailed;
    }
    context.text.clear();
  }
  if (!WriteRects(writers, scene, context, out, error)) return kModeFailed;
  // The library goes in place first: an output never names a missing one.
  if (library != nullptr && !library->Commit(error)) return kModeFailed;
  if (!out.Commit(error)) return kModeFailed;
  scene.Close();
  return 0;
}
