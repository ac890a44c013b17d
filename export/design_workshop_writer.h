// The Artifice Design Workshop text file, as quadkit writes and reads it.
// Lines end with CR LF. The file is:
//
//   the 36-line header, line 2 "//\tNumber of Objects: <rectangle count>"
//   the materials block: "numMaterials: T", an empty line, then for each
//     texture k = 1..T "Material: <name>", "k", an empty line; or, when the
//     scene file cannot be read again, "numMaterials: 1", "", "Material:
//     none", "0"
//   one 18-line Polyline block per rectangle that is not all zero:
//     Polyline: / Phase: 1 / Mat: <texture index + 1> / Name: /
//     Color: 65535 64000 56000 / numVerts: 4 / four vertex lines
//     "<x> <z> <y> 1" (y and z exchanged) / numEdges: 4 / 0 1 / 1 2 / 2 3 /
//     3 0 / numFaces: 0 / numOpenings: 0 / an empty line
//   the footer: one empty line
#ifndef QUADKIT_EXPORT_DESIGN_WORKSHOP_WRITER_H_
#define QUADKIT_EXPORT_DESIGN_WORKSHOP_WRITER_H_

#include <cstdint>
#include <cstdio>

#include "scene/scene_file.h"

// The materials are read from the scene file again, by the object's file name.
void WriteDesignWorkshopHeader(int32_t count, std::FILE* out, const SceneFile& scene);
// Writes nothing for a rectangle that fails the all-zero test.
void WriteDesignWorkshopRect(int32_t index, const RectCoords& corners, std::FILE* out,
                             const SceneFile& scene);
void WriteDesignWorkshopFooter(int32_t count, std::FILE* out);

#endif  // QUADKIT_EXPORT_DESIGN_WORKSHOP_WRITER_H_
