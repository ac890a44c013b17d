#include "files/output_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "files/file_access.h"
#include "tests/support/test_support.h"

namespace {

std::vector<std::string> Names(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::u8path(dir.path()))) {
    names.push_back(entry.path().filename().u8string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The path keeps what it had until Commit, then holds exactly the new
// bytes; an output that is not committed leaves the folder as it was.
TEST(OutputFileTest, ReplacesThePathOnlyWhenCommitted) {
  for (const bool existed : {false, true}) {
    SCOPED_TRACE(existed);
    TempDir dir;
    const std::string path = dir.File("out.txt");
    if (existed) WriteFileText(path, "OLD");
    const std::vector<std::string> before = Names(dir);
    std::string why;
    {
      OutputFile out(path, "output file");
      ASSERT_TRUE(out.Create(why)) << why;
      ASSERT_TRUE(out.Write(std::string("new "), why) && out.Write("bytes", 5, why)) << why;
      ASSERT_TRUE(out.Finish(why)) << why;
      EXPECT_EQ(ReadFileText(path), existed ? "OLD" : "");
    }
    EXPECT_EQ(Names(dir), before) << "an abandoned output must leave nothing behind";
    OutputFile out(path, "output file");
    ASSERT_TRUE(out.Create(why) && out.Write(std::string("new bytes"), why) && out.Finish(why) &&
                out.Commit(why)) << why;
    EXPECT_EQ(ReadFileText(path), "new bytes");
    EXPECT_EQ(Names(dir), std::vector<std::string>{"out.txt"});
  }
}

TEST(OutputFileTest, EveryFailureNamesTheFileAndTheReason) {
  const struct {
    FileOperation operation;
    int errorNumber;
    const char* why;
  } kCases[] = {{FileOperation::kOpen, EACCES, "cannot create output file"},
                {FileOperation::kWrite, ENOSPC, "cannot write output file"},
                {FileOperation::kFlush, ENOSPC, "cannot write output file"},
                {FileOperation::kClose, EIO, "cannot write output file"},
                {FileOperation::kRename, EACCES, "cannot replace output file"}};
  for (const auto& c : kCases) {
    TempDir dir;
    const std::string path = dir.File("out.txt");
    WriteFileText(path, "OLD");
    std::string why;
    {
      OutputFile out(path, "output file");
      PlanFileFault(c.operation, 1, c.errorNumber);
      const bool done = out.Create(why) && out.Write(std::string("new"), why) && out.Finish(why) &&
                        out.Commit(why);
      ClearFileFault();
      EXPECT_FALSE(done) << c.why;
    }
    EXPECT_EQ(why, std::string(c.why) + " '" + path + "': " + ErrorText(c.errorNumber));
    EXPECT_EQ(ReadFileText(path), "OLD");
    EXPECT_EQ(Names(dir), std::vector<std::string>{"out.txt"});
  }
}

}  // namespace

namespace {

// The new file's name does not grow with the output's: an output name of
// the longest length the system allows works, and files that killed runs
// left beside it stand in no one's way.
TEST(OutputFileTest, LongNamesAndLeftoverFilesDoNotBlockAnExport) {
  TempDir dir;
#ifdef _WIN32
  const size_t longest = 200;  // a whole path stays below 260 characters
#else
  const size_t longest = 255;
#endif
  for (int k = 0; k < 100; ++k) WriteFileText(dir.File(".quadkit-" + std::to_string(k) + ".tmp"), "x");
  const std::string path = dir.File(std::string(longest - 4, 'n') + ".obj");
  std::string why;
  OutputFile out(path, "output file");
  ASSERT_TRUE(out.Create(why) && out.Write(std::string("o Rect_1\n"), why) && out.Finish(why) &&
              out.Commit(why)) << why;
  EXPECT_EQ(ReadFileText(path), "o Rect_1\n");
  EXPECT_EQ(Names(dir).size(), 101u);
}

}  // namespace
