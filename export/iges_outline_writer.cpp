#include "export/iges_outline_writer.h"

#include "text/text_template.h"

namespace {

// Start line and Global section, 328 bytes.
const char kHeader[] =
    "KAPRA IGES Interface facility. Rectangle geometry export                S      1\r\n"
    "1H,,1H;,9HKAPRA 2.2,15HTESTQUADRAT.IGS,3H2.2,8HIGES 1.0,32,38,6,38,15,  G      1\r\n"
    "4HNone,1.,2,2HMM,8,1.50000,14H1010323.123032,0.00100000,1.00000E+010,   G      2\r\n"
    "7HUnknown,7HUnknown,6,2;                                                G      3\r\n";

// Four Line entities (type 110), corner 0 to 1, 1 to 2, 2 to 3, 3 to 0. The
// pointers and sequence numbers are the same for every rectangle, and the
// lines widen with their numbers instead of being fitted to 80 columns.
using Real = RealValue;
constexpr TextTemplate<Real, Real, Real, Real, Real, Real, Real, Real, Real, Real, Real, Real, Real,
                       Real, Real, Real, Real, Real, Real, Real, Real, Real, Real, Real>
    kRectTemplate{
    "110,%.2f,%.2f,%.2f,%.2f,%.2f,%.2f;                                      1P      1\r\n"
    "110,%.2f,%.2f,%.2f,%.2f,%.2f,%.2f;                                      3P      2\r\n"
    "110,%.2f,%.2f,%.2f,%.2f,%.2f,%.2f;                                      5P      3\r\n"
    "110,%.2f,%.2f,%.2f,%.2f,%.2f,%.2f;                                      7P      4\r\n"};

// Composite Curve of entries 1, 3, 5, 7, the Plane z = 100 bounded by it,
// and the Terminate line of a one-rectangle file; 246 bytes.
const char kFooter[] =
    "102,4,1,3,5,7;                                                         9P      5\r\n"
    "108,0.,0.,-1.,-100.,9,0.,0.,0.,0.;                                    11P      6\r\n"
    "S      1G      3D     12P      6                                        T      1\r\n";

const TextWriters kIgesOutlineWriters = {WriteCadOutlineHeader, WriteCadOutlineRect, WriteCadOutlineFooter};

}  // namespace

void WriteCadOutlineHeader(int32_t /*count*/, std::string& text) { text += kHeader; }

void WriteCadOutlineRect(const ExportRect& rect, std::string& text) {
  const RectCoords& c = rect.corners;
  AppendTemplate(text, kRectTemplate,
                 c[0], c[1], c[2], c[3], c[4], c[5],
                 c[3], c[4], c[5], c[6], c[7], c[8],
                 c[6], c[7], c[8], c[9], c[10], c[11],
                 c[9], c[10], c[11], c[0], c[1], c[2]);
}

void WriteCadOutlineFooter(int32_t /*count*/, std::string& text) { text += kFooter; }

std::unique_ptr<FormatExport> MakeIgesOutlineExport() { return MakeTextWritersExport(kIgesOutlineWriters); }
