// The check (/c) run as a user runs it, on one scene per kind of damage,
// on sound scenes with and without information lines, and on scenes Open
// refuses: the lines it prints, its result, and a scene file and folder
// that no run changes.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "sample/sample_scene.h"
#include "tests/support/test_support.h"

using namespace scene_layout;

namespace {

namespace fs = std::filesystem;

constexpr int kRects = 12;

// Twelve rectangles on three textures, their bounds as the write-back
// stores them: a sound scene.
SceneContents TwelveRects() {
  SceneContents contents;
  contents.textureNames = {"WALL", "FLR", "ROOF"};
  contents.extraSlots = 1;
  for (int k = 0; k < kRects; ++k) {
    const float x = static_cast<float>(k) * 10.0f;
    BuilderRect rect;
    rect.corners = {x, 0, 0, x + 8, 0, 0, x + 8, 4, -2, x, 4, -2};
    rect.textureIndex = k % 3;
    contents.rects.push_back(rect);
  }
  return contents;
}

void StoreBounds(BuiltScene& built, const SceneContents& contents) {
  for (size_t k = 0; k < contents.rects.size(); ++k) {
    const RectBounds bounds = ComputeRectBounds(contents.rects[k].corners);
    for (size_t b = 0; b < bounds.size(); ++b) {
      PutFloat(built.bytes, static_cast<size_t>(built.recordOffsets[k]) + kBoundsInRecord + 4 * b, bounds[b]);
    }
  }
}

BuiltScene Build(const std::function<void(SceneContents&)>& change = nullptr) {
  SceneContents contents = TwelveRects();
  if (change) change(contents);
  BuiltScene built = BuildScene(contents);
  StoreBounds(built, contents);
  return built;
}

size_t Entry(int rect) { return kIndexTableOffset + kIndexEntrySize * static_cast<size_t>(rect) + kRecordOffsetInEntry; }
size_t Field(const BuiltScene& built, int rect, int32_t field) {
  return static_cast<size_t>(built.recordOffsets[static_cast<size_t>(rect)]) + field;
}

struct Case {
  const char* name;
  std::function<std::vector<uint8_t>()> scene;
  int exitCode;
  std::vector<std::string> lines;  // each printed on a line of its own
  std::string err;                 // standard error, whole
};

const std::string kDamaged = "quadkit: scene file 'scene.zem' has ";

std::vector<Case> Cases() {
  return {
      {"sample", [] { return BuildSampleBoxScene().bytes; }, 0,
       {"Rectangles: 6", "Textures: 3", "Texture 1 (1 rectangles): FLR", "No damage found", "Successful"}, ""},
      {"sound", [] { return Build().bytes; }, 0,
       {"Extent: x 0.000000 to 118.000000, y 0.000000 to 4.000000, z -2.000000 to 0.000000",
        "Texture 2 (4 rectangles): ROOF", "No damage found", "Successful"},
       ""},
      {"information only",
       [] {
         return Build([](SceneContents& c) {
                  c.rects[4].corners = {};
                  c.rects[7].corners = {1, 1, 1, 2, 2, 2, 3, 3, 3, 1, 1, 1};
                  c.rects[9].corners = {5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5};
                })
             .bytes;
       },
       0,
       {"Information: 1 rectangles are cleared (every corner coordinate is zero): 4",
        "Information: 2 rectangles have no area (their corners lie on one line or one point): 7, 9",
        "No damage found", "Successful"},
       ""},
      {"record far behind the others, read through a window of its own",
       [] {
         BuiltScene built = Build();
         const size_t moved = built.bytes.size() + 700000;
         built.bytes.resize(moved + 232, 0x5B);
         std::copy_n(built.bytes.begin() + built.recordOffsets[5], 232, built.bytes.begin() + moved);
         PutInt32(built.bytes, Entry(5), static_cast<int32_t>(moved));
         return built.bytes;
       },
       0, {"No damage found", "Successful"}, ""},
      {"record outside the file",
       [] {
         BuiltScene built = Build();
         PutInt32(built.bytes, Entry(2), static_cast<int32_t>(built.bytes.size()) + 1000);
         PutInt32(built.bytes, Entry(6), -4);
         return built.bytes;
       },
       -1, {"Error: the record of 2 index entries lies partly or wholly outside the file: 2, 6"},
       kDamaged + "1 kind of damage in 2 of its 12 rectangles\n"},
      {"record over the texture name table",
       [] {
         BuiltScene built = Build();
         PutInt32(built.bytes, Entry(0), built.nameTableOffset - kSlotOffsetInRecord);
         return built.bytes;
       },
       -1,
       {"Error: the record of 1 index entries overlaps the header, the index table or the texture tables, "
        "so no edit writes it: 0"},
       ""},
      {"index entries sharing a record",
       [] {
         BuiltScene built = Build();
         PutInt32(built.bytes, Entry(3), built.recordOffsets[1]);
         PutInt32(built.bytes, Entry(8), built.recordOffsets[11] + 4);  // part of one
         return built.bytes;
       },
       -1,
       {"Error: 4 index entries share all or part of their record with another entry, so a Resize or Move "
        "edits it twice: 1, 3, 8, 11"},
       ""},
      {"texture slot outside the file",
       [] {
         BuiltScene built = Build();
         PutInt32(built.bytes, Field(built, 2, kSlotOffsetInRecord), static_cast<int32_t>(built.bytes.size()) - 8);
         return built.bytes;
       },
       -1, {"Error: the texture slot of 1 rectangles lies partly or wholly outside the file: 2"},
       kDamaged + "1 kind of damage in 1 of its 12 rectangles\n"},
      {"texture index outside the table",
       [] { return Build([](SceneContents& c) { c.rects[11].textureIndex = 3; }).bytes; }, -1,
       {"Error: the texture index of 1 rectangles lies outside the texture table: 11",
        "Texture 2 (3 rectangles): ROOF"},
       kDamaged + "1 kind of damage in 1 of its 12 rectangles\n"},
      {"corner that is no number",
       [] {
         BuiltScene built = Build();
         PutFloat(built.bytes, Field(built, 0, kCornersInRecord + 16), std::numeric_limits<float>::quiet_NaN());
         PutFloat(built.bytes, Field(built, 5, kCornersInRecord), std::numeric_limits<float>::infinity());
         return built.bytes;
       },
       -1, {"Error: 2 rectangles have a corner that is no finite number: 0, 5"},
       kDamaged + "1 kind of damage in 2 of its 12 rectangles\n"},
      {"stored bounds the corners do not give",
       [] {
         BuiltScene built = Build();
         for (int k = 0; k < kRects; ++k) PutFloat(built.bytes, Field(built, k, kBoundsInRecord + 20), 1.0f);
         return built.bytes;
       },
       -1,
       {"Error: 12 rectangles have stored bounds that their corners do not give: 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, "
        "...; quadkit /s scene.zem 1 recomputes them"},
       kDamaged + "1 kind of damage in 12 of its 12 rectangles\n"},
      // Its bounds are bytes no writer computed, and two of its slots name
      // textures beyond its table.
      {"odd.zem",
       [] { return ReadFileBytes((fs::u8path(QUADKIT_SOURCE_DIR) / "tests" / "golden" / "odd.zem").u8string()); },
       -1,
       {"Error: the texture index of 2 rectangles lies outside the texture table: 7, 8",
        "Information: 1 rectangles are cleared (every corner coordinate is zero): 3", "Texture 2 (2 rectangles): "},
       kDamaged + "2 kinds of damage in 12 of its 12 rectangles\n"},
      {"rectangle count that Open refuses",
       [] {
         BuiltScene built = Build();
         PutInt32(built.bytes, kStoredCountOffset, 20001);
         return built.bytes;
       },
       -1, {"Checking...", "An Error ocured"},
       "quadkit: scene file 'scene.zem' is refused: its rectangle count field holds 20001 (accepted: 1 to 20000, "
       "the rectangle count plus one)\n"},
  };
}

std::vector<std::string> FolderOf(const std::string& dir) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(fs::u8path(dir))) {
    names.push_back(entry.path().filename().u8string());
  }
  return names;
}

TEST(SceneCheckTest, EveryKindIsNamedWithItsRectanglesAndNothingIsWritten) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::vector<uint8_t> bytes = c.scene();
    ASSERT_TRUE(WriteFileBytes(dir.File("scene.zem"), bytes));
    const fs::path scene = fs::u8path(dir.File("scene.zem"));
    const fs::file_time_type written = fs::last_write_time(scene);
    const std::vector<std::string> folder = FolderOf(dir.path());

    const RunResult run = RunQuadkitBinary({"/c", "scene.zem", "ignored"}, dir.path());
    EXPECT_EQ(run.exitCode, c.exitCode & 0xFF);
    EXPECT_EQ(run.out.rfind("Quadkir - ZEM scene converter\r\nChecking...\r\n", 0), 0u) << run.out;
    for (const std::string& line : c.lines) {
      EXPECT_NE(run.out.find("\n" + line + "\r\n"), std::string::npos) << line << "\n" << run.out;
    }
    const bool sound = c.exitCode == 0;
    bool errorLines = false;
    for (const std::string& line : c.lines) errorLines = errorLines || line.rfind("Error: ", 0) == 0;
    EXPECT_EQ(run.out.find("Error: ") != std::string::npos, errorLines) << run.out;
    EXPECT_EQ(run.out.substr(run.out.size() - (sound ? 12 : 17)), sound ? "Successful\r\n" : "An Error ocured\r\n");
    for (size_t at = run.out.find('\n'); at != std::string::npos; at = run.out.find('\n', at + 1)) {
      ASSERT_EQ(run.out[at - 1], '\r') << "a line without CR before its LF at " << at;
    }
    if (!c.err.empty()) {
      EXPECT_EQ(run.err, c.err);
    } else {
      EXPECT_EQ(run.err.rfind(sound ? "" : kDamaged, 0), 0u) << run.err;
      EXPECT_EQ(run.err.empty(), sound) << run.err;
    }

    ExpectSameBytes(ReadFileBytes(dir.File("scene.zem")), bytes, "scene after the check");
    EXPECT_EQ(fs::last_write_time(scene), written);
    EXPECT_EQ(FolderOf(dir.path()), folder);
  }
}

TEST(SceneCheckTest, CapitalSwitchAndAMissingScene) {
  TempDir dir;
  ASSERT_TRUE(WriteFileBytes(dir.File("scene.zem"), Build().bytes));
  EXPECT_EQ(RunQuadkitBinary({"/C", "scene.zem"}, dir.path()).exitCode, 0);
  const RunResult missing = RunQuadkitBinary({"/c", "none.zem"}, dir.path());
  EXPECT_EQ(missing.out, "Quadkir - ZEM scene converter\r\nChecking...\r\nAn Error ocured\r\n");
  EXPECT_EQ(missing.err.rfind("quadkit: cannot open scene file 'none.zem': ", 0), 0u) << missing.err;
  EXPECT_EQ(missing.exitCode, 255);
  EXPECT_EQ(FolderOf(dir.path()), std::vector<std::string>{"scene.zem"});
}

}  // namespace
