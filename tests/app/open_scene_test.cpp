// The modes on a scene already open, run on bytes in memory, against the
// same modes run on a file of those bytes: the same result, the same
// messages, the same output and scene bytes.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/format_table.h"
#include "check/scene_check.h"
#include "edit/scale_move.h"
#include "export/export_memory.h"
#include "files/byte_access.h"
#include "files/file_image.h"
#include "sample/sample_scene.h"
#include "sample/scene_builder.h"
#include "tests/support/test_support.h"

namespace {

// What a mode did: its result, why, what it printed.
struct ModeRun {
  int32_t result;
  std::string why;
  std::string out;
};
bool operator==(const ModeRun& a, const ModeRun& b) { return a.result == b.result && a.why == b.why && a.out == b.out; }
void PrintTo(const ModeRun& run, std::ostream* os) { *os << run.result << " why=" << run.why << " out=" << run.out; }

class OpenSceneTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    scene = dir.File("scene.zem");
    bytes = std::string(GetParam()) == "sample" ? BuildSampleBoxScene().bytes
                                                : ReadFileBytes(QUADKIT_SOURCE_DIR "/tests/golden/odd.zem");
    ASSERT_FALSE(bytes.empty());
    ASSERT_TRUE(WriteFileBytes(scene, bytes));
  }
  // mode on a scene opened on memory, named as the file is.
  template <typename Mode>
  ModeRun InMemory(Mode mode) {
    ModeRun run{-1, "", ""};
    RecordingReporter reporter;
    SceneFile open;
    if (open.Open(BorrowBytes(memory), scene.c_str(), run.why)) run.result = mode(open, reporter, run.why);
    run.out = reporter.out + reporter.err;
    return run;
  }
  template <typename Mode>
  ModeRun OnFile(Mode mode) {
    ModeRun run{-1, "", ""};
    RecordingReporter reporter;
    run.result = mode(reporter, run.why);
    run.out = reporter.out + reporter.err;
    return run;
  }

  TempDir dir;
  std::string scene;
  std::vector<uint8_t> bytes;
  MemoryBytes memory{std::vector<uint8_t>()};
};

TEST_P(OpenSceneTest, CheckSaysTheSame) {
  memory = MemoryBytes(bytes);
  const ModeRun onFile = OnFile([&](Reporter& r, std::string& why) { return CheckScene(scene.c_str(), r, why); });
  const ModeRun inMemory = InMemory([&](SceneFile& open, Reporter& r, std::string& why) {
    const std::unique_ptr<ByteAccess> own = BorrowBytes(memory);
    return CheckOpenScene(open, *own, r, why);
  });
  EXPECT_EQ(inMemory, onFile);
  EXPECT_EQ(memory.bytes(), bytes);
}

TEST_P(OpenSceneTest, EveryExportWritesTheSameBytes) {
  ScopedEnvironment fixedDate("SOURCE_DATE_EPOCH", "1700000000");
  for (size_t k = 0; k < kFormatCount; ++k) {
    const InterchangeFormat format = kFormats[k].format;
    SCOPED_TRACE(kFormats[k].announcement);
    const std::string output = dir.File("out" + std::to_string(k) + ".txt");
    memory = MemoryBytes(bytes);
    ExportMemory outputs(output);
    const ModeRun inMemory = InMemory(
        [&](SceneFile& open, Reporter&, std::string& why) { return ExportOpenScene(open, outputs, format, why); });
    const ModeRun onFile = OnFile(
        [&](Reporter&, std::string& why) { return ExportScene(scene.c_str(), output.c_str(), format, why); });
    ASSERT_EQ(inMemory, onFile);
    if (onFile.result != 0) continue;
    EXPECT_EQ(outputs.output().bytes(), ReadFileText(output));
    for (const std::unique_ptr<MemoryOutput>& companion : outputs.companions()) {
      EXPECT_EQ(companion->bytes(), ReadFileText(companion->path())) << companion->path();
    }
  }
}

TEST_P(OpenSceneTest, MoveAndEveryImportWriteTheSameScene) {
  memory = MemoryBytes(bytes);
  const ModeRun moved = InMemory(
      [](SceneFile& open, Reporter& r, std::string& why) { return MoveOpenScene(open, 1.5f, -2.0f, 0.25f, r, why); });
  EXPECT_EQ(moved, OnFile([&](Reporter& r, std::string& why) {
    return MoveScene(scene.c_str(), 1.5f, -2.0f, 0.25f, r, why);
  }));
  const std::vector<uint8_t> movedBytes = memory.bytes();
  ASSERT_EQ(movedBytes, ReadFileBytes(scene));
  // Each format's text of the moved scene, imported into the scene as it
  // was: the same changes in both.
  for (const InterchangeFormat format : {kFormatAscii, kFormatDesignWorkshop, kFormatObj, kFormatGltf, kFormatGlb}) {
    SCOPED_TRACE(FindFormat(format)->announcement);
    const std::string text = dir.File("moved" + std::to_string(static_cast<int>(format)));
    std::string why;
    ASSERT_TRUE(WriteFileBytes(scene, movedBytes));
    if (ExportScene(scene.c_str(), text.c_str(), format, why) != 0) continue;  // a NaN corner, for glTF
    ASSERT_TRUE(WriteFileBytes(scene, bytes));
    memory = MemoryBytes(bytes);
    FileImage image;
    ASSERT_TRUE(LoadFileImage(text.c_str(), image, why));
    const ModeRun inMemory = InMemory([&](SceneFile& open, Reporter& r, std::string& runWhy) {
      return ImportOpenScene(open, text.c_str(), image, format, r, runWhy);
    });
    const ModeRun onFile = OnFile(
        [&](Reporter& r, std::string& runWhy) { return ImportScene(scene.c_str(), text.c_str(), format, r, runWhy); });
    EXPECT_EQ(inMemory, onFile);
    EXPECT_EQ(memory.bytes(), ReadFileBytes(scene));
    EXPECT_NE(memory.bytes(), bytes);
  }
}

INSTANTIATE_TEST_SUITE_P(Scenes, OpenSceneTest, ::testing::Values("sample", "odd"));

}  // namespace
