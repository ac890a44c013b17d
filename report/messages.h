// Every message quadkit prints on standard output.
//
// The texts are kept exactly as they have always been, spelling, the
// German progress lines and the CR LF line ends included, because scripts
// match them byte for byte. Do not correct them.
#ifndef QUADKIT_REPORT_MESSAGES_H_
#define QUADKIT_REPORT_MESSAGES_H_

#include "text/text_template.h"

namespace messages {

constexpr char kBanner[] = "Quadkir - ZEM scene converter\r\n";
constexpr char kUsage[] =
    "Usage:\r\n"
    "  Import: Quadkit /i [ZEMFILE] [ASCIIFILE] {/DW}\r\n"
    "  Export: Quadkit /e [ZEMFILE] [ASCIIFILE] {/DX} {/CAD} {/DW}\r\n"
    "  Resize: Quadkit /s [ZEMFILE] [X-Factor] [Y-FACTOR] [Z-FACTOR]\r\n"
    "  Move  : Quadkit /m [ZEMFILE] [X-Value] [Y-Value] [Z-Value]\r\n"
    "\r\n"
    "    Format: /DX : Microsoft DirectX X File format\r\n"
    "    Format: /CAD: International Graphics standard formate (incomplete!)\r\n"
    "    Format: /DW : Artifice Design Workshop format\r\n";

// Progress words of the modes; the format line continues them.
constexpr char kImporting[] = "Importing...";
constexpr char kExporting[] = "Exporting...";
constexpr char kResizing[] = "Resizing...";
constexpr char kMoving[] = "Moving structure...";

constexpr char kUsingAscii[] = "using ASCII format\r\n";
constexpr char kUsingDirectX[] = "using DirectX format\r\n";
constexpr char kUsingCad[] = "using CAD format\r\n";
constexpr char kUsingDesignWorkshop[] = "using Designer Workshop format\r\n";
constexpr char kUsingObj[] = "using OBJ format\r\n";
constexpr char kUsingIges[] = "using IGES format\r\n";
constexpr char kUsingGltf[] = "using glTF format\r\n";
constexpr char kUsingGlb[] = "using glTF binary format\r\n";

constexpr char kUnknownMode[] = "Unknown mode\r\n";
constexpr TextTemplate<TextValue> kInvalidValue{"Invalid value: %s\r\n"};
constexpr char kSuccessful[] = "Successful\r\n";
constexpr char kFailed[] = "An Error ocured\r\n";

constexpr char kImportNotSupported[] = "Import format NOT supported\r\n";
// The offsets are those of the rectangle's corners in the scene file.
constexpr TextTemplate<TextValue, IntValue> kListingProgress{"Rechteck-ID: %s Offset: %8X\r\n"};
constexpr TextTemplate<IntValue> kDesignWorkshopProgress{"Rechteck-Offset: %8X\r\n"};
constexpr TextTemplate<IntValue> kRectanglesImported{"%d Rectangles imported\r\n"};
constexpr TextTemplate<TextValue> kTextureNotInScene{"Warning! Texture %s not in ZEM. Skipping\r\n"};
constexpr TextTemplate<IntValue> kMaterialNotInScene{"Warning! Material %d not in ZEM. Skipping\r\n"};
constexpr TextTemplate<IntValue, TextValue, TextValue> kObjectSkipped{"Warning! Line %d: object %s %s. Skipping\r\n"};
// What kObjectSkipped says of the object it skips.
constexpr char kObjectNamesNoRect[] = "names no rectangle of the scene";
constexpr TextTemplate<IntValue> kObjectNamesAppliedRect{"names the same rectangle as the object of line %d"};
constexpr TextTemplate<IntValue> kObjectFaceCount{"has %d faces, not one"};
constexpr TextTemplate<IntValue> kObjectCornerCount{"has a face of %d corners, not 4"};
constexpr TextTemplate<TextValue> kObjectBadReference{"refers to %s, which is out of range"};
// A rectangle of the scene that no object of an OBJ file names.
constexpr TextTemplate<IntValue> kRectWithoutObject{"Warning! Rect_%d has no object in the file. Skipping\r\n"};
constexpr char kObjectTrianglesNoQuad[] = "has two triangles that do not make one quad";
constexpr char kObjectTrianglesTwoMaterials[] = "has two triangles of different materials";
constexpr char kObjectTrianglesTwoTexCoords[] =
    "has two triangles that give a shared corner different texture coordinates";
// The glTF import: a node shows as its name, or as its JSON pointer.
constexpr TextTemplate<TextValue> kNodeNamesNoRect{"Warning! Node %s names no rectangle of the scene. Skipping\r\n"};
constexpr TextTemplate<TextValue, IntValue> kNodeRenamed{"Warning! Node %s is taken for Rect_%d\r\n"};
constexpr TextTemplate<IntValue, IntValue> kNoNodeForRect{
    "Warning! No node is named Rect_%d: rectangle %d stays as it is\r\n"};

constexpr TextTemplate<IntValue> kScaled{"Scaled rectangle %d successfully\r\n"};
constexpr TextTemplate<IntValue> kScaleFailed{"Error while scaling rectangle %d\r\n"};
constexpr TextTemplate<IntValue> kMoved{"Moved rectangle %d successfully\r\n"};
constexpr TextTemplate<IntValue> kMoveFailed{"Error while moving rectangle %d\r\n"};

}  // namespace messages

#endif  // QUADKIT_REPORT_MESSAGES_H_
