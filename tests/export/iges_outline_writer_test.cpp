#include "export/iges_outline_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "app/format_table.h"
#include "tests/support/test_support.h"
#include "sample/scene_builder.h"

namespace {

// One fixed line: text, blanks, the section columns and CR LF.
std::string Line(const std::string& text, size_t blanks, const std::string& tail) {
  return text + std::string(blanks, ' ') + tail + "\r\n";
}

std::string EntityLine(const std::string& numbers, int pointer, int sequence) {
  return Line("110," + numbers + ";", 38,
              std::to_string(pointer) + "P      " + std::to_string(sequence));
}

const std::string kHeader =
    Line("KAPRA IGES Interface facility. Rectangle geometry export", 16, "S      1") +
    Line("1H,,1H;,9HKAPRA 2.2,15HTESTQUADRAT.IGS,3H2.2,8HIGES 1.0,32,38,6,38,15,", 2, "G      1") +
    Line("4HNone,1.,2,2HMM,8,1.50000,14H1010323.123032,0.00100000,1.00000E+010,", 3, "G      2") +
    Line("7HUnknown,7HUnknown,6,2;", 48, "G      3");
const std::string kFooter = Line("102,4,1,3,5,7;", 57, "9P      5") +
                            Line("108,0.,0.,-1.,-100.,9,0.,0.,0.,0.;", 36, "11P      6") +
                            Line("S      1G      3D     12P      6", 40, "T      1");

TEST(IgesWriterTest, SceneWithoutRectangles) {
  std::string why;
  ASSERT_EQ(kHeader.size(), 328u);
  ASSERT_EQ(kFooter.size(), 246u);
  TempDir dir;
  ASSERT_TRUE(WriteFileBytes(dir.File("s.zem"), BuildScene(SceneContents{}).bytes));
  ASSERT_EQ(ExportScene(dir.File("s.zem").c_str(), dir.File("s.igs").c_str(), kFormatIgesOutline, why), 0);
  EXPECT_EQ(ReadFileText(dir.File("s.igs")), kHeader + kFooter);
}

TEST(IgesWriterTest, TwoRectanglesRepeatPointersAndSequenceNumbers) {
  std::string why;
  SceneContents contents;
  contents.rects.resize(2);
  contents.rects[0].corners = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
  contents.rects[1].corners = {-1234.567f, 0.005f, 12345678, 100, 100, 100,
                           100, 100, 100, 0, 0, 0};
  TempDir dir;
  ASSERT_TRUE(WriteFileBytes(dir.File("s.zem"), BuildScene(contents).bytes));
  ASSERT_EQ(ExportScene(dir.File("s.zem").c_str(), dir.File("s.igs").c_str(), kFormatIgesOutline, why), 0);
  const std::string hundreds = "100.00,100.00,100.00,100.00,100.00,100.00";
  ASSERT_EQ(EntityLine(hundreds, 3, 2).size(), 93u + 2u);
  EXPECT_EQ(ReadFileText(dir.File("s.igs")),
            kHeader + EntityLine("0.00,0.00,0.00,1.00,0.00,0.00", 1, 1) +
                EntityLine("1.00,0.00,0.00,1.00,1.00,0.00", 3, 2) +
                EntityLine("1.00,1.00,0.00,0.00,1.00,0.00", 5, 3) +
                EntityLine("0.00,1.00,0.00,0.00,0.00,0.00", 7, 4) +
                EntityLine("-1234.57,0.00,12345678.00,100.00,100.00,100.00", 1, 1) +
                EntityLine(hundreds, 3, 2) +
                EntityLine("100.00,100.00,100.00,0.00,0.00,0.00", 5, 3) +
                EntityLine("0.00,0.00,0.00,-1234.57,0.00,12345678.00", 7, 4) + kFooter);
}

}  // namespace
