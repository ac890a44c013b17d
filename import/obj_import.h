// Reads a Wavefront OBJ file back into a scene: each object named Rect_N
// rewrites rectangle N - 1 from its one quad face (corners, and texture
// coordinates where the face has them) and assigns the texture its usemtl
// names. Objects are matched by name, so an editor may reorder or delete
// them; a rectangle without an object keeps what it has.
//
// Understood: v, vt, vn, f (a, a/b, a//c, a/b/c, negative indices), o,
// usemtl; g, s, mtllib, comments, blank lines and other statements are
// ignored. LF or CR LF line ends.
#ifndef QUADKIT_IMPORT_OBJ_IMPORT_H_
#define QUADKIT_IMPORT_OBJ_IMPORT_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "scene/scene_file.h"

// 0 when the file was applied (objects that cannot be applied are warned
// about and skipped); -1, with error saying why, when the scene cannot be
// opened or written, the text file cannot be read, names the scene file
// itself, is not text or holds no object at all (nothing is written then),
// when every object was skipped, or when a rectangle could not be written.
int32_t ImportObj(const char* scenePath, const char* textPath, Reporter& reporter,
                  std::string& error);

// The same, on a file already in memory: size bytes followed by a zero
// byte; a zero byte inside the text makes it no text file.
int32_t ApplyObj(SceneFile& scene, const char* text, size_t size, Reporter& reporter,
                 RectWriteFailures& failures, std::string& error);

#endif  // QUADKIT_IMPORT_OBJ_IMPORT_H_
