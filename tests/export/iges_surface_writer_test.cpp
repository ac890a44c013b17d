#include "export/iges_surface_writer.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <cmath>
#include <string>

#include "export/export_scene.h"
#include "tests/support/test_support.h"
#include "tools/scene_builder.h"

namespace {

std::string why;

// Every line 80 columns and CR LF, numbered from 1 in each section, the
// sections in order and counted by the Terminate line.
void ExpectFixedForm(const std::string& file) {
  ASSERT_EQ(file.size() % 82, 0u);
  const std::string order = "SGDPT";
  size_t section = 0;
  int counts[5] = {};
  for (size_t at = 0; at < file.size(); at += 82) {
    const std::string line = file.substr(at, 82);
    ASSERT_EQ(line.substr(80), "\r\n") << line;
    ASSERT_EQ(line.find_first_of("\r\n"), 80u) << line;
    while (section < order.size() && line[72] != order[section]) ++section;
    ASSERT_LT(section, order.size()) << line;
    EXPECT_EQ(std::stoi(line.substr(73, 7)), ++counts[section]) << line;
  }
  std::string terminate;
  for (size_t k = 0; k < 4; ++k) {
    const std::string count = std::to_string(counts[k]);
    terminate += order[k] + std::string(7 - count.size(), ' ') + count;
  }
  EXPECT_EQ(file.substr(file.size() - 82, 72), terminate + std::string(40, ' '));
  EXPECT_EQ(counts[4], 1);
}

TEST(IgesSurfaceWriterTest, HeaderSectionsOfASmallFile) {
  SceneContents contents;
  contents.textureNames = {"WALL"};
  contents.rects.resize(1);
  contents.rects[0].corners = {-1024, 0, 0.1f, 1, 0, 0, 1, 1, 0, 0, 1, 1e-5f};
  TempDir dir;
  ASSERT_TRUE(WriteFileBytes(dir.File("s.zem"), BuildScene(contents).bytes));
  const std::string output = dir.File("a b%,;\xc3\xa9.igs");
  setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
  ASSERT_EQ(ExportScene(dir.File("s.zem").c_str(), output.c_str(), kFormatIgesSurfaces, why), 0);
  unsetenv("SOURCE_DATE_EPOCH");
  const std::string file = ReadFileText(output);
  EXPECT_EQ(file.substr(0, 4 * 82),
            "quadkit 0.1.0: the rectangles of a ZEM scene as bilinear surfaces       S      1\r\n"
            "1H,,1H;,5Hs.zem,18Ha b%25,;%C3%A9.igs,13Hquadkit 0.1.0,13Hquadkit 0.1.0,G      1\r\n"
            "32,38,6,308,15,5Hs.zem,1.,2,2HMM,1,1.,15H20231114.221320,0.00012207031, G      2\r\n"
            "1024.,,,11,0,15H20231114.221320;                                        G      3\r\n");
  ExpectFixedForm(file);
}

TEST(IgesSurfaceWriterTest, EveryLineIsFixedFormForAnyInput) {
  SceneContents contents;
  contents.textureNames = {"", "\r\n;,", "WALL"};
  contents.extraSlots = 1;
  for (int k = 0; k < 500; ++k) {
    BuilderRect rect;
    rect.corners.fill(k % 2 == 0 ? -3.4028235e38f : -1.17549435e-38f * static_cast<float>(k));
    rect.textureIndex = k % 4;
    contents.rects.push_back(rect);
  }
  TempDir dir;
  ASSERT_TRUE(WriteFileBytes(dir.File("s.zem"), BuildScene(contents).bytes));
  for (const std::string& name : {std::string("s.igs"), std::string(200, '\x01')}) {
    ASSERT_EQ(ExportScene(dir.File("s.zem").c_str(), dir.File(name).c_str(), kFormatIgesSurfaces, why), 0);
    ExpectFixedForm(ReadFileText(dir.File(name)));
  }
  ASSERT_TRUE(WriteFileBytes(dir.File("s.zem"), BuildScene(SceneContents{}).bytes));
  ASSERT_EQ(ExportScene(dir.File("s.zem").c_str(), dir.File("s.igs").c_str(), kFormatIgesSurfaces, why), 0);
  ExpectFixedForm(ReadFileText(dir.File("s.igs")));
}

// IGES has no spelling for them: the export fails and leaves no file.
TEST(IgesSurfaceWriterTest, CornersThatAreNoNumbersFailTheExport) {
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
