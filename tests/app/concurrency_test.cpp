// Two quadkit runs on one scene at once, as a user's scripts or two open
// windows start them: a run that writes the scene holds it alone, an export
// reads it whole, and a run that gave up on a scene in use says so and
// leaves it alone. No update is lost, no export mixes old and new
// rectangles, and a scene replaced during a run is never written into.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "edit/scale_move.h"
#include "files/file_lock.h"
#include "sample/scene_builder.h"
#include "tests/support/test_support.h"

using namespace scene_layout;

namespace {

constexpr int kRects = 19999;
constexpr int kTries = 2;
const char kInUse[] = "is in use by another program";

// Every corner coordinate a whole multiple of 64 in x: exact under the
// factors and offsets used below, whatever the order.
SceneContents LargeScene() {
  SceneContents contents;
  contents.textureNames = {"WALL", "FLR"};
  for (int k = 0; k < kRects; ++k) {
    BuilderRect rect;
    const float x = static_cast<float>(k % 200) * 64.0f;
    const float z = static_cast<float>(k / 200) * 64.0f;
    rect.corners = {x, 0, z, x + 64, 0, z, x + 64, 32, z + 64, x, 32, z + 64};
    rect.textureIndex = k % 2;
    contents.rects.push_back(rect);
  }
  return contents;
}

// The x of corner 0 of every rectangle, as the file stores it now.
std::vector<float> FirstXs(const std::string& path, const BuiltScene& built) {
  const std::vector<uint8_t> bytes = ReadFileBytes(path);
  std::vector<float> xs;
  for (const int32_t record : built.recordOffsets) xs.push_back(GetFloat(bytes, record + kCornersInRecord));
  return xs;
}

// Runs two command lines at once; the second starts a moment after the first.
std::pair<RunResult, RunResult> RunTogether(const std::vector<std::string>& first,
                                            const std::vector<std::string>& second) {
  RunResult a;
  std::thread running([&] { a = RunQuadkitBinary(first); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const RunResult b = RunQuadkitBinary(second);
  running.join();
  return {a, b};
}

// A run that did not do its work failed, and said why.
bool DidItsWork(const RunResult& run) {
  if (run.exitCode == 0) return true;
  EXPECT_NE(run.err.find(kInUse), std::string::npos) << run.err;
  return false;
}

class ConcurrencyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    built = BuildScene(LargeScene());
    scene = dir.File("large.zem");
    original = FirstXs(WriteAndReturn(scene), built);
  }
  const std::string& WriteAndReturn(const std::string& path) {
    EXPECT_TRUE(WriteFileBytes(path, built.bytes));
    return path;
  }
  TempDir dir;
  BuiltScene built;
  std::string scene;
  std::vector<float> original;
};

// Two Resizes: the scene ends scaled by the factors of the runs that did
// their work, every rectangle alike.
TEST_F(ConcurrencyTest, TwoResizesLoseNoUpdate) {
  for (int attempt = 0; attempt < kTries; ++attempt) {
    WriteAndReturn(scene);
    const auto [a, b] = RunTogether({"/s", scene, "2"}, {"/s", scene, "3"});
    const float factor = (DidItsWork(a) ? 2.0f : 1.0f) * (DidItsWork(b) ? 3.0f : 1.0f);
    const std::vector<float> xs = FirstXs(scene, built);
    for (size_t r = 0; r < xs.size(); ++r) ASSERT_EQ(xs[r], original[r] * factor) << "rectangle " << r;
  }
}

// An export while a Move runs reads either the scene before the Move or
// after it, never a mixture; one that gave up writes no file.
TEST_F(ConcurrencyTest, AnExportNeverMixesOldAndNewRectangles) {
  const std::string before = dir.File("before.txt");
  const std::string after = dir.File("after.txt");
  const std::string moved = dir.File("moved.zem");
  ASSERT_EQ(RunQuadkitBinary({"/e", WriteAndReturn(moved), before}).exitCode, 0);
  ASSERT_EQ(RunQuadkitBinary({"/m", moved, "64"}).exitCode, 0);
  ASSERT_EQ(RunQuadkitBinary({"/e", moved, after}).exitCode, 0);
  for (int attempt = 0; attempt < kTries; ++attempt) {
    WriteAndReturn(scene);
    const std::string out = dir.File("out" + std::to_string(attempt) + ".txt");
    const auto [move, exported] = RunTogether({"/m", scene, "64"}, {"/e", scene, out});
    DidItsWork(move);
    if (!DidItsWork(exported)) {
      EXPECT_FALSE(FileExists(out));
      continue;
    }
    const std::string text = ReadFileText(out);
    EXPECT_TRUE(text == ReadFileText(before) || text == ReadFileText(after)) << "a mixed export";
  }
}

// A run that finds the scene locked by another program waits a few
// seconds, then fails, saying so, with the scene unchanged.
TEST_F(ConcurrencyTest, ARunGivesUpOnASceneInUse) {
  FileLock held;
  ASSERT_EQ(held.Acquire(scene.c_str(), LockMode::kExclusive, 0), LockAttempt::kTaken);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"/s", scene, "2"}, {"/e", scene, dir.File("out.txt")}}) {
    const RunResult run = RunQuadkitBinary(args);
    EXPECT_EQ(run.exitCode, 255);
    EXPECT_EQ(run.err, "quadkit: scene file '" + scene + "' " + kInUse + "\n");
    ExpectSameBytes(ReadFileBytes(scene), built.bytes);
  }
}

// An editor saves another file under the scene's name while a Resize runs:
// the run stops and says so, and the new file is left exactly as saved.
TEST_F(ConcurrencyTest, AReplacedSceneIsNotWrittenInto) {
  const std::string saved = dir.File("saved.zem");
  BuiltScene other = BuildScene(LargeScene());
  PutFloat(other.bytes, static_cast<size_t>(other.recordOffsets[0]) + kCornersInRecord, 7.0f);
  RunResult run;
  std::thread resizing([&] { run = RunQuadkitBinary({"/s", scene, "2"}); });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  ASSERT_TRUE(WriteFileBytes(saved, other.bytes));
  // Windows refuses to replace a file while it is open, as it is for a
  // moment at each of the run's reads and writes: the editor tries again.
  std::error_code refused;
  for (int attempt = 0; attempt < 500; ++attempt) {
    std::filesystem::rename(std::filesystem::u8path(saved), std::filesystem::u8path(scene), refused);
    if (!refused) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  resizing.join();
  ASSERT_FALSE(refused) << refused.message();
  ExpectSameBytes(ReadFileBytes(scene), other.bytes);
  if (run.exitCode != 0) {
    EXPECT_NE(run.err.find("was replaced by another file during the run"), std::string::npos) << run.err;
  }
}

// The same at a chosen write of a Resize run in this process: the first,
// one in the middle, the last. The run keeps its open of the file renamed
// away, so only its check of the name can tell; it ends as a failure that
// says so, whatever the moment, and the new file stays exactly as saved.
TEST_F(ConcurrencyTest, AResizeFindsTheSceneReplacedAtAnyWrite) {
  const std::string saved = dir.File("saved.zem");
  BuiltScene other = BuildScene(LargeScene());
  PutFloat(other.bytes, static_cast<size_t>(other.recordOffsets[0]) + kCornersInRecord, 7.0f);
  for (const int64_t nth : {int64_t{1}, int64_t{1000}, int64_t{kRects}}) {
    SCOPED_TRACE("replaced before write " + std::to_string(nth));
    WriteAndReturn(scene);
    ASSERT_TRUE(WriteFileBytes(saved, other.bytes));
    std::error_code refused;
    PlanFileEvent(FileOperation::kWrite, nth, [&] {
      std::filesystem::rename(std::filesystem::u8path(saved), std::filesystem::u8path(scene), refused);
    });
    RecordingReporter reporter;
    std::string why;
    const int32_t result = ScaleScene(scene.c_str(), 2, 2, 2, reporter, why);
    ClearFileFault();
#ifdef _WIN32
    // Windows refuses to replace a file that the run holds open: no editor
    // can save over the scene then.
    if (refused) {
      ExpectSameBytes(ReadFileBytes(saved), other.bytes);
      GTEST_SKIP() << "this system refuses to replace an open scene: " << refused.message();
    }
#endif
    ASSERT_FALSE(refused) << refused.message();
    EXPECT_EQ(result, -1);
    EXPECT_NE((reporter.err + why).find("was replaced by another file during the run"), std::string::npos)
        << reporter.err << why;
    ExpectSameBytes(ReadFileBytes(scene), other.bytes);
  }
}

}  // namespace
