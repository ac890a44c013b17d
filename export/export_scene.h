// Export: writes every rectangle of a scene file into a new text file in one
// of the interchange formats.
#ifndef QUADKIT_EXPORT_EXPORT_SCENE_H_
#define QUADKIT_EXPORT_EXPORT_SCENE_H_

#include <cstdint>
#include <string>

// 0 after a complete pass; -1 when the scene file cannot be opened as a
// scene or the output file cannot be created. A format outside the known
// ones exports the ASCII listing. On -1, error (when given) says why.
int32_t ExportScene(const char* scenePath, const char* outputPath, int32_t format,
                    std::string* error = nullptr);

#endif  // QUADKIT_EXPORT_EXPORT_SCENE_H_
