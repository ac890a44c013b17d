// Reads a glTF 2.0 file (.gltf with its buffers, or .glb) back into a scene.
//
// Each node named Rect_N, or Rect_N.anything as editors rename a copy (with
// a warning), gives rectangle N - 1: the vertices of its mesh, moved by the
// node's transform and its parents' (an object moved in an editor's object
// mode moves the node, not its vertices), rebuilt into the four corners in
// the order the scene stores them; their texture coordinates; and as the
// texture the name of its material (decoded as OBJ's words are). The mesh
// may hold the quad's two triangles in any order, as any number of
// primitives, with its vertices shared, split or re-ordered.
//
// An untouched value keeps its stored bits: a coordinate or u equal to the
// stored one, and a v equal to the stored one or to what an editor that
// flips v on import and export makes of it (formats/gltf_rules.h). A
// rectangle whose values and texture all come back so is not rewritten.
//
// Nodes that name no rectangle are warned about and skipped; so is a
// rectangle that no node names, which stays as it is. A rectangle that a
// node names but that cannot be applied (a mesh that is not one quad,
// two materials, a second node for it) fails the run, with one line on
// standard error saying why and what to do; the others are applied.
// The reader only reads (the scene's stored corners, to order a quad's);
// the applier of editor files (import/quad_applier.h) writes, with glTF's
// policy.
// Nothing is written when the file is refused: not glTF 2.0, an
// extension that quadkit cannot read (compression), an accessor it cannot
// read (sparse), or anything that points outside its data.
#ifndef QUADKIT_IMPORT_GLTF_IMPORT_H_
#define QUADKIT_IMPORT_GLTF_IMPORT_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "import/gltf_document.h"
#include "import/gltf_quad.h"
#include "import/text_import.h"

// The file's bytes, read from memory; its buffer files come from resources.
bool ApplyGltf(SceneFile& scene, const uint8_t* bytes, size_t size, GltfResources& resources,
               Reporter& reporter, RectWriteFailures& failures, std::string& why);

// The reader of the import frame: the buffer files lie beside path.
bool ApplyGltfFile(SceneFile& scene, const char* path, const char* text, size_t size, Reporter& reporter,
                   RectWriteFailures& failures, std::string& why);

// The 0-based rectangle a node's name gives, or -1: "Rect_N" or
// "Rect_N." followed by anything (renamed is then set), with N from 1 to
// rectCount in at most nine digits.
int32_t RectIndexOfNodeName(const std::string& name, int32_t rectCount, bool& renamed);

#endif  // QUADKIT_IMPORT_GLTF_IMPORT_H_
