#include "export/iges_surface_writer.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <utility>

#include "export/iges_fixed_form.h"
#include "report/failure.h"
#include "text/fixed_decimal.h"
#include "text/hex_text.h"

#ifndef QUADKIT_VERSION
#error "QUADKIT_VERSION must hold quadkit's version"
#endif

namespace {

constexpr char kWritingSystem[] = "quadkit " QUADKIT_VERSION;
constexpr char kStartText[] = "quadkit " QUADKIT_VERSION
                              ": the rectangles of a ZEM scene as bilinear surfaces";
constexpr int kSurfaceEntity = 128;
constexpr int kIgesVersion53 = 11;
constexpr size_t kNameBytes = scene_layout::kNameSize;
// SOURCE_DATE_EPOCH beyond the last second of the year 9999 is not taken.
constexpr long long kLastFourDigitYearSecond = 253402300799LL;

// Printable ASCII but the blank, which pads the label field.
bool IsPlainLabelByte(unsigned char c) { return c > 0x20 && c < 0x7F; }

// The name as it is, or the hex digits of its four bytes (see the header).
std::string TextureLabel(const char* name) {
  if (name == nullptr) return "(null)";
  size_t length = 0;
  while (length < kNameBytes && name[length] != '\0') ++length;
  bool plain = length > 0;
  for (size_t k = 0; k < length; ++k) plain = plain && IsPlainLabelByte(static_cast<unsigned char>(name[k]));
  if (plain) return std::string(name, length);
  std::string hex;
  for (size_t k = 0; k < kNameBytes; ++k) AppendHexByte(hex, k < length ? static_cast<unsigned char>(name[k]) : 0);
  return hex;
}

// -1 when all twelve coordinates are finite, else the corner of the first
// that is not.
int FirstNonFiniteCorner(const RectCoords& corners) {
  for (size_t k = 0; k < corners.size(); ++k) {
    if (!std::isfinite(corners[k])) return static_cast<int>(k / 3);
  }
  return -1;
}

float LargestMagnitude(const RectCoords& corners, float largest) {
  for (const float value : corners) largest = std::max(largest, std::fabs(value));
  return largest;
}

// Degree 1 in u and v, two control points each way, not closed, polynomial
// (all weights 1), not periodic; knots 0 0 1 1 both ways; control points
// with u running fastest: P(0,0) corner 0, P(1,0) corner 1, P(0,1) corner
// 3, P(1,1) corner 2; parameter range 0 to 1 both ways.
void AddSurfaceParameters(IgesParameterLines& lines, const RectCoords& corners) {
  // Each parameter with its length, which the loops need not count.
  struct Fixed {
    const char* text;
    size_t length;
  };
  static constexpr Fixed kShapeAndKnotsAndWeights[] = {
      {"1", 1},  {"1", 1},  {"1", 1},  {"1", 1},  {"0", 1},  {"0", 1},  {"1", 1},
      {"0", 1},  {"0", 1},  {"0.", 2}, {"0.", 2}, {"1.", 2}, {"1.", 2}, {"0.", 2},
      {"0.", 2}, {"1.", 2}, {"1.", 2}, {"1.", 2}, {"1.", 2}, {"1.", 2}, {"1.", 2}};
  static constexpr Fixed kBounds[] = {{"0.", 2}, {"1.", 2}, {"0.", 2}, {"1.", 2}};
  char entity[24];
  lines.Add(entity, static_cast<size_t>(WriteDecimalDigits(entity, kSurfaceEntity) - entity));
  for (const Fixed& fixed : kShapeAndKnotsAndWeights) lines.Add(fixed.text, fixed.length);
  for (const int corner : {0, 1, 3, 2}) {
    for (int axis = 0; axis < 3; ++axis) lines.AddReal(corners[3 * corner + axis]);
  }
  for (const Fixed& bound : kBounds) lines.Add(bound.text, bound.length);
}

// YYYYMMDD.HHNNSS in UTC.
std::string WritingTime() {
  std::time_t seconds = std::time(nullptr);
  const char* fixed = std::getenv("SOURCE_DATE_EPOCH");
  if (fixed != nullptr) {
    long long value = -1;
    const char* end = fixed + std::strlen(fixed);
    const std::from_chars_result read = std::from_chars(fixed, end, value);
    if (read.ec == std::errc() && read.ptr == end && value >= 0 && value <= kLastFourDigitYearSecond) {
      seconds = static_cast<std::time_t>(value);
    }
  }
  const std::tm* utc = std::gmtime(&seconds);
  char text[32] = "19700101.000000";
  if (utc != nullptr) std::strftime(text, sizeof text, "%Y%m%d.%H%M%S", utc);
  return text;
}

// The 25 parameters of the Global section; author and organisation are
// left to their default.
std::vector<std::string> GlobalParameters(const std::string& sceneName, const std::string& outputName,
                                          float largestCoordinate) {
  const std::string scene = IgesHollerith(IgesText(sceneName));
  const std::string system = IgesHollerith(kWritingSystem);
  const std::string date = IgesHollerith(WritingTime());
  // Two 32-bit floats that differ by less than this relative step of the
  // largest coordinate are the same float.
  const float resolution = FLT_EPSILON * std::max(1.0f, largestCoordinate);
  return {"1H,", "1H;", scene, IgesHollerith(IgesText(outputName)), system,
          system, "32", "38", "6", "308", "15", scene, "1.", IgesInteger(kIgesUnitFlag),
          IgesHollerith(kIgesUnitName), "1", "1.", date, IgesReal(resolution),
          IgesReal(largestCoordinate), "", "", IgesInteger(kIgesVersion53), "0", date};
}

int64_t LineCount(const std::string& lines) { return static_cast<int64_t>(lines.size() / kIgesLineBytes); }

// The Directory Entry section must stand before the Parameter Data section,
// so both are kept back until every rectangle is in, and Finish writes the
// whole file.
class IgesSurfaceExport : public FormatExport {
 public:
  bool Begin(const SceneFile& scene, ExportOutputs& files, std::string& /*why*/) override {
    output_ = &files.output();
    sceneName_ = FileNameOf(scene.GetFileName());
    // Room for the usual rectangle: two directory lines, five parameter lines.
    const size_t rects = static_cast<size_t>(std::max(scene.GetRectCount(), 0));
    directory_.reserve(rects * 2 * kIgesLineBytes);
    parameters_.reserve(rects * 5 * kIgesLineBytes);
    return true;
  }

  bool AddRect(const ExportRect& rect, std::string& why) override {
    const int badCorner = FirstNonFiniteCorner(rect.corners);
    if (badCorner >= 0) {
      return Fail(why, "rectangle " + std::to_string(rect.index) + " cannot be written as IGES: corner " +
                           std::to_string(badCorner) + " has a coordinate that is not a finite number");
    }
    largestCoordinate_ = LargestMagnitude(rect.corners, largestCoordinate_);
    IgesDirectoryEntry entry;
    entry.entityType = kSurfaceEntity;
    entry.parameterPointer = LineCount(parameters_) + 1;
    entry.label = TextureLabel(rect.texture.name);
    entry.subscript = rect.index + 1;
    const int64_t directorySequence = LineCount(directory_) + 1;
    IgesParameterLines lines(parameters_, 'P', entry.parameterPointer, directorySequence);
    AddSurfaceParameters(lines, rect.corners);
    entry.parameterLines = lines.Finish();
    AppendIgesDirectoryEntry(directory_, entry, directorySequence);
    return true;
  }

  bool Finish(std::string& why) override {
    std::string start;
    AppendIgesLine(start, kStartText, 'S', 1);
    const int64_t globalLines = AppendIgesParameters(
        start, GlobalParameters(sceneName_, FileNameOf(output_->path()), largestCoordinate_), 'G', 1, 0);
    std::string terminate;
    AppendIgesTerminate(terminate, 1, globalLines, LineCount(directory_), LineCount(parameters_));
    return output_->Write(start, why) && output_->Write(directory_, why) &&
           output_->Write(parameters_, why) && output_->Write(terminate, why);
  }

 private:
  OutputSink* output_ = nullptr;
  std::string sceneName_;
  float largestCoordinate_ = 0.0f;
  std::string directory_;
  std::string parameters_;
};

}  // namespace

std::unique_ptr<FormatExport> MakeIgesSurfaceExport() { return std::make_unique<IgesSurfaceExport>(); }
