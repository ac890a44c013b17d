// Replays every seed and every input that once crashed a fuzz target, so
// they stay checked in every test run (and under the sanitizers in CI).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/fuzz_targets.h"
#include "tests/support/scene_builder.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> InputsOf(const std::string& target) {
  std::vector<fs::path> inputs;
  for (const char* kind : {"corpus", "regressions"}) {
    const fs::path dir = fs::path(QUADKIT_SOURCE_DIR) / "fuzz" / kind / target;
    if (!fs::is_directory(dir)) continue;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
      if (entry.is_regular_file()) inputs.push_back(entry.path());
    }
  }
  return inputs;
}

void Replay(const std::string& target, void (*run)(const uint8_t*, size_t)) {
  const std::vector<fs::path> inputs = InputsOf(target);
  ASSERT_FALSE(inputs.empty()) << "no inputs for " << target;
  for (const fs::path& input : inputs) {
    SCOPED_TRACE(input.string());
    const std::vector<uint8_t> bytes = ReadFileBytes(input.string());
    testing::internal::CaptureStdout();
    run(bytes.data(), bytes.size());
    testing::internal::GetCapturedStdout();
  }
}

TEST(CorpusReplayTest, SceneFiles) { Replay("scene", FuzzSceneFile); }
TEST(CorpusReplayTest, Listings) { Replay("listing", FuzzAsciiListing); }
TEST(CorpusReplayTest, DesignWorkshopFiles) { Replay("design_workshop", FuzzDesignWorkshop); }
TEST(CorpusReplayTest, ObjFiles) { Replay("obj", FuzzObj); }
TEST(CorpusReplayTest, GltfFiles) { Replay("gltf", FuzzGltf); }

}  // namespace
