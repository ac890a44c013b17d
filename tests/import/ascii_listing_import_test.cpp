#include "import/ascii_listing_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/format_table.h"
#include "tests/support/test_support.h"
#include "sample/scene_builder.h"

using namespace scene_layout;

namespace {

std::string WithBareLineFeeds(std::string text) {
  std::string out;
  for (char c : text) {
    if (c != '\r') out += c;
  }
  return out;
}

// A value as the listing carries it: "%f", read back into a float.
float ThroughListing(float value) {
  char text[64];
  std::snprintf(text, sizeof text, "%f", value);
  return std::strtof(text, nullptr);
}

class AsciiImportTest : public ::testing::Test {
 protected:
  std::string why;
  void SetUp() override {
    SceneContents contents;
    contents.textureNames = {"ABCD", "XY", "ab"};
    for (int k = 0; k < 3; ++k) {
      BuilderRect rect;
      for (int c = 0; c < 12; ++c) rect.corners[c] = 0.1234567f * (c + 1) - 3.3333333f * k;
      for (int c = 0; c < 8; ++c) rect.texCoords[c] = 0.7654321f * c + k;
      rect.textureIndex = 2 - k;
      contents.rects.push_back(rect);
    }
    built = BuildScene(contents);
    scene = dir.File("s.zem");
    ASSERT_TRUE(WriteFileBytes(scene, built.bytes));
  }
  // Imports text into the scene, capturing what the import prints.
  int32_t Import(const std::string& text, std::string* out = nullptr) {
    WriteFileText(dir.File("in.txt"), text);
    RecordingReporter reporter;
    const int32_t result = ImportScene(scene.c_str(), dir.File("in.txt").c_str(), kFormatAscii, reporter, why);
    const std::string printed = reporter.out;
    if (out != nullptr) *out = printed;
    return result;
  }
  std::string Progress(int rect, const std::string& name) const {
    char line[128];
    std::snprintf(line, sizeof line, "Rechteck-ID: %s Offset: %8X\r\n", name.c_str(),
                  static_cast<unsigned>(built.recordOffsets[rect] + 100));
    return line;
  }
  SceneFile& Reopened() {
    EXPECT_TRUE(reader.Open(scene.c_str(), why));
    return reader;
  }
  TempDir dir;
  BuiltScene built;
  std::string scene;
  SceneFile reader;
};

TEST_F(AsciiImportTest, RoundTripRewritesWhatTheListingShows) {
  ASSERT_EQ(ExportScene(scene.c_str(), dir.File("out.txt").c_str(), kFormatAscii, why), 0);
  const std::string listing = ReadFileText(dir.File("out.txt"));
  std::string printed;
  ASSERT_EQ(Import(listing, &printed), 0);
  EXPECT_EQ(printed, Progress(0, "Rect_1") + Progress(1, "Rect_2") + Progress(2, "Rect_3"));

  SceneFile& after = Reopened();
  for (int32_t i = 0; i < 3; ++i) {
    RectCoords expected;
    for (int c = 0; c < 12; ++c) expected[c] = ThroughListing(0.1234567f * (c + 1) - 3.3333333f * i);
    EXPECT_EQ(*after.GetRectCoords(i, why), expected);
    for (int c = 0; c < 8; ++c) {
      EXPECT_EQ((*after.GetRectTexCoords(i, why))[c], ThroughListing(0.7654321f * c + i));
    }
    EXPECT_EQ(after.GetRectTextureIndex(i, why), 2 - i);
    const size_t bounds = static_cast<size_t>(built.recordOffsets[i]) + kBoundsInRecord;
    const RectBounds computed = ComputeRectBounds(expected);
    for (int c = 0; c < 6; ++c) EXPECT_EQ(GetFloat(ReadFileBytes(scene), bounds + 4 * c), computed[c]);
  }
  const std::vector<uint8_t> afterCrLf = ReadFileBytes(scene);

  // The same listing saved with bare line feeds imports to the same bytes.
  ASSERT_TRUE(WriteFileBytes(scene, built.bytes));
  ASSERT_EQ(Import(WithBareLineFeeds(listing), &printed), 0);
  EXPECT_EQ(printed, Progress(0, "Rect_1") + Progress(1, "Rect_2") + Progress(2, "Rect_3"));
  ExpectSameBytes(ReadFileBytes(scene), afterCrLf);
}

TEST_F(AsciiImportTest, BlocksApplyByPositionAndTexturesByName) {
  const std::string listing =
      "num_rects=2 blocks\r\n"
      "Rect_2\r\n\t1.0, 2.0, 3.0\r\n\t4,5,6,7,8\r\n\tx, 1, 1, 1, 1\r\n\t1, 1, 1, 1, 1\r\n"
      "\tTexture: xy CD\r\n"
      "Rect_1\r\n\t0, 0, 0, 0, 0\r\n\t0, 0, 0, 0, 0\r\n\t0, 0, 0, 0, 0\r\n\t0, 0, 0, 0, 0\r\n"
      "\tTexture: (null)\r\n"
      "[EOF]\r\n";
  std::string printed;
  ASSERT_EQ(Import(listing, &printed), 0);
  EXPECT_EQ(printed, Progress(0, "Rect_2") + Progress(1, "Rect_1") +
                         "Warning! Texture (null) not in ZEM. Skipping\r\n");
  SceneFile& after = Reopened();
  EXPECT_EQ(*after.GetRectCoords(0, why), (RectCoords{1, 2, 3, 4, 5, 6, 0, 0, 0, 1, 1, 1}));
  EXPECT_EQ(*after.GetRectTexCoords(0, why), (RectTexCoords{0, 0, 7, 8, 0, 0, 1, 1}));
  EXPECT_EQ(after.GetRectTextureIndex(0, why), 1);  // "xy" names XY
  EXPECT_EQ(*after.GetRectCoords(1, why), RectCoords{});
  EXPECT_EQ(after.GetRectTextureIndex(1, why), 1);  // unchanged
  const std::vector<uint8_t> bytes = ReadFileBytes(scene);
  const size_t record2 = static_cast<size_t>(built.recordOffsets[2]);
  EXPECT_TRUE(std::equal(bytes.begin() + record2, bytes.begin() + record2 + 232,
                         built.bytes.begin() + record2));  // not in the listing
}

TEST_F(AsciiImportTest, SurplusBlocksAreReportedButNotWritten) {
  std::string listing = "NUM_RECTS=4\r\n";
  for (int k = 1; k <= 4; ++k) {
    listing += "Rect_" + std::to_string(k) + "\r\n";
    for (int line = 0; line < 4; ++line) listing += "\t9, 9, 9, 9, 9\r\n";
    listing += "\tTexture: QQ\r\n";
  }
  std::string printed;
  ASSERT_EQ(Import(listing, &printed), 0);
  const std::string warning = "Warning! Texture QQ not in ZEM. Skipping\r\n";
  EXPECT_EQ(printed, Progress(0, "Rect_1") + warning + Progress(1, "Rect_2") + warning +
                         Progress(2, "Rect_3") + warning +
                         "Rechteck-ID: Rect_4 Offset:       63\r\n" + warning);
  EXPECT_EQ(ReadFileBytes(scene).size(), built.bytes.size());
}

TEST_F(AsciiImportTest, RefusedOrEmptyListingsChangeNothing) {
  struct Case {
    std::string text;
    int32_t result;
  };
  const Case cases[] = {
      {" NUM_RECTS=1\r\n", -1},       {"\r\nNUM_RECTS=1\r\n", -1},
      {"\xEF\xBB\xBFNUM_RECTS=1\r\n", -1}, {"NUM_RECTS", -1},
      {"", -1},                       {"NUM_RECTS=0\r\n[EOF]\r\n", 0},
      {"NUM_RECTS=abc\r\n", 0},       {"NUM_RECTS=-5", 0},
  };
  for (const Case& c : cases) {
    std::string printed;
    EXPECT_EQ(Import(c.text, &printed), c.result) << c.text;
    EXPECT_EQ(printed, "") << c.text;
    ExpectSameBytes(ReadFileBytes(scene), built.bytes, c.text);
  }
}

TEST_F(AsciiImportTest, ListingThatEndsEarlyKeepsTheCompleteBlocksOnly) {
  const std::string block1 = "Rect_1\n\t5, 5, 5, 5, 5\n\t5, 5, 5, 5, 5\n\t5, 5, 5, 5, 5\n\t5, 5, 5, 5, 5\n\tTexture: XY\n";
  const std::string partial = "Rect_2\n\t6, 6, 6, 6, 6\n\t6, 6, 6, 6, 6\n";
  const std::string cases[] = {
      "NUM_RECTS=2\n" + block1 + partial,
      "NUM_RECTS=2\n" + block1 + partial + "\t6, 6, 6, 6, 6\n\t6, 6, 6, 6, 6\n\tTexture: XY",
      "NUM_RECTS=2\n" + block1 + partial + std::string(1, '\0') + "\t6, 6, 6\n\t6\n\tTexture: XY\n",
      "NUM_RECTS=2\n" + block1 + partial + std::string(1100, '6') + "\n\t6\n\tTexture: XY\n",
  };
  for (const std::string& text : cases) {
    ASSERT_TRUE(WriteFileBytes(scene, built.bytes));
    std::string printed;
    EXPECT_EQ(Import(text, &printed), -1);
    EXPECT_EQ(printed, Progress(0, "Rect_1"));
    SceneFile& after = Reopened();
    RectCoords fives;
    fives.fill(5.0f);
    EXPECT_EQ(*after.GetRectCoords(0, why), fives);
    EXPECT_EQ(after.GetRectTextureIndex(0, why), 1);
    const size_t record1 = static_cast<size_t>(built.recordOffsets[1]);
    const std::vector<uint8_t> bytes = ReadFileBytes(scene);
    EXPECT_TRUE(std::equal(bytes.begin() + record1, bytes.begin() + record1 + 232,
                           built.bytes.begin() + record1));
  }
}

TEST_F(AsciiImportTest, RefusesTheSceneFileAsText) {
  std::error_code linked;
  std::filesystem::create_hard_link(std::filesystem::u8path(scene),
                                    std::filesystem::u8path(dir.File("hard.txt")), linked);
  ASSERT_FALSE(linked) << linked.message();
  for (const std::string& text : {scene, dir.path() + "/./s.zem", dir.File("hard.txt")}) {
    RecordingReporter reporter;
    EXPECT_EQ(ImportScene(scene.c_str(), text.c_str(), kFormatAscii, reporter, why), -1) << text;
    EXPECT_EQ(ExportScene(scene.c_str(), text.c_str(), kFormatAscii, why), -1) << text;
    EXPECT_EQ(reporter.out, "");
    ExpectSameBytes(ReadFileBytes(scene), built.bytes, text);
  }
}

// Another file saved under the scene's name after the import opened it
// (here as the first progress line is printed): the import fails, saying
// so, and the new file stays exactly as saved.
TEST_F(AsciiImportTest, AReplacedSceneIsNotWrittenInto) {
  ASSERT_EQ(ExportScene(scene.c_str(), dir.File("in.txt").c_str(), kFormatAscii, why), 0);
  std::vector<uint8_t> saved = built.bytes;
  saved[static_cast<size_t>(built.recordOffsets[0]) + kCornersInRecord] ^= 1;
  ASSERT_TRUE(WriteFileBytes(dir.File("saved.zem"), saved));
  struct Replacing : RecordingReporter {
    std::function<void()> replace;
    void Say(const std::string& text) override {
      if (replace) std::exchange(replace, nullptr)();
      RecordingReporter::Say(text);
    }
  } reporter;
  std::error_code refused;
  reporter.replace = [&] {
    std::filesystem::rename(std::filesystem::u8path(dir.File("saved.zem")), std::filesystem::u8path(scene),
                            refused);
  };
  const int32_t result = ImportScene(scene.c_str(), dir.File("in.txt").c_str(), kFormatAscii, reporter, why);
#ifdef _WIN32
  // Windows refuses to replace a file that the run holds open.
  if (refused) GTEST_SKIP() << "this system refuses to replace an open scene: " << refused.message();
#endif
  ASSERT_FALSE(refused) << refused.message();
  EXPECT_EQ(result, -1);
  EXPECT_EQ(reporter.replace, nullptr);
  EXPECT_NE((reporter.err + why).find("was replaced by another file during the run"), std::string::npos)
      << reporter.err << why;
  ExpectSameBytes(ReadFileBytes(scene), saved);
}

TEST_F(AsciiImportTest, OtherFormatsAreNotSupported) {
  std::vector<InterchangeFormat> formats = FormatsNoRowHas();
  for (size_t k = 0; k < kFormatCount; ++k) {
    if (!kFormats[k].CanImport()) formats.push_back(kFormats[k].format);
  }
  EXPECT_GE(formats.size(), 4u);
  for (const InterchangeFormat format : formats) {
    RecordingReporter reporter;
    EXPECT_EQ(ImportScene(scene.c_str(), dir.File("none.txt").c_str(), format, reporter, why), -1);
    EXPECT_EQ(reporter.out, "Import format NOT supported\r\n");
    EXPECT_EQ(why, "this format cannot be imported (only the listing, /DW, /OBJ and /GLTF)") << format;
  }
}

}  // namespace
