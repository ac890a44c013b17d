// The Artifice Design Workshop text file, as quadkit writes and reads it.
// Lines end with CR LF. The file is:
//
//   the 36-line header, line 2 "//\tNumber of Objects: <rectangle count>"
//   the materials block: "numMaterials: T", an empty line, then for each
//     texture k = 1..T "Material: <name>", "k", an empty line
//   one 18-line Polyline block per rectangle that is not all zero:
//     Polyline: / Phase: 1 / Mat: <texture index + 1> / Name: /
//     Color: 65535 64000 56000 / numVerts: 4 / four vertex lines
//     "<x> <z> <y> 1" (y and z exchanged) / numEdges: 4 / 0 1 / 1 2 / 2 3 /
//     3 0 / numFaces: 0 / numOpenings: 0 / an empty line
//   the footer: one empty line
#ifndef QUADKIT_EXPORT_DESIGN_WORKSHOP_WRITER_H_
#define QUADKIT_EXPORT_DESIGN_WORKSHOP_WRITER_H_

#include "export/export_format.h"

// The header and the materials block, read from the scene file again by the
// scene's file name; false, with why, when that read fails.
bool WriteDesignWorkshopHeader(int32_t count, const SceneFile& scene, std::string& text,
                               std::string& why);
// Writes nothing for a rectangle whose corners are all zero.
void WriteDesignWorkshopRect(const ExportRect& rect, std::string& text);
void WriteDesignWorkshopFooter(int32_t count, std::string& text);

std::unique_ptr<FormatExport> MakeDesignWorkshopExport();

#endif  // QUADKIT_EXPORT_DESIGN_WORKSHOP_WRITER_H_
