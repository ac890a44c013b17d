// Paths as Windows users write them, through the whole program: names
// beyond ASCII, and the many spellings of one file that must never be taken
// for a different output. The same runs on POSIX systems check that a
// spelling that names another file there is no reason to refuse.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/test_support.h"
#include "sample/sample_scene.h"

namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr bool kWindows = true;
constexpr uint32_t kFailedExitCode = 0xFFFFFFFFu;  // cmd and PowerShell show -1
#else
constexpr bool kWindows = false;
constexpr uint32_t kFailedExitCode = 255;
#endif

const std::string kBanner = "Quadkir - ZEM scene converter\r\n";

class WindowsPathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteFileBytes(dir.File("plain.zem"), BuildSampleBoxScene().bytes));
    sceneText = ReadFileText(dir.File("plain.zem"));
  }
  void RenameScene(const std::string& name) {
    fs::rename(fs::u8path(dir.File("plain.zem")), fs::u8path(dir.File(name)));
  }
  TempDir dir;
  std::string sceneText;
};

TEST_F(WindowsPathsTest, NamesBeyondAsciiInAFolderBeyondAscii) {
  ASSERT_EQ(RunQuadkitBinary({"/e", "plain.zem", "plain.txt"}, dir.path()).exitCode, 0);
  const std::string folder = "Ордner 日本語";
  fs::create_directory(fs::u8path(dir.File(folder)));
  RenameScene(folder + "/Ebene_Ä.zem");
  const std::string scene = dir.File(folder + "/Ebene_Ä.zem");
  const std::string listing = dir.File(folder + "/Liste ß.txt");
  RunResult run = RunQuadkitBinary({"/e", scene, listing});
  EXPECT_EQ(run.out + run.err, kBanner + "Exporting...using ASCII format\r\nSuccessful\r\n");
  EXPECT_EQ(ReadFileText(listing), ReadFileText(dir.File("plain.txt")));
  // Back in by the relative names, from inside the folder.
  run = RunQuadkitBinary({"/i", "Ebene_Ä.zem", "Liste ß.txt"}, dir.File(folder));
  EXPECT_EQ(run.out.substr(run.out.size() - 12) + run.err, "Successful\r\n");
  EXPECT_EQ(ReadFileText(scene), sceneText);
}

TEST_F(WindowsPathsTest, NoSpellingOfTheSceneIsTakenForAnotherFile) {
  RenameScene("level.zem");
  fs::create_directory(fs::u8path(dir.File("sub")));
  std::error_code linked;
  fs::create_hard_link(fs::u8path(dir.File("level.zem")), fs::u8path(dir.File("hard.zem")), linked);
  ASSERT_FALSE(linked) << linked.message();
  std::string backslashed = dir.File("level.zem");
  for (char& c : backslashed) c = c == '/' ? '\\' : c;
  struct Case {
    std::string path;
    bool sameOnPosix;  // otherwise another file's name there
  };
  const Case cases[] = {
      {"LEVEL.ZEM", false},        {"Level.Zem", false},         {".\\level.zem", false},
      {"sub\\..\\level.zem", false}, {backslashed, false},        {"level.zem.", false},
      {"./level.zem", true},        {"sub/../level.zem", true},  {dir.File("level.zem"), true},
      {"hard.zem", true},
  };
  for (const Case& c : cases) {
    if (!kWindows && !c.sameOnPosix) {  // an export like any other
      EXPECT_EQ(RunQuadkitBinary({"/e", "level.zem", c.path}, dir.path()).exitCode, 0) << c.path;
      EXPECT_EQ(ReadFileText(dir.File("level.zem")), sceneText) << c.path;
      continue;
    }
    const std::string quoted = "'" + c.path + "'";
    struct Mode {
      std::string word, out, err;
    };
    for (const Mode& mode : {Mode{"/e", "Exporting...", "refusing to export to " + quoted},
                             Mode{"/i", "Importing...", "refusing to import " + quoted}}) {
      const RunResult run = RunQuadkitBinary({mode.word, "level.zem", c.path}, dir.path());
      EXPECT_EQ(run.out, kBanner + mode.out + "using ASCII format\r\nAn Error ocured\r\n");
      EXPECT_EQ(run.err, "quadkit: " + mode.err + ": it is the scene file itself\n") << c.path;
      EXPECT_EQ(run.systemExitCode, kFailedExitCode) << c.path;
      EXPECT_EQ(ReadFileText(dir.File("level.zem")), sceneText) << mode.word << " " << c.path;
    }
  }
}

}  // namespace
