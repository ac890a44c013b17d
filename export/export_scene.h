// Export: writes every rectangle of a scene file into a new text file in one
// of the interchange formats.
#ifndef QUADKIT_EXPORT_EXPORT_SCENE_H_
#define QUADKIT_EXPORT_EXPORT_SCENE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "export/export_format.h"

// How a format is exported: whether each rectangle's texture slot is read
// for it, and the format's FormatExport (app/format_table.h has a row for
// each format).
struct ExportFormat {
  bool readsTextures;
  std::unique_ptr<FormatExport> (*makeExport)();
};

// 0 after a complete pass; -1, with why, when the scene file cannot be
// opened as a scene, a rectangle cannot be read, the format cannot write
// what it read, or an output file cannot be created or written. Every
// output path then names what it named before.
//
// With textureFolder, the glTF formats take each texture's image from that
// folder (export/texture_images.h); a folder that does not exist fails the
// export before any file is written. Its warnings go to reporter.
int32_t ExportSceneAs(const char* scenePath, const char* outputPath, const ExportFormat& format,
                      std::string& why, const char* textureFolder = nullptr, Reporter* reporter = nullptr);

// The pass of ExportSceneAs over the scene that scene holds open (a file
// under the lock its caller took, or bytes in memory) into outputs, through
// writer, made from format's row and given its texture folder before: Begin,
// every rectangle, Finish, and the scene's EndRun. 0, or -1 with why, as
// ExportSceneAs; outputs that are files are left to be committed.
int32_t ExportOpenSceneAs(SceneFile& scene, ExportOutputs& outputs, const ExportFormat& format,
                          FormatExport& writer, std::string& why);
// The same through a new writer of format, without a texture folder.
int32_t ExportOpenSceneAs(SceneFile& scene, ExportOutputs& outputs, const ExportFormat& format, std::string& why);

#endif  // QUADKIT_EXPORT_EXPORT_SCENE_H_
