#include "export/directx_writer.h"

#include "export/text_output.h"

namespace {

constexpr size_t kHeaderBufferSize = 4096;
constexpr size_t kMeshBufferSize = 2048;  // the longest mesh block is 749 characters
constexpr size_t kFooterBufferSize = 1024;

// 463 bytes: file header, the standard Header template and object, the
// opened root frame and its two materials.
const char kHeader[] =
    "xof 0302txt 0032\r\n"
    "template Header {\r\n"
    "\t<3D82AB43-62DA-11cf-AB39-0020AF71E433>\r\n"
    "\tWORD major;\r\n"
    "\tWORD minor;\r\n"
    "\tDWORD flags;\r\n"
    "}\r\n"
    "Header { 1; 0; 1; }\r\n"
    "Frame VIVAREV_Root {\r\n"
    "\tMaterial RedMaterial {\r\n"
    "\t\t1.000000;0.000000;0.000000;1.000000;;\r\n"
    "\t\t0.000000;\r\n"
    "\t\t0.000000;0.000000;0.000000;;\r\n"
    "\t\t0.000000;0.000000;0.000000;;\r\n"
    "\t}\r\n"
    "\tMaterial GreenMaterial {\r\n"
    "\t\t0.000000;1.000000;0.000000;1.000000;;\r\n"
    "\t\t0.000000;\r\n"
    "\t\t0.000000;0.000000;0.000000;;\r\n"
    "\t\t0.000000;0.000000;0.000000;;\r\n"
    "\t}\r\n";

const char kMeshTemplate[] =
    "\tMesh Side_%d {\r\n"
    "\t\t4;\r\n"
    "\t\t%f; %f; %f;,\r\n"
    "\t\t%f; %f; %f;,\r\n"
    "\t\t%f; %f; %f;,\r\n"
    "\t\t%f; %f; %f;;\r\n"
    "\t\t2;\r\n"
    "\t\t4; 0,1,2,3;;\r\n"
    "\t\t4; 3,2,1,0;;\r\n"
    "\t\tMeshMaterialList {\r\n"
    "\t\t\t2; 2; 0, 1,\r\n"
    "\t\t\t{RedMaterial} {GreenMaterial}\r\n"
    "\t\t}\r\n"
    "\t}\r\n";

}  // namespace

void WriteDirectXHeader(int32_t /*count*/, std::FILE* out) {
  char buffer[kHeaderBufferSize] = {};
  std::snprintf(buffer, sizeof buffer, "%s", kHeader);
  WriteText(buffer, out);
}

void WriteDirectXRect(int32_t index, const RectCoords& corners, std::FILE* out) {
  char buffer[kMeshBufferSize] = {};
  std::snprintf(buffer, sizeof buffer, kMeshTemplate, static_cast<int>(index),
                corners[0], corners[1], corners[2], corners[3], corners[4], corners[5],
                corners[6], corners[7], corners[8], corners[9], corners[10], corners[11]);
  WriteText(buffer, out);
}

void WriteDirectXFooter(int32_t /*count*/, std::FILE* out) {
  char buffer[kFooterBufferSize] = {};
  std::snprintf(buffer, sizeof buffer, "%s", "}\r\n");
  WriteText(buffer, out);
}
