#include "export/ascii_writer.h"

namespace {

const char kRectTemplate[] =
    "Rect_%d\r\n"
    "\t%f, %f, %f, %f, %f\r\n"
    "\t%f, %f, %f, %f, %f\r\n"
    "\t%f, %f, %f, %f, %f\r\n"
    "\t%f, %f, %f, %f, %f\r\n"
    "\tTexture: %s\r\n";

}  // namespace

const WriterTriple kAsciiWriters = {WriteAsciiHeader, WriteAsciiRect, WriteAsciiFooter, nullptr,
                                    nullptr};

void WriteAsciiHeader(WriterContext& context) {
  AppendTemplate(context.text, "NUM_RECTS=%d\r\n", {context.rectCount});
}

void WriteAsciiRect(WriterContext& context) {
  const RectTexCoords noTexCoords = {};
  const RectTexCoords& uv = context.texCoords != nullptr ? *context.texCoords : noTexCoords;
  const RectCoords& c = *context.corners;
  const char* name = context.scene.GetRectTextureName(context.index);
  AppendTemplate(context.text, kRectTemplate,
                 {context.index + 1,
                  c[0], c[1], c[2], uv[0], uv[1],
                  c[3], c[4], c[5], uv[2], uv[3],
                  c[6], c[7], c[8], uv[4], uv[5],
                  c[9], c[10], c[11], uv[6], uv[7],
                  name != nullptr ? name : "(null)"});
}

void WriteAsciiFooter(WriterContext& context) { context.text += "[EOF]\r\n"; }
