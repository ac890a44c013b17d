#include "export/directx_writer.h"

#include "text/text_template.h"

namespace {

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

using Real = RealValue;
constexpr TextTemplate<IntValue, Real, Real, Real, Real, Real, Real, Real, Real, Real, Real, Real, Real>
    kMeshTemplate{
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
    "\t}\r\n"};

const TextWriters kDirectXWriters = {WriteDirectXHeader, WriteDirectXRect, WriteDirectXFooter};

}  // namespace

void WriteDirectXHeader(int32_t /*count*/, std::string& text) { text += kHeader; }

void WriteDirectXRect(const ExportRect& rect, std::string& text) {
  const RectCoords& c = rect.corners;
  AppendTemplate(text, kMeshTemplate, rect.index, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7],
                 c[8], c[9], c[10], c[11]);
}

void WriteDirectXFooter(int32_t /*count*/, std::string& text) { text += "}\r\n"; }

std::unique_ptr<FormatExport> MakeDirectXExport() { return MakeTextWritersExport(kDirectXWriters); }
