// Reads a Wavefront OBJ file back into a scene: each object named Rect_N
// rewrites rectangle N - 1 from its one quad (corners, and texture
// coordinates where every corner has them) and assigns the texture that its
// own usemtl names. Objects are matched by name, so an editor may reorder
// them; a rectangle without an object keeps what it has, with a warning.
//
// Objects are the "o" lines; a file without any takes its "g" lines
// instead, and groups in a row that name one rectangle are one object. A
// name is Rect_N, or Rect_N_ followed by anything (the object-and-mesh
// names editors write). The quad is one face of four corners, or two
// triangles that share one edge (as an editor's triangulation writes it).
// Vertices may be shared between objects. An object that names no
// rectangle is warned about; one that names a rectangle but cannot be
// applied (not one quad, a vertex that does not exist, a rectangle an
// object before it was taken for) is warned about too, the others are
// applied, and the import fails naming each such rectangle.
//
// Exactly the user's edits come back. Every number that is the scene's own
// value printed with the decimals most numbers of the file have (an
// editor's fixed precision, 6 for Blender) keeps the scene's bits; any
// other number is written as read. A rectangle whose values are all kept is
// not written at all. All objects are read, and the scene's rectangles with
// them, before anything is written: a file whose rectangles are mostly the
// scene's with y and z exchanged (an editor's axis settings) is refused.
//
// Understood: v, vt, vn, f (a, a/b, a//c, a/b/c, negative indices), o, g,
// usemtl; s, mtllib, comments, blank lines and other statements are
// ignored. LF or CR LF line ends.
//
// The reader only reads: it hands the quads of the objects it takes to the
// applier of editor files (import/quad_applier.h), with OBJ's policy (how
// Blender rounds, the turned-file check, OBJ's texts), which writes them.
//
// Memory: the file image, the positions and texture coordinates (counted
// before they are read, and held in one block each) and an entry per
// rectangle of the scene; nothing that grows with the number of lines or
// objects.
#ifndef QUADKIT_IMPORT_OBJ_IMPORT_H_
#define QUADKIT_IMPORT_OBJ_IMPORT_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "import/text_import.h"
#include "import/triangle_quad.h"

// The reader of OBJ files (see ImageReader in import/text_import.h): true when
// every object that names a rectangle was applied; false, with why, when
// the text is not text (a zero byte inside makes it none), holds no object
// at all, is too large for memory or holds the scene turned (nothing is
// written then), or when an object that names a rectangle was skipped or
// every object was.
bool ApplyObj(SceneFile& scene, const char* text, size_t size, Reporter& reporter,
              RectWriteFailures& failures, std::string& why);

// The 0-based rectangle that an object's name gives, or -1: "Rect_N", or
// "Rect_N_" followed by anything, with N from 1 to rectCount in at most
// nine digits.
int32_t RectIndexOfObjectName(const char* name, size_t length, int32_t rectCount);

#endif  // QUADKIT_IMPORT_OBJ_IMPORT_H_
