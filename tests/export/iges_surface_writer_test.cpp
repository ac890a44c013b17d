#include "export/iges_surface_writer.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/format_table.h"
#include "tests/support/test_support.h"
#include "text/text_template.h"
#include "sample/scene_builder.h"

namespace {

constexpr TextTemplate<IntValue, IntValue, IntValue, IntValue> kTerminateCounts{"S%7dG%7dD%7dP%7d"};

// Every line 80 columns and CR LF, numbered from 1 in each section, the
// sections in order and counted by the Terminate line.
void ExpectFixedForm(const std::string& file) {
  ASSERT_EQ(file.size() % 82, 0u);
  const std::string order = "SGDPT";
  size_t section = 0;
  int counts[5] = {};
  for (size_t at = 0; at < file.size(); at += 82) {
    const std::string line = file.substr(at, 82);
    ASSERT_EQ(line.find_first_of("\r\n"), 80u) << line;
    ASSERT_EQ(line.substr(80), "\r\n") << line;
    while (section < order.size() && line[72] != order[section]) ++section;
    ASSERT_LT(section, order.size()) << line;
    EXPECT_EQ(std::stoi(line.substr(73, 7)), ++counts[section]) << line;
  }
  EXPECT_EQ(file.substr(file.size() - 82, 32),
            FillTemplate(kTerminateCounts, counts[0], counts[1], counts[2], counts[3]));
  EXPECT_EQ(counts[4], 1);
}

// A small file, byte for byte up to its directory entries: escaped file
// name, fixed date, the extent and resolution of its corners. Every line of
// it, of the same scene under a long name of control bytes, and of an empty
// scene keeps the fixed form, whatever the numbers and names.
void SetFixedDate(bool fixed) {
#ifdef _WIN32
  _putenv_s("SOURCE_DATE_EPOCH", fixed ? "1700000000" : "");
#else
  if (fixed) {
    setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
  } else {
    unsetenv("SOURCE_DATE_EPOCH");
  }
#endif
}

TEST(IgesSurfaceWriterTest, HeaderSectionsAndEveryLine) {
  std::string why;
  SceneContents contents;
  contents.textureNames = {"\r\n;,", "WALL"};
  contents.extraSlots = 1;
  contents.rects.resize(3);
  contents.rects[0].corners = {-1e10f, 0, 0.1f, 1, 0, 0, 1, 1, 0, 0, 1, 1e-5f};
  contents.rects[0].textureIndex = 1;
  contents.rects[1].corners.fill(-3.5264830e-38f);
  contents.rects[2].textureIndex = 2;
  TempDir dir;
  ASSERT_TRUE(WriteFileBytes(dir.File("s.zem"), BuildScene(contents).bytes));
  std::vector<std::string> names = {"a b%,;\xc3\xa9.igs"};
#ifndef _WIN32  // Windows takes no control bytes in file names
  names.push_back(std::string(200, '\x01'));
#endif
  for (const std::string& name : names) {
    SetFixedDate(true);
    ASSERT_EQ(ExportScene(dir.File("s.zem").c_str(), dir.File(name).c_str(), kFormatIgesSurfaces, why), 0);
    SetFixedDate(false);
    ExpectFixedForm(ReadFileText(dir.File(name)));
  }
  EXPECT_EQ(ReadFileText(dir.File("a b%,;\xc3\xa9.igs")).substr(0, 4 * 82),
            "quadkit 0.1.0: the rectangles of a ZEM scene as bilinear surfaces       S      1\r\n"
            "1H,,1H;,5Hs.zem,18Ha b%25,;%C3%A9.igs,13Hquadkit 0.1.0,13Hquadkit 0.1.0,G      1\r\n"
            "32,38,6,308,15,5Hs.zem,1.,2,2HMM,1,1.,15H20231114.221320,1192.0929,     G      2\r\n"
            "1.E+10,,,11,0,15H20231114.221320;                                       G      3\r\n");
  ASSERT_TRUE(WriteFileBytes(dir.File("s.zem"), BuildScene(SceneContents{}).bytes));
  ASSERT_EQ(ExportScene(dir.File("s.zem").c_str(), dir.File("s.igs").c_str(), kFormatIgesSurfaces, why), 0);
  ExpectFixedForm(ReadFileText(dir.File("s.igs")));
}

// IGES has no spelling for them: the export fails and leaves no file.
TEST(IgesSurfaceWriterTest, CornersThatAreNoNumbersFailTheExport) {
  std::string why;
  for (const float bad : {NAN, INFINITY, -INFINITY}) {
    SceneContents contents;
    contents.rects.resize(3);
    contents.rects[2].corners[7] = bad;
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.File("s.zem"), BuildScene(contents).bytes));
    EXPECT_EQ(ExportScene(dir.File("s.zem").c_str(), dir.File("s.igs").c_str(), kFormatIgesSurfaces, why), -1);
    EXPECT_EQ(why, "rectangle 2 cannot be written as IGES: corner 2 has a coordinate that is not a finite number");
    EXPECT_FALSE(FileExists(dir.File("s.igs")));
  }
}

}  // namespace
