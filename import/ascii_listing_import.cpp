#include "import/ascii_listing_import.h"

#include <cstdio>
#include <cstring>

#include "import/listing_lines.h"
#include "import/text_image.h"
#include "scene/ascii_case.h"
#include "scene/file_access.h"

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
void ApplyBlock(SceneFile& scene, int32_t i, const Line (&lines)[kBlockLines]) {
  const uint32_t cornersAt = static_cast<uint32_t>(scene.GetRectOffset(i)) + 100u;
  std::printf("Rechteck-ID: %s Offset: %8X\r\n", lines[0], static_cast<unsigned>(cornersAt));

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

  scene.UpdateRect(i, &corners, &texCoords);
  scene.SetRectTextureByName(i, textureName);
}

}  // namespace

int32_t ApplyAsciiListing(SceneFile& scene, const char* text) {
  if (std::strlen(text) < kHeaderWordLength || !StartsWithHeaderWord(text)) return -1;
  LineCursor cursor(text);
  cursor.Skip(kHeaderWordLength);
  Line header;
  if (!cursor.TakeRawLine(header)) return -1;
  const int32_t count = ParseListingCount(header);

  for (int32_t i = 0; i < count; ++i) {
    // The whole block is taken before any of it is applied, so a listing
    // that ends early leaves its incomplete block unwritten.
    Line lines[kBlockLines];
    for (Line& line : lines) {
      if (!cursor.TakeLine(line)) return -1;
    }
    ApplyBlock(scene, i, lines);
  }
  return 0;
}

int32_t ImportAsciiListing(const char* scenePath, const char* textPath) {
  SceneFile scene;
  if (!scene.Open(scenePath)) return -1;
  if (NameSameFile(scenePath, textPath)) return -1;
  TextImage image;
  if (!LoadTextImage(textPath, &image)) return -1;
  return ApplyAsciiListing(scene, image.text.get());
}
