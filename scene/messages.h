// What quadkit tells its user: every message it prints on standard output,
// the reporter through which the program's parts print them, and the way
// its operations say why they failed.
//
// The texts are kept exactly as they have always been, spelling, the
// German progress lines and the CR LF line ends included, because scripts
// match them byte for byte. Do not correct them.
#ifndef QUADKIT_SCENE_MESSAGES_H_
#define QUADKIT_SCENE_MESSAGES_H_

#include <cstdint>
#include <string>
#include <utility>

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
constexpr char kUsingIges[] = "using CAD format\r\n";
constexpr char kUsingDesignWorkshop[] = "using Designer Workshop format\r\n";
constexpr char kUsingObj[] = "using OBJ format\r\n";
constexpr char kUsingIgesSurfaces[] = "using IGES format\r\n";

constexpr char kUnknownMode[] = "Unknown mode\r\n";
constexpr char kInvalidValue[] = "Invalid value: %s\r\n";
constexpr char kSuccessful[] = "Successful\r\n";
constexpr char kFailed[] = "An Error ocured\r\n";

constexpr char kImportNotSupported[] = "Import format NOT supported\r\n";
// The offsets are those of the rectangle's corners in the scene file.
constexpr char kListingProgress[] = "Rechteck-ID: %s Offset: %8X\r\n";
constexpr char kDesignWorkshopProgress[] = "Rechteck-Offset: %8X\r\n";
constexpr char kRectanglesImported[] = "%d Rectangles imported\r\n";
constexpr char kTextureNotInScene[] = "Warning! Texture %s not in ZEM. Skipping\r\n";
constexpr char kMaterialNotInScene[] = "Warning! Material %d not in ZEM. Skipping\r\n";
constexpr char kObjectSkipped[] = "Warning! Line %d: object %s %s. Skipping\r\n";
// What kObjectSkipped says of the object it skips.
constexpr char kObjectNamesNoRect[] = "names no rectangle of the scene";
constexpr char kObjectNamesAppliedRect[] = "names the same rectangle as the object of line %d";
constexpr char kObjectFaceCount[] = "has %d faces, not one";
constexpr char kObjectCornerCount[] = "has a face of %d corners, not 4";
constexpr char kObjectBadReference[] = "refers to %s, which is out of range";
constexpr char kObjectTrianglesNoQuad[] = "has two triangles that do not make one quad";
constexpr char kObjectTrianglesTwoMaterials[] = "has two triangles of different materials";
constexpr char kObjectTrianglesTwoTexCoords[] =
    "has two triangles that give a shared corner different texture coordinates";

constexpr char kScaled[] = "Scaled rectangle %d successfully\r\n";
constexpr char kScaleFailed[] = "Error while scaling rectangle %d\r\n";
constexpr char kMoved[] = "Moved rectangle %d successfully\r\n";
constexpr char kMoveFailed[] = "Error while moving rectangle %d\r\n";

}  // namespace messages

// The one way the program's parts tell the user something; the front end
// owns it. Each message is printed at the moment it is given.
class Reporter {
 public:
  virtual ~Reporter() = default;
  // A message for standard output, exactly as given (one of the texts above,
  // filled in).
  virtual void Say(const std::string& text) = 0;
  // A diagnostic for standard error: one line, printed as "quadkit: " text.
  virtual void Complain(const std::string& text) = 0;
};

// How the program's operations fail: they return a failure value and say
// why in an error text that the caller hands in. Fail fills the text and
// gives a value that converts to the failure result of the caller: false
// for a truth value, -1 for a mode's result.
constexpr int32_t kModeFailed = -1;

struct Failure {
  operator bool() const { return false; }
  operator int32_t() const { return kModeFailed; }
};

inline Failure Fail(std::string& error, std::string why) {
  error = std::move(why);
  return Failure();
}

#endif  // QUADKIT_SCENE_MESSAGES_H_
