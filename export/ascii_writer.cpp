#include "export/ascii_writer.h"

#include "text/text_template.h"

namespace {

constexpr TextTemplate<IntValue> kHeaderTemplate{"NUM_RECTS=%d\r\n"};

using Real = RealValue;
constexpr TextTemplate<IntValue, Real, Real, Real, Real, Real, Real, Real, Real, Real, Real, Real,
                       Real, Real, Real, Real, Real, Real, Real, Real, Real, TextValue>
    kRectTemplate{
        "Rect_%d\r\n"
        "\t%f, %f, %f, %f, %f\r\n"
        "\t%f, %f, %f, %f, %f\r\n"
        "\t%f, %f, %f, %f, %f\r\n"
        "\t%f, %f, %f, %f, %f\r\n"
        "\tTexture: %s\r\n"};

const TextWriters kAsciiWriters = {WriteAsciiHeader, WriteAsciiRect, WriteAsciiFooter};

}  // namespace

void WriteAsciiHeader(int32_t count, std::string& text) { AppendTemplate(text, kHeaderTemplate, count); }

void WriteAsciiRect(const ExportRect& rect, std::string& text) {
  const RectCoords& c = rect.corners;
  const RectTexCoords& uv = rect.texCoords;
  AppendTemplate(text, kRectTemplate, rect.index + 1,
                 c[0], c[1], c[2], uv[0], uv[1],
                 c[3], c[4], c[5], uv[2], uv[3],
                 c[6], c[7], c[8], uv[4], uv[5],
                 c[9], c[10], c[11], uv[6], uv[7],
                 rect.texture.name != nullptr ? rect.texture.name : "(null)");
}

void WriteAsciiFooter(int32_t /*count*/, std::string& text) { text += "[EOF]\r\n"; }

std::unique_ptr<FormatExport> MakeAsciiExport() { return MakeTextWritersExport(kAsciiWriters); }
