#include "scene/scene_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "tests/support/test_support.h"
#include "sample/scene_builder.h"

using namespace scene_layout;

namespace {

BuilderRect MakeRect(float base, int32_t texture) {
  BuilderRect rect;
  for (size_t c = 0; c < rect.corners.size(); ++c) rect.corners[c] = base + static_cast<float>(c);
  for (size_t c = 0; c < rect.texCoords.size(); ++c) {
    rect.texCoords[c] = base / 100.0f + 0.125f * static_cast<float>(c);
  }
  rect.textureIndex = texture;
  return rect;
}

// Three rectangles, textures "ABCD" and "XY"; rectangle 2 uses the slot
// behind the table, whose index equals the texture count.
SceneContents ThreeRectScene() {
  SceneContents contents;
  contents.textureNames = {"ABCD", "XY"};
  contents.rects = {MakeRect(10.0f, 1), MakeRect(-20.0f, 0), MakeRect(30.0f, 2)};
  contents.extraSlots = 1;
  return contents;
}

class SceneFileTest : public ::testing::Test {
 protected:
  std::string why;
  std::string WriteScene(const std::vector<uint8_t>& bytes, const std::string& name = "s.zem") {
    const std::string path = dir.File(name);
    EXPECT_TRUE(WriteFileBytes(path, bytes));
    return path;
  }
  // A header-only file: storedCount patched into an otherwise empty scene.
  std::string WriteStoredCount(int32_t storedCount) {
    BuiltScene built = BuildScene(SceneContents{});
    PutInt32(built.bytes, kStoredCountOffset, storedCount);
    return WriteScene(built.bytes);
  }
  TempDir dir;
};

TEST_F(SceneFileTest, ReadsRectanglesThroughTheIndexTable) {
  const BuiltScene built = BuildScene(ThreeRectScene());
  SceneFile scene;
  ASSERT_TRUE(scene.Open(WriteScene(built.bytes).c_str(), why));
  EXPECT_EQ(scene.GetRectCount(), 3);
  EXPECT_EQ(scene.GetTextureCount(), 2);

  const SceneContents contents = ThreeRectScene();
  for (int32_t i = 0; i < 3; ++i) {
    const RectCoords* corners = scene.GetRectCoords(i, why);
    ASSERT_NE(corners, nullptr);
    EXPECT_EQ(*corners, contents.rects[i].corners) << "rectangle " << i;
    const RectTexCoords* uv = scene.GetRectTexCoords(i, why);
    ASSERT_NE(uv, nullptr);
    EXPECT_EQ(*uv, contents.rects[i].texCoords) << "rectangle " << i;
    EXPECT_EQ(scene.GetRectOffset(i), built.recordOffsets[i]);
    EXPECT_EQ(scene.GetRectTextureIndex(i, why), contents.rects[i].textureIndex);
  }
  EXPECT_STREQ(scene.GetRectTextureName(0, why), "XY");
  EXPECT_STREQ(scene.GetRectTextureName(1, why), "ABCD");
  // An index equal to the texture count is read as stored but names nothing.
  EXPECT_EQ(scene.GetRectTextureIndex(2, why), 2);
  EXPECT_EQ(scene.GetRectTextureName(2, why), nullptr);
}

TEST_F(SceneFileTest, BufferIsSharedAndHoldsTheLastRead) {
  SceneContents contents;
  for (int k = 0; k < 6; ++k) contents.rects.push_back(MakeRect(100.0f * k, 0));
  contents.textureNames = {"T"};
  SceneFile scene;
  ASSERT_TRUE(scene.Open(WriteScene(BuildScene(contents).bytes).c_str(), why));
  RectCoords* third = scene.GetRectCoords(3, why);
  RectCoords* fifth = scene.GetRectCoords(5, why);
  EXPECT_EQ(third, fifth);
  EXPECT_EQ(*fifth, contents.rects[5].corners);
}

TEST_F(SceneFileTest, StoredCountLimits) {
  struct Case {
    int32_t storedCount;
    bool opens;
    int32_t rectCount;
  };
  for (const Case& c : {Case{20000, true, 19999}, Case{20001, false, 0}, Case{-1, false, 0},
                        Case{0, false, 0}, Case{1, true, 0}, Case{INT32_MIN, false, 0}}) {
    SceneFile scene;
    EXPECT_EQ(scene.Open(WriteStoredCount(c.storedCount).c_str(), why), c.opens) << c.storedCount;
    EXPECT_EQ(scene.GetRectCount(), c.rectCount) << c.storedCount;
  }
}

TEST_F(SceneFileTest, ShortFileReadsAsZeros) {
  // storedCount 20000 in a 52-byte file: every index entry reads as zero,
  // so every record offset is 0 and the corners come from bytes 100..147,
  // which the file does not have.
  BuiltScene built = BuildScene(SceneContents{});
  PutInt32(built.bytes, kStoredCountOffset, 20000);
  SceneFile scene;
  ASSERT_TRUE(scene.Open(WriteScene(built.bytes).c_str(), why));
  EXPECT_EQ(scene.GetRectOffset(19998), 0);
  const RectCoords* corners = scene.GetRectCoords(19998, why);
  ASSERT_NE(corners, nullptr);
  EXPECT_EQ(*corners, RectCoords{});
}

TEST_F(SceneFileTest, TruncatedRecordKeepsNoStaleValues) {
  const BuiltScene built = BuildScene(ThreeRectScene());
  SceneFile scene;
  // Cut the file in the middle of rectangle 0's corners (the last record):
  // corners 0 and 1 survive, the rest reads as zero.
  const size_t cut = static_cast<size_t>(built.recordOffsets[0]) + kCornersInRecord + 24;
  const std::string path =
      WriteScene(std::vector<uint8_t>(built.bytes.begin(), built.bytes.begin() + cut));
  ASSERT_TRUE(scene.Open(path.c_str(), why));
  ASSERT_NE(scene.GetRectCoords(1, why), nullptr);  // fills the buffer with rectangle 1
  const RectCoords* corners = scene.GetRectCoords(0, why);
  ASSERT_NE(corners, nullptr);
  RectCoords expected = ThreeRectScene().rects[0].corners;
  for (size_t c = 6; c < expected.size(); ++c) expected[c] = 0.0f;
  EXPECT_EQ(*corners, expected);
}

TEST_F(SceneFileTest, OffsetsOutsideTheFileReadAsZeros) {
  BuiltScene built = BuildScene(ThreeRectScene());
  PutInt32(built.bytes, kIndexTableOffset + kRecordOffsetInEntry, -1000);  // rect 0
  PutInt32(built.bytes, kIndexTableOffset + 12 + kRecordOffsetInEntry, 0x7FFFFFF0);  // rect 1
  PutInt32(built.bytes, built.nameTableOffset, -4);  // texture 0's name
  PutInt32(built.bytes, built.nameTableOffset + 4, 0x7FFFFFFF);  // texture 1's name
  SceneFile scene;
  ASSERT_TRUE(scene.Open(WriteScene(built.bytes).c_str(), why));
  ASSERT_NE(scene.GetRectCoords(2, why), nullptr);
  for (int32_t i : {0, 1}) {
    const RectCoords* corners = scene.GetRectCoords(i, why);
    ASSERT_NE(corners, nullptr);
    EXPECT_EQ(*corners, RectCoords{}) << i;
    EXPECT_EQ(*scene.GetRectTexCoords(i, why), RectTexCoords{}) << i;
    // slotOffset reads as 0, so the texture index comes from bytes 12..15.
    EXPECT_EQ(scene.GetRectTextureIndex(i, why), GetInt32(built.bytes, 12)) << i;
  }
  EXPECT_STREQ(scene.GetTextureName(0), "");
  EXPECT_STREQ(scene.GetTextureName(1), "");
}

TEST_F(SceneFileTest, TextureNamesArePaddedAndCutAtFour) {
  SceneContents contents;
  contents.textureNames = {"WALL", "AB", "", "Q"};
  SceneFile scene;
  ASSERT_TRUE(scene.Open(WriteScene(BuildScene(contents).bytes).c_str(), why));
  ASSERT_EQ(scene.GetTextureCount(), 4);
  // The builder puts junk right behind each four name bytes.
  EXPECT_STREQ(scene.GetTextureName(0), "WALL");
  EXPECT_STREQ(scene.GetTextureName(1), "AB");
  EXPECT_STREQ(scene.GetTextureName(2), "");
  EXPECT_STREQ(scene.GetTextureName(3), "Q");
  EXPECT_EQ(scene.GetTextureName(4), nullptr);
  EXPECT_EQ(scene.GetTextureName(-1), nullptr);
}

TEST_F(SceneFileTest, TextureCountOutsideWhatTheFileHolds) {
  SceneContents contents = ThreeRectScene();
  BuiltScene built = BuildScene(contents);
  const int32_t fits = static_cast<int32_t>(built.bytes.size() / 4);

  PutInt32(built.bytes, kTextureCountOffset, INT32_MAX);
  SceneFile scene;
  EXPECT_FALSE(scene.Open(WriteScene(built.bytes).c_str(), why));
  EXPECT_EQ(scene.GetRectCount(), 0);

  PutInt32(built.bytes, kTextureCountOffset, fits);  // large but possible
  ASSERT_TRUE(scene.Open(WriteScene(built.bytes).c_str(), why));
  EXPECT_EQ(scene.GetTextureCount(), fits);

  PutInt32(built.bytes, kTextureCountOffset, -7);  // no textures at all
  ASSERT_TRUE(scene.Open(WriteScene(built.bytes).c_str(), why));
  EXPECT_EQ(scene.GetTextureCount(), 0);
  EXPECT_EQ(scene.GetRectTextureIndex(1, why), 0);
  EXPECT_EQ(scene.GetRectTextureName(1, why), nullptr);
}

TEST_F(SceneFileTest, RectangleGuard) {
  SceneFile scene;
  EXPECT_EQ(scene.GetRectCoords(0, why), nullptr);  // no scene held
  EXPECT_EQ(scene.GetRectOffset(0), -1);
  ASSERT_TRUE(scene.Open(WriteScene(BuildScene(ThreeRectScene()).bytes).c_str(), why));
  for (int32_t i : {-1, 3, INT32_MIN, INT32_MAX}) {
    EXPECT_EQ(scene.GetRectCoords(i, why), nullptr) << i;
    EXPECT_EQ(scene.GetRectTexCoords(i, why), nullptr) << i;
    EXPECT_EQ(scene.GetRectOffset(i), -1) << i;
    EXPECT_EQ(scene.GetRectTextureIndex(i, why), -1) << i;
    EXPECT_EQ(scene.GetRectTextureName(i, why), nullptr) << i;
  }
  scene.Close();
  EXPECT_EQ(scene.GetRectCoords(0, why), nullptr);
  EXPECT_STREQ(scene.GetFileName(), "");
  scene.Close();  // twice is harmless, and so is the destructor after it
}

TEST_F(SceneFileTest, ScenesWithoutRectangles) {
  SceneFile scene;
  ASSERT_TRUE(scene.Open(WriteStoredCount(1).c_str(), why));
  EXPECT_EQ(scene.GetRectCount(), 0);
  EXPECT_EQ(scene.GetRectCoords(0, why), nullptr);
  EXPECT_EQ(scene.GetRectTextureIndex(0, why), -1);
}

TEST_F(SceneFileTest, FailedOpenKeepsOrDropsTheHeldScene) {
  SceneFile scene;
  const std::string good = WriteScene(BuildScene(ThreeRectScene()).bytes, "good.zem");
  ASSERT_TRUE(scene.Open(good.c_str(), why));

  // Refused before the file is read: the old scene stays usable.
  EXPECT_FALSE(scene.Open(dir.File("missing.zem").c_str(), why));
  EXPECT_FALSE(scene.Open("", why));
  EXPECT_FALSE(scene.Open(nullptr, why));
  EXPECT_EQ(scene.GetRectCount(), 3);
  EXPECT_STREQ(scene.GetFileName(), good.c_str());
  EXPECT_NE(scene.GetRectCoords(2, why), nullptr);

  // Refused after reading the header: the object holds no scene.
  EXPECT_FALSE(scene.Open(WriteStoredCount(20001).c_str(), why));
  EXPECT_EQ(scene.GetRectCount(), 0);
  EXPECT_STREQ(scene.GetFileName(), "");
}

TEST_F(SceneFileTest, ReadsSeeTheFileAsItIsNow) {
  BuiltScene built = BuildScene(ThreeRectScene());
  const std::string path = WriteScene(built.bytes);
  SceneFile scene;
  ASSERT_TRUE(scene.Open(path.c_str(), why));
  PutFloat(built.bytes, static_cast<size_t>(built.recordOffsets[1]) + kCornersInRecord, 99.5f);
  PutInt32(built.bytes, static_cast<size_t>(built.recordOffsets[1]) + kSlotOffsetInRecord,
           built.slotTableOffset + kSlotSize);
  ASSERT_TRUE(WriteFileBytes(path, built.bytes));
  EXPECT_EQ((*scene.GetRectCoords(1, why))[0], 99.5f);
  EXPECT_STREQ(scene.GetRectTextureName(1, why), "XY");
}

// Another file saved under the scene's name (an editor writes a new file
// and renames it over the old one): every later operation fails, naming the
// file as replaced, and nothing is written into the new file.
TEST_F(SceneFileTest, AReplacedSceneIsNeverReadOrWritten) {
  const BuiltScene built = BuildScene(ThreeRectScene());
  const std::string path = WriteScene(built.bytes);
  SceneFile scene;
  ASSERT_TRUE(scene.Open(path.c_str(), why));
  ASSERT_TRUE(scene.Lock(LockMode::kExclusive, why)) << why;
  ASSERT_TRUE(WriteFileBytes(dir.File("new.zem"), built.bytes));
  std::error_code refused;
  std::filesystem::rename(std::filesystem::u8path(dir.File("new.zem")), std::filesystem::u8path(path), refused);
#ifdef _WIN32
  // Windows refuses to replace a file that the run holds open.
  if (refused) GTEST_SKIP() << "this system refuses to replace an open scene: " << refused.message();
#endif
  ASSERT_FALSE(refused) << refused.message();
  const std::string replaced = "scene file '" + path + "' was replaced by another file during the run";
  const RectCoords corners = {};
  EXPECT_EQ(scene.GetRectCoords(0, why), nullptr);
  EXPECT_EQ(why, replaced);
  EXPECT_TRUE(scene.WasReplaced());
  why.clear();
  EXPECT_FALSE(scene.UpdateRect(1, &corners, nullptr, why));
  EXPECT_EQ(why, replaced);
  ExpectSameBytes(ReadFileBytes(path), built.bytes);
  SceneFile again;  // the new file is a scene of its own, with a lock of its own
  ASSERT_TRUE(again.Open(path.c_str(), why));
  EXPECT_TRUE(again.Lock(LockMode::kExclusive, why)) << why;
}

// A file saved under the scene's name in the middle of a run: the first
// rectangle operation that looks once 256 operations and 20 ms have passed
// stops the run, and so does its end; the looks are counted.
TEST_F(SceneFileTest, TheRunLooksAtThePathAgainAndAgain) {
  class CountedLooks : public MemoryBytes {
   public:
    using MemoryBytes::MemoryBytes;
    PathNaming NamedBy(const char* path) override {
      ++looks;
      return MemoryBytes::NamedBy(path);
    }
    int looks = 0;
  };
  auto owned = std::make_unique<CountedLooks>(BuildScene(ThreeRectScene()).bytes);
  CountedLooks& file = *owned;
  SceneFile scene;
  ASSERT_TRUE(scene.Open(std::move(owned), "s.zem", why)) << why;
  ASSERT_NE(scene.GetRectCoords(0, why), nullptr) << why;
  const int first = file.looks;
  EXPECT_GE(first, 1);
  file.SetNaming(PathNaming::kOther);
  std::this_thread::sleep_for(std::chrono::milliseconds(25));
  int reached = 0;
  while (reached < 300 && scene.GetRectCoords(reached % 3, why) != nullptr) ++reached;
  EXPECT_EQ(reached, 255);  // the 256th after the first look fails
  EXPECT_EQ(file.looks, first + 1);
  EXPECT_EQ(why, "scene file 's.zem' was replaced by another file during the run");
  why.clear();
  EXPECT_FALSE(scene.EndRun(why));
  EXPECT_NE(why.find("was replaced"), std::string::npos) << why;
}

// Read errors are failures, not zeros: at every read of Open, and at the
// reads of one rectangle, with the system's reason.
TEST_F(SceneFileTest, ReadErrorsAreFailures) {
  const std::string path = WriteScene(BuildScene(ThreeRectScene()).bytes);
  const std::string cannotRead = "cannot read scene file '" + path + "': " + ErrorText(EIO);
  for (int64_t nth = 1;; ++nth) {
    SceneFile scene;
    PlanFileFault(FileOperation::kRead, nth, EIO);
    const bool opened = scene.Open(path.c_str(), why);
    ClearFileFault();
    if (opened) break;  // every read of Open has failed once
    EXPECT_EQ(why, cannotRead) << nth;
  }
  SceneFile scene;
  ASSERT_TRUE(scene.Open(path.c_str(), why));
  RectTexture texture;
  const std::function<bool()> reads[] = {[&] { return scene.GetRectCoords(1, why) != nullptr; },
                                         [&] { return scene.GetRectTexCoords(1, why) != nullptr; },
                                         [&] { return scene.ReadRectTexture(1, texture, why); }};
  for (const auto& read : reads) {
    why.clear();
    PlanFileFault(FileOperation::kRead, 1, EIO);
    EXPECT_FALSE(read());
    ClearFileFault();
    EXPECT_EQ(why, cannotRead);
  }
}

TEST_F(SceneFileTest, PathLengthLimit) {
  const std::string base = dir.path() + "/";
  ASSERT_LT(base.size(), 200u);
  const std::string longest = base + std::string(255 - base.size(), 'p');
  ASSERT_TRUE(WriteFileBytes(longest, BuildScene(ThreeRectScene()).bytes));
  SceneFile scene;
  ASSERT_TRUE(scene.Open(longest.c_str(), why));
  EXPECT_EQ(std::string(scene.GetFileName()), longest);
  EXPECT_NE(scene.GetRectCoords(0, why), nullptr);

  const std::string tooLong = longest + "q";
  ASSERT_TRUE(WriteFileBytes(tooLong, BuildScene(ThreeRectScene()).bytes));
  EXPECT_FALSE(scene.Open(tooLong.c_str(), why));
  EXPECT_STREQ(scene.GetFileName(), longest.c_str());  // unchanged
}

// A scene whose records sit in the first part of a large file, read from
// memory: the run reads the tables and, in a few large reads, only what the
// index table points to, and serves every rectangle from those bytes, in
// step with its own writes.
TEST_F(SceneFileTest, ALargeFileIsReadOnlyWhereTheIndexPoints) {
  class CountedBytes : public MemoryBytes {
   public:
    using MemoryBytes::MemoryBytes;
    bool ReadAt(int64_t offset, uint8_t* dst, size_t size, size_t* got) override {
      ++reads;
      bytesRead += size;
      return MemoryBytes::ReadAt(offset, dst, size, got);
    }
    int reads = 0;
    size_t bytesRead = 0;
  };
  const BuiltScene built = BuildScene(ThreeRectScene());
  std::vector<uint8_t> bytes = built.bytes;
  bytes.resize(size_t{64} << 20);  // 64 MiB, the scene in its first few hundred bytes
  auto owned = std::make_unique<CountedBytes>(bytes);
  CountedBytes& counted = *owned;
  SceneFile scene;
  ASSERT_TRUE(scene.Open(std::move(owned), "large.zem", why)) << why;
  const int readsOfOpen = counted.reads;
  const RectCoords corners = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  for (int pass = 0; pass < 2; ++pass) {
    for (int32_t i = 0; i < scene.GetRectCount(); ++i) {
      ASSERT_NE(scene.GetRectCoords(i, why), nullptr) << why;
      ASSERT_NE(scene.GetRectTexCoords(i, why), nullptr) << why;
      ASSERT_TRUE(scene.UpdateRect(i, &corners, nullptr, why)) << why;
      EXPECT_EQ(*scene.GetRectCoords(i, why), corners);
    }
  }
  EXPECT_LE(counted.reads - readsOfOpen, 3);
  EXPECT_LT(counted.bytesRead, size_t{64} << 10);
  EXPECT_TRUE(scene.EndRun(why)) << why;
}

}  // namespace
