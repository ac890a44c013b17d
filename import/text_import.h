// The frame every import shares: open the scene and make sure it can be
// written, refuse a path that names the scene file itself, read the file
// whole into a file image (a text, or a .glb's bytes), hand it to the
// format's reader, and fail the run when any rectangle could not be
// written.
#ifndef QUADKIT_IMPORT_TEXT_IMPORT_H_
#define QUADKIT_IMPORT_TEXT_IMPORT_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "files/file_image.h"
#include "report/rect_failures.h"
#include "report/reporter.h"
#include "scene/scene_file.h"

// The file offset of rectangle i's corners, as the import progress lines
// show it: 99 for an index beyond the scene's rectangles.
inline uint32_t ShownCornersOffset(const SceneFile& scene, int32_t i) {
  return static_cast<uint32_t>(scene.GetRectOffset(i)) + scene_layout::kCornersInRecord;
}

// Every reader takes the text and its size; text[size] is a zero byte, as
// in a file image. What a zero byte inside the text means is the format's
// own rule. A reader returns false, with why saying what is wrong with the
// text; it reports the rectangles it cannot write to failures.
using ImageReader = bool (*)(SceneFile& scene, const char* text, size_t size, Reporter& reporter,
                             RectWriteFailures& failures, std::string& why);

// kind names the text in messages ("listing", "OBJ file", ...). On -1, why
// names the file.
int32_t ImportFileImage(const char* scenePath, const char* textPath, const char* kind,
                        ImageReader reader, Reporter& reporter, std::string& why);

// A reader that also reads files that its file names beside it (a .gltf's
// buffers), and so is given the file's path as well; otherwise a
// an ImageReader, in the same frame.
using FileReader = bool (*)(SceneFile& scene, const char* path, const char* text, size_t size,
                            Reporter& reporter, RectWriteFailures& failures, std::string& why);
int32_t ImportFile(const char* scenePath, const char* path, const char* kind, FileReader reader,
                   Reporter& reporter, std::string& why);

// The same frame for a scene already open for update (a file under the
// exclusive lock its caller took, or bytes in memory) and a text already
// read (from a file, or made in memory by LoadMemoryImage), which textName
// names in messages: from the check that the scene can be written to the
// end of the run. A FileReader reads the files that the text names beside
// path.
int32_t ImportImageInto(SceneFile& scene, const char* textName, const FileImage& image, const char* kind,
                        ImageReader reader, Reporter& reporter, std::string& why);
int32_t ImportImageInto(SceneFile& scene, const char* path, const FileImage& image, const char* kind,
                        FileReader reader, Reporter& reporter, std::string& why);

#endif  // QUADKIT_IMPORT_TEXT_IMPORT_H_
