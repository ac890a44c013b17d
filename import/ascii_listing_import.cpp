#include "import/ascii_listing_import.h"

#include <cstring>

#include "import/listing_lines.h"
#include "import/text_import.h"
#include "report/failure.h"
#include "report/messages.h"
#include "text/text_rules.h"
#include "text/text_template.h"

namespace {

constexpr char kHeaderWord[] = "NUM_RECTS=";
constexpr size_t kHeaderWordLength = sizeof kHeaderWord - 1;
constexpr int kBlockLines = 6;

bool StartsWithHeaderWord(const char* text) {
  for (size_t k = 0; k < kHeaderWordLength; ++k) {
    if (FoldAsciiCase(text[k]) != FoldAsciiCase(kHeaderWord[k])) return false;
  }
  return true;
}

using Line = char[kListingLineBufferSize];

// Applies one complete block of six lines to rectangle i.
void ApplyBlock(SceneFile& scene, int32_t i, const Line (&lines)[kBlockLines], Reporter& reporter,
                RectWriteFailures& failures) {
  reporter.Say(FillTemplate(messages::kListingProgress, lines[0], ShownCornersOffset(scene, i)));

  RectCoords corners = {};
  RectTexCoords texCoords = {};
  for (int k = 0; k < 4; ++k) {
    float values[5] = {};
    ScanCornerLine(lines[1 + k], values);
    corners[3 * k] = values[0];
    corners[3 * k + 1] = values[1];
    corners[3 * k + 2] = values[2];
    texCoords[2 * k] = values[3];
    texCoords[2 * k + 1] = values[4];
  }
  char textureName[kTextureWordBufferSize] = {};
  ScanTextureLine(lines[5], textureName);

  // Blocks beyond the scene's rectangles are read and shown, but there is
  // no rectangle to write them into.
  const bool inScene = i < scene.GetRectCount();
  std::string why;
  if (!scene.UpdateRect(i, &corners, &texCoords, why) && inScene) failures.Add(i, why);
  if (!scene.SetRectTextureByName(i, textureName, reporter, why) && inScene) failures.Add(i, why);
}

std::string LineFailure(LineResult result, int lineNumber, int32_t block, int32_t count) {
  const std::string where = "line " + std::to_string(lineNumber);
  if (result == LineResult::kTooLong) return where + " is longer than 1023 characters";
  return "ends early at " + where + ": block " + std::to_string(block + 1) + " of " +
         std::to_string(count) + " is incomplete";
}

}  // namespace

bool ApplyAsciiListing(SceneFile& scene, const char* text, size_t /*size*/, Reporter& reporter,
                       RectWriteFailures& failures, std::string& why) {
  if (std::strlen(text) < kHeaderWordLength || !StartsWithHeaderWord(text)) {
    return Fail(why, "does not begin with NUM_RECTS=");
  }
  LineCursor cursor(text);
  cursor.Skip(kHeaderWordLength);
  Line header;
  if (cursor.TakeRawLine(header) != LineResult::kTaken) {
    return Fail(why, "line 1 is longer than 1023 characters");
  }
  const int32_t count = ParseListingCount(header);

  for (int32_t i = 0; i < count && !scene.WasReplaced(); ++i) {
    // The whole block is taken before any of it is applied, so a listing
    // that ends early leaves its incomplete block unwritten.
    Line lines[kBlockLines];
    for (Line& line : lines) {
      const LineResult result = cursor.TakeLine(line);
      if (result != LineResult::kTaken) {
        return Fail(why, LineFailure(result, cursor.lineNumber(), i, count));
      }
    }
    ApplyBlock(scene, i, lines, reporter, failures);
  }
  return true;
}
