#include "sample/sample_scene.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

// The committed sample must be exactly what the generator writes, so that
// anyone can rebuild it.
TEST(SampleSceneTest, CommittedSampleMatchesTheGenerator) {
  const std::vector<uint8_t> committed =
      ReadFileBytes(std::string(QUADKIT_SOURCE_DIR) + "/examples/box.zem");
  ASSERT_FALSE(committed.empty());
  ExpectSameBytes(committed, BuildSampleBoxScene().bytes);
}
