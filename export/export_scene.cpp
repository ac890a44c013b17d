#include "export/export_scene.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "export/ascii_writer.h"
#include "export/design_workshop_writer.h"
#include "export/directx_writer.h"
#include "export/iges_writer.h"
#include "export/obj_writer.h"
#include "scene/file_access.h"
#include "scene/interchange_format.h"
#include "scene/scene_file.h"

namespace {

// What the pipeline hands a writer; each format's row picks its arguments.
struct WriterCall {
  int32_t count;
  std::FILE* out;
  SceneFile* scene;
  int32_t index;
  const RectCoords* corners;
  const RectTexCoords* texCoords;
  int64_t rectsWritten;        // rectangle writer calls before this one
  std::string libraryPath;     // OBJ: the material library beside the output
};

struct WriterTriple {
  void (*header)(const WriterCall&);
  void (*rect)(const WriterCall&);
  void (*footer)(const WriterCall&);
};

const WriterTriple kAsciiWriters = {
    [](const WriterCall& c) { WriteAsciiHeader(c.count, c.out); },
    [](const WriterCall& c) {
      WriteAsciiRect(c.index, *c.corners, c.out, *c.scene, c.texCoords);
    },
    [](const WriterCall& c) { WriteAsciiFooter(c.count, c.out); },
};

const WriterTriple kDirectXWriters = {
    [](const WriterCall& c) { WriteDirectXHeader(c.count, c.out); },
    [](const WriterCall& c) { WriteDirectXRect(c.index, *c.corners, c.out); },
    [](const WriterCall& c) { WriteDirectXFooter(c.count, c.out); },
};

const WriterTriple kIgesWriters = {
    [](const WriterCall& c) { WriteIgesHeader(c.count, c.out); },
    [](const WriterCall& c) { WriteIgesRect(c.index, *c.corners, c.out); },
    [](const WriterCall& c) { WriteIgesFooter(c.count, c.out); },
};

const WriterTriple kDesignWorkshopWriters = {
    [](const WriterCall& c) { WriteDesignWorkshopHeader(c.count, c.out, *c.scene); },
    [](const WriterCall& c) {
      WriteDesignWorkshopRect(c.index, *c.corners, c.out, *c.scene);
    },
    [](const WriterCall& c) { WriteDesignWorkshopFooter(c.count, c.out); },
};

const WriterTriple kObjWriters = {
    [](const WriterCall& c) { WriteObjHeader(c.count, c.out, *c.scene, c.libraryPath); },
    [](const WriterCall& c) {
      WriteObjRect(c.index, *c.corners, c.texCoords, 4 * c.rectsWritten + 1, c.out, *c.scene);
    },
    [](const WriterCall& c) { WriteObjFooter(c.count, c.out); },
};

// Every value other than the named formats selects the ASCII listing.
const WriterTriple& SelectWriters(int32_t format) {
  switch (format) {
    case kFormatDirectX:
      return kDirectXWriters;
    case kFormatIges:
      return kIgesWriters;
    case kFormatDesignWorkshop:
      return kDesignWorkshopWriters;
    case kFormatObj:
      return kObjWriters;
    default:
      return kAsciiWriters;
  }
}

int32_t Refuse(std::string* error, const std::string& message) {
  if (error != nullptr) *error = message;
  return -1;
}

// The OBJ material library may be neither the scene nor the output itself.
bool LibraryPathIsSafe(const char* scenePath, const char* outputPath, const std::string& library,
                       std::string* error) {
  if (NameSameFile(scenePath, library.c_str())) {
    Refuse(error, "refusing to write '" + library + "': it is the scene file itself");
    return false;
  }
  if (library == outputPath || NameSameFile(outputPath, library.c_str())) {
    Refuse(error, "refusing to export to '" + std::string(outputPath) +
                      "': its material library would be the same file");
    return false;
  }
  return true;
}

}  // namespace

int32_t ExportScene(const char* scenePath, const char* outputPath, int32_t format,
                    std::string* error) {
  const WriterTriple& writers = SelectWriters(format);
  SceneFile scene;
  if (!scene.Open(scenePath, error)) return -1;
  const std::string quoted = "'" + std::string(outputPath) + "'";
  // "w+b" would empty the scene file before a single rectangle is read.
  if (NameSameFile(scenePath, outputPath)) {
    return Refuse(error, "refusing to export to " + quoted + ": it is the scene file itself");
  }
  const std::string library = ObjMaterialLibraryPath(outputPath);
  if (format == kFormatObj && !LibraryPathIsSafe(scenePath, outputPath, library, error)) return -1;
  FileHandle out = OpenFile(outputPath, "w+b");
  if (!out) {
    return Refuse(error, "cannot create output file " + quoted + ": " + std::strerror(errno));
  }
  if (format == kFormatObj && !WriteObjMaterialLibrary(library, scene, error)) {
    out.reset();
    RemoveFile(outputPath);  // no OBJ without its library
    return -1;
  }

  WriterCall call = {scene.GetRectCount(), out.get(), &scene, 0, nullptr, nullptr, 0, library};
  writers.header(call);
  for (int32_t i = 0; i < scene.GetRectCount(); ++i) {
    const RectCoords* corners = scene.GetRectCoords(i);
    const RectTexCoords* texCoords = scene.GetRectTexCoords(i);
    if (corners == nullptr) continue;  // unreadable: no block, no message
    call.index = i;
    call.corners = corners;
    call.texCoords = texCoords;
    writers.rect(call);
    ++call.rectsWritten;
  }
  call.count = scene.GetRectCount();
  writers.footer(call);
  scene.Close();
  return 0;
}
