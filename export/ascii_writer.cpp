#include "export/ascii_writer.h"

#include "export/text_output.h"

namespace {
constexpr size_t kHeaderBufferSize = 1024;
constexpr size_t kRectBufferSize = 2048;
constexpr size_t kFooterBufferSize = 256;
}  // namespace

void WriteAsciiHeader(int32_t count, std::FILE* out) {
  char buffer[kHeaderBufferSize] = {};
  std::snprintf(buffer, sizeof buffer, "NUM_RECTS=%d\r\n", static_cast<int>(count));
  WriteText(buffer, out);
}

void WriteAsciiRect(int32_t index, const RectCoords& corners, std::FILE* out,
                    const SceneFile& scene, const RectTexCoords* texCoords) {
  const RectTexCoords noTexCoords = {};
  const RectTexCoords& uv = texCoords != nullptr ? *texCoords : noTexCoords;
  const char* name = scene.GetRectTextureName(index);

  // The longest block (five-digit number, twenty 47-character values,
  // "(null)") is 1014 characters.
  char buffer[kRectBufferSize] = {};
  std::snprintf(buffer, sizeof buffer,
                "Rect_%d\r\n"
                "\t%f, %f, %f, %f, %f\r\n"
                "\t%f, %f, %f, %f, %f\r\n"
                "\t%f, %f, %f, %f, %f\r\n"
                "\t%f, %f, %f, %f, %f\r\n"
                "\tTexture: %s\r\n",
                static_cast<int>(index) + 1,
                corners[0], corners[1], corners[2], uv[0], uv[1],
                corners[3], corners[4], corners[5], uv[2], uv[3],
                corners[6], corners[7], corners[8], uv[4], uv[5],
                corners[9], corners[10], corners[11], uv[6], uv[7],
                name != nullptr ? name : "(null)");
  WriteText(buffer, out);
}

void WriteAsciiFooter(int32_t /*count*/, std::FILE* out) {
  char buffer[kFooterBufferSize] = {};
  std::snprintf(buffer, sizeof buffer, "%s", "[EOF]\r\n");
  WriteText(buffer, out);
}
