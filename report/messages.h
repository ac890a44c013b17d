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
// The check continues its progress word with no format line of its own.
constexpr char kChecking[] = "Checking...\r\n";

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

// The check (/c): what the scene holds, then each kind of damage found
// and each kind of information, with its count and its first rectangles.
constexpr TextTemplate<IntValue> kCheckRects{"Rectangles: %d\r\n"};
constexpr TextTemplate<IntValue> kCheckTextures{"Textures: %d\r\n"};
constexpr TextTemplate<IntValue> kCheckFileSize{"File size: %d bytes\r\n"};
constexpr TextTemplate<RealValue, RealValue, RealValue, RealValue, RealValue, RealValue> kCheckExtent{
    "Extent: x %f to %f, y %f to %f, z %f to %f\r\n"};
constexpr char kCheckNoExtent[] = "Extent: none (no corner is a finite number)\r\n";
// The name last, as the listing writes it: the rest of the line.
constexpr TextTemplate<IntValue, IntValue, TextValue> kCheckTextureUse{"Texture %d (%d rectangles): %s\r\n"};
constexpr TextTemplate<IntValue, TextValue> kCheckRecordOutside{
    "Error: the record of %d index entries lies partly or wholly outside the file: %s\r\n"};
constexpr TextTemplate<IntValue, TextValue> kCheckRecordOverTables{
    "Error: the record of %d index entries overlaps the header, the index table or the texture tables, "
    "so no edit writes it: %s\r\n"};
constexpr TextTemplate<IntValue, TextValue> kCheckSharedRecord{
    "Error: %d index entries share all or part of their record with another entry, "
    "so a Resize or Move edits it twice: %s\r\n"};
constexpr TextTemplate<IntValue, TextValue> kCheckSlotOutside{
    "Error: the texture slot of %d rectangles lies partly or wholly outside the file: %s\r\n"};
constexpr TextTemplate<IntValue, TextValue> kCheckTextureOutside{
    "Error: the texture index of %d rectangles lies outside the texture table: %s\r\n"};
constexpr TextTemplate<IntValue, TextValue> kCheckCornerNotFinite{
    "Error: %d rectangles have a corner that is no finite number: %s\r\n"};
constexpr TextTemplate<IntValue, TextValue, TextValue> kCheckBoundsDiffer{
    "Error: %d rectangles have stored bounds that their corners do not give: %s; "
    "quadkit /s %s 1 recomputes them\r\n"};
constexpr TextTemplate<IntValue, TextValue> kCheckCleared{
    "Information: %d rectangles are cleared (every corner coordinate is zero): %s\r\n"};
constexpr TextTemplate<IntValue, TextValue> kCheckNoArea{
    "Information: %d rectangles have no area (their corners lie on one line or one point): %s\r\n"};
constexpr char kCheckSound[] = "No damage found\r\n";

}  // namespace messages

#endif  // QUADKIT_REPORT_MESSAGES_H_
