// Runs that fail half-way: a refused open, a read error, a full disk, a
// failing flush, sync, close or rename, injected at every step of every
// mode, and runs killed in the middle. Whatever happens, the result is honest, the reason is on
// standard error, no output file is left cut off and no rectangle torn.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/quadkit_cli.h"
#include "edit/scale_move.h"
#include "app/format_table.h"
#include "files/file_access.h"
#include "tests/support/test_support.h"
#include "sample/sample_scene.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace scene_layout;

namespace {

int32_t RunInProcess(const std::vector<std::string>& args, RecordingReporter& reporter) {
  std::vector<const char*> argv = {"quadkit"};
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  return RunQuadkit(static_cast<int>(argv.size()), argv.data(), reporter);
}

// The parts of a rectangle record that a mode rewrites as one: bounds,
// corners and texture coordinates in one write, the slot reference in
// another.
struct RecordPart {
  size_t offset;
  size_t size;
};
const RecordPart kParts[] = {{kBoundsInRecord, kTexCoordsInRecord + 32 - kBoundsInRecord},
                             {kSlotOffsetInRecord, 4}};

bool SameBytes(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, size_t at, size_t n) {
  return std::equal(a.begin() + at, a.begin() + at + n, b.begin() + at);
}

#ifndef _WIN32
// Runs quadkit with args, its output to /dev/null, and kills it after
// micros microseconds; true when the kill ended it before it had finished.
bool KilledMidway(const std::vector<std::string>& args, useconds_t micros) {
  std::vector<const char*> argv = {"quadkit"};
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execv(QuadkitBinaryPath(), const_cast<char* const*>(argv.data()));
    _exit(127);
  }
  usleep(micros);
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  return WIFSIGNALED(status);
}

// Each rectangle's stored bounds are those of its stored corners: no
// rectangle was torn between its two parts.
void ExpectNoTornRectangle(const std::vector<uint8_t>& after, const std::vector<int32_t>& recordOffsets) {
  for (size_t r = 0; r < recordOffsets.size(); ++r) {
    const size_t record = static_cast<size_t>(recordOffsets[r]);
    RectCoords corners;
    RectBounds bounds;
    for (int c = 0; c < 12; ++c) corners[c] = GetFloat(after, record + kCornersInRecord + 4 * c);
    for (int c = 0; c < 6; ++c) bounds[c] = GetFloat(after, record + kBoundsInRecord + 4 * c);
    if (bounds != ComputeRectBounds(corners)) {
      ADD_FAILURE() << "rectangle " << r << " is torn";
      return;
    }
  }
}
#endif

class FaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sample = BuildSampleBoxScene();
    scene = dir.File("box.zem");
    // The texts to import come from an edited copy: moved, two textures changed.
    const std::string edited = dir.File("edited.zem");
    ASSERT_TRUE(WriteFileBytes(edited, sample.bytes));
    RecordingReporter quiet;
    std::string why;
    ASSERT_EQ(MoveScene(edited.c_str(), 8, -4, 2, quiet, why), 0);
    SceneFile file;
    ASSERT_TRUE(file.Open(edited.c_str(), why));
    ASSERT_TRUE(file.SetRectTextureIndex(0, 2, why) && file.SetRectTextureIndex(4, 0, why));
    for (const auto& [text, format] : {std::pair<const char*, InterchangeFormat>{"in.txt", kFormatAscii},
                                       {"in.dw", kFormatDesignWorkshop}, {"in.obj", kFormatObj}}) {
      ASSERT_EQ(ExportScene(edited.c_str(), dir.File(text).c_str(), format, why), 0) << why;
    }
  }

  // Puts the scene and the old outputs back as they were before a run.
  void Reset() {
    ASSERT_TRUE(WriteFileBytes(scene, sample.bytes));
    for (const char* name : {"out.txt", "out.x", "out.igs", "out.dw", "out.obj", "out.mtl"}) {
      WriteFileText(dir.File(name), "OLD");
    }
  }

  std::vector<std::string> FolderNames() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  // Each part of each record is either as it was or as the complete run
  // leaves it, and a part left as it was although it should have changed
  // belongs to a rectangle named on standard error, unless the run wrote
  // nothing at all.
  void ExpectWholeRectangles(const std::vector<uint8_t>& after, const std::vector<uint8_t>& complete,
                             const std::string& err) {
    ASSERT_EQ(after.size(), sample.bytes.size());
    const bool untouched = after == sample.bytes;
    std::vector<bool> inRecords(after.size(), false);
    for (size_t r = 0; r < sample.recordOffsets.size(); ++r) {
      for (const RecordPart& part : kParts) {
        const size_t at = static_cast<size_t>(sample.recordOffsets[r]) + part.offset;
        std::fill(inRecords.begin() + at, inRecords.begin() + at + part.size, true);
        const bool old = SameBytes(after, sample.bytes, at, part.size);
        EXPECT_TRUE(old || SameBytes(after, complete, at, part.size)) << "torn rectangle " << r;
        if (old && !untouched && !SameBytes(after, complete, at, part.size)) {
          EXPECT_NE(err.find("rectangle " + std::to_string(r) + " was not written"),
                    std::string::npos) << "rectangle " << r << " left unwritten silently:\n" << err;
        }
      }
    }
    for (size_t at = 0; at < after.size(); ++at) {
      if (!inRecords[at]) {
        ASSERT_EQ(after[at], sample.bytes[at]) << "byte " << at << " outside the records";
      }
    }
  }

  TempDir dir;
  BuiltScene sample;
  std::string scene;
};

TEST_F(FaultTest, EveryFailingCallOfEveryModeEndsHonestly) {
  ScopedEnvironment fixedDate("SOURCE_DATE_EPOCH", "1700000000");  // the /IGES date
  const std::vector<std::vector<std::string>> runs = {
      {"/e", scene, dir.File("out.txt")},
      {"/e", scene, dir.File("out.x"), "/dx"},
      {"/e", scene, dir.File("out.igs"), "/cad"},
      {"/e", scene, dir.File("out.dw"), "/dw"},
      {"/e", scene, dir.File("out.obj"), "/obj"},
      {"/e", scene, dir.File("out.igs"), "/iges"},
      {"/i", scene, dir.File("in.txt")},
      {"/i", scene, dir.File("in.dw"), "/dw"},
      {"/i", scene, dir.File("in.obj"), "/obj"},
      {"/s", scene, "2", "1", "0.5"},
      {"/m", scene, "8", "-4", "2"},
      {"/c", scene, "ignored"}};
  // A read or write cut short delivers or writes its first bytes, then
  // fails.
  const struct {
    FileOperation operation;
    int errorNumber;
    size_t partialBytes;
  } faults[] = {{FileOperation::kOpen, EACCES, 0}, {FileOperation::kRead, EIO, 0},
                {FileOperation::kRead, EIO, 60},   {FileOperation::kWrite, ENOSPC, 0},
                {FileOperation::kWrite, ENOSPC, 100}, {FileOperation::kFlush, ENOSPC, 0},
                {FileOperation::kSync, EIO, 0},    {FileOperation::kClose, EIO, 0},
                {FileOperation::kRename, EACCES, 0}};
  int faultRuns = 0;
  for (const std::vector<std::string>& args : runs) {
    const bool exports = args[0] == "/e";
    const std::string output = exports ? args[2] : "";
    const std::string library = dir.File("out.mtl");
    Reset();
    const std::vector<std::string> names = FolderNames();
    RecordingReporter baseline;
    ResetFileAccessCounts();
    ASSERT_EQ(RunInProcess(args, baseline), 0) << args[0] << " " << args[2] << "\n" << baseline.err;
    const FileAccessCounts calls = GetFileAccessCounts();
    const std::vector<uint8_t> completeScene = ReadFileBytes(scene);
    const std::string completeOutput = exports ? ReadFileText(output) : "";
    const std::string completeLibrary = ReadFileText(library);

    for (const auto& fault : faults) {
      for (int64_t nth = 1; nth <= calls[fault.operation]; ++nth) {
        SCOPED_TRACE(args[0] + " " + args[2] + (args.size() > 3 ? " " + args[3] : "") +
                     ", failing call " + std::to_string(nth) + " of kind " +
                     std::to_string(static_cast<int>(fault.operation)));
        Reset();
        RecordingReporter reporter;
        ResetFileAccessCounts();
        PlanFileFault(fault.operation, nth, fault.errorNumber, fault.partialBytes);
        const int32_t result = RunInProcess(args, reporter);
        ClearFileFault();
        ++faultRuns;
        EXPECT_EQ(FolderNames(), names) << "a file was left beside the output";
        // Every call counted here opens, writes or closes something the run
        // needs, so each failure fails the run.
        EXPECT_EQ(result, -1);
        EXPECT_NE(reporter.err, "");
        ASSERT_GE(reporter.out.size(), 17u);
        EXPECT_EQ(reporter.out.substr(reporter.out.size() - 17), "An Error ocured\r\n");
        if (exports) {
          // The last sync makes the output's folder durable after the
          // rename: a failure there leaves the complete new file in place.
          const bool afterRename = fault.operation == FileOperation::kSync && nth == calls[fault.operation];
          EXPECT_EQ(ReadFileText(output), afterRename ? completeOutput : "OLD") << reporter.err;
          ExpectSameBytes(ReadFileBytes(scene), sample.bytes);
        } else {
          ExpectWholeRectangles(ReadFileBytes(scene), completeScene, reporter.err);
        }
        // Never cut off: the library is the old one or the complete new one.
        const std::string libraryAfter = ReadFileText(library);
        EXPECT_TRUE(libraryAfter == "OLD" || libraryAfter == completeLibrary) << libraryAfter;
      }
    }
  }
  EXPECT_GT(faultRuns, 400);
}

TEST_F(FaultTest, FullDeviceFailsTheExport) {
  if (!FileExists("/dev/full")) GTEST_SKIP() << "this system has no /dev/full";
  ASSERT_TRUE(WriteFileBytes(scene, sample.bytes));
  for (const char* format : {"", "/dx", "/cad", "/dw", "/iges"}) {
    std::vector<std::string> args = {"/e", scene, "/dev/full"};
    if (*format != '\0') args.push_back(format);  // the listing has no switch
    const RunResult run = RunQuadkitBinary(args);
    EXPECT_EQ(run.exitCode, 255) << format;
    EXPECT_EQ(run.err, "quadkit: cannot write output file '/dev/full': No space left on device\n");
  }
}

#ifndef _WIN32
// Resize killed at random moments: every rectangle's bounds still match its
// corners, because each rectangle is rewritten in one write.
TEST_F(FaultTest, KilledResizeLeavesNoTornRectangle) {
  SceneContents contents;
  contents.textureNames = {"WALL"};
  for (int k = 0; k < 19999; ++k) {
    BuilderRect rect;
    const float x = static_cast<float>(k % 200) * 64.0f;
    rect.corners = {x, 0, 0, x + 64, 0, 0, x + 64, 32, 64, x, 32, 64};
    contents.rects.push_back(rect);
  }
  BuiltScene large = BuildScene(contents);
  for (size_t r = 0; r < large.recordOffsets.size(); ++r) {  // bounds that match, to begin with
    const RectBounds bounds = ComputeRectBounds(contents.rects[r].corners);
    const size_t at = static_cast<size_t>(large.recordOffsets[r]) + kBoundsInRecord;
    for (int c = 0; c < 6; ++c) PutFloat(large.bytes, at + 4 * c, bounds[c]);
  }
  const std::string path = dir.File("large.zem");
  std::mt19937 random(20261209);
  int killedMidway = 0;
  for (int round = 0; round < 4; ++round) {
    ASSERT_TRUE(WriteFileBytes(path, large.bytes));
    killedMidway += KilledMidway({"/s", path, "1.5", "0.5", "2"},
                                 std::uniform_int_distribution<useconds_t>(20000, 150000)(random));
    const std::vector<uint8_t> after = ReadFileBytes(path);
    ASSERT_EQ(after.size(), large.bytes.size());
    SCOPED_TRACE("after kill " + std::to_string(round));
    ExpectNoTornRectangle(after, large.recordOffsets);
  }
  EXPECT_GT(killedMidway, 0) << "no run was killed before it ended";
}

// Every in-place mode killed at random moments of its run on the largest
// scene: each rectangle's bounds match its corners, and no byte outside the
// parts of the records that the modes rewrite has changed.
TEST_F(FaultTest, KilledInPlaceModesTearNoRectangle) {
  SceneContents contents;
  contents.textureNames = {"WALL", "FLR"};
  for (int k = 0; k < 19999; ++k) {
    BuilderRect rect;
    const float x = static_cast<float>(k % 200) * 64.0f;
    rect.corners = {x, 0, 0, x + 64, 0, 0, x + 64, 32, 64, x, 32, 64};
    rect.textureIndex = k % 2;
    contents.rects.push_back(rect);
  }
  BuiltScene large = BuildScene(contents);
  const std::string path = dir.File("large.zem");
  ASSERT_TRUE(WriteFileBytes(path, large.bytes));
  ASSERT_EQ(RunQuadkitBinary({"/s", path, "1"}).exitCode, 0);  // bounds that match, to begin with
  large.bytes = ReadFileBytes(path);
  // The texts to import: the scene moved, so that every rectangle changes.
  const std::string moved = dir.File("moved.zem");
  ASSERT_TRUE(WriteFileBytes(moved, large.bytes));
  ASSERT_EQ(RunQuadkitBinary({"/m", moved, "64", "8"}).exitCode, 0);
  for (const char* text : {"in.txt", "in.dw", "in.obj", "in.gltf"}) {
    const std::string format = text == std::string("in.txt") ? "" : text == std::string("in.dw") ? "/dw"
                               : text == std::string("in.obj") ? "/obj" : "/gltf";
    std::vector<std::string> args = {"/e", moved, dir.File(text)};
    if (!format.empty()) args.push_back(format);
    ASSERT_EQ(RunQuadkitBinary(args).exitCode, 0) << text;
  }
  const std::vector<std::vector<std::string>> runs = {
      {"/s", path, "1.5", "0.5", "2"}, {"/m", path, "64"}, {"/i", path, dir.File("in.txt")},
      {"/i", path, dir.File("in.dw"), "/dw"}, {"/i", path, dir.File("in.obj"), "/obj"},
      {"/i", path, dir.File("in.gltf"), "/gltf"}};
  std::vector<bool> inRecords(large.bytes.size(), false);
  for (const int32_t record : large.recordOffsets) {
    for (const RecordPart& part : kParts) {
      std::fill_n(inRecords.begin() + record + static_cast<int64_t>(part.offset), part.size, true);
    }
  }
  std::mt19937 random(20261210);
  int killedMidway = 0;
  for (const std::vector<std::string>& args : runs) {
    for (int round = 0; round < 2; ++round) {
      SCOPED_TRACE(args[0] + " " + args.back() + ", round " + std::to_string(round));
      ASSERT_TRUE(WriteFileBytes(path, large.bytes));
      killedMidway += KilledMidway(args, std::uniform_int_distribution<useconds_t>(5000, 120000)(random));
      const std::vector<uint8_t> after = ReadFileBytes(path);
      ASSERT_EQ(after.size(), large.bytes.size());
      for (size_t at = 0; at < after.size(); ++at) {
        if (!inRecords[at]) {
          ASSERT_EQ(after[at], large.bytes[at]) << "byte " << at << " outside the records";
        }
      }
      ExpectNoTornRectangle(after, large.recordOffsets);
    }
  }
  EXPECT_GT(killedMidway, 0) << "no run was killed before it ended";
}
#endif

}  // namespace
