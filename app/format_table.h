// The formats quadkit knows, one row each: everything the program says of a
// format and does with it comes from its row. A new format is its file (a
// FormatExport, a reader, or both), its value in InterchangeFormat, its
// format line among the messages and its row here.
#ifndef QUADKIT_APP_FORMAT_TABLE_H_
#define QUADKIT_APP_FORMAT_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "export/export_scene.h"
#include "formats/interchange_format.h"
#include "import/import_scene.h"
#include "report/reporter.h"

// One row per format, in the order the command line compares their switch
// words; the first row is the ASCII listing, the format when argument 4 is
// absent.
struct FormatRow {
  InterchangeFormat format;
  const char* switchWord;    // null for the listing, which has none
  const char* announcement;  // the format line: which format is used
  ExportFormat exporter;
  ImportFormat importer;     // no reader when the format cannot be imported
  bool CanImport() const { return importer.reader != nullptr || importer.fileReader != nullptr; }
};
extern const FormatRow kFormats[];
extern const size_t kFormatCount;

// The row of format, or null for a value that no row has.
const FormatRow* FindFormat(InterchangeFormat format);

// The switch words of the rows, joined by commas.
std::string FormatWords();

// The formats that can be imported as messages name them: one name for
// each reader, the listing by name and the others by switch word ("the
// listing, /DW, /OBJ and /GLTF").
std::string ImportableFormats();

// Export and Import in the format of the row that has that value. A value
// that no row has exports the ASCII listing, and cannot be imported. The
// texture folder and the reporter of its warnings: ExportSceneAs.
int32_t ExportScene(const char* scenePath, const char* outputPath, InterchangeFormat format, std::string& why,
                    const char* textureFolder = nullptr, Reporter* reporter = nullptr);
int32_t ImportScene(const char* scenePath, const char* textPath, InterchangeFormat format, Reporter& reporter,
                    std::string& why);

// The same for a scene already open (ExportOpenSceneAs, ImportOpenSceneAs),
// into outputs and from a text already read, which textName names; the
// export without a texture folder.
int32_t ExportOpenScene(SceneFile& scene, ExportOutputs& outputs, InterchangeFormat format, std::string& why);
int32_t ImportOpenScene(SceneFile& scene, const char* textName, const FileImage& image, InterchangeFormat format,
                        Reporter& reporter, std::string& why);

#endif  // QUADKIT_APP_FORMAT_TABLE_H_
