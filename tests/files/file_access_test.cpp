#include "files/file_access.h"

#include <gtest/gtest.h>

#include "files/byte_access.h"

#include <cerrno>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "tests/support/test_support.h"

namespace {

// Positioned reads say how much the file supplied; positioned writes change
// those bytes and no others, in the file and in memory alike.
TEST(FileAccessTest, PositionedReadsAndWrites) {
  TempDir dir;
  const std::string path = dir.File("f.bin");
  WriteFileText(path, "0123456789");
  std::unique_ptr<ByteAccess> file = OpenFileBytes(path.c_str(), true);
  ASSERT_TRUE(file);
  MemoryBytes memory(std::vector<uint8_t>{'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'});
  const struct {
    int64_t offset;
    size_t delivered;
    const char* bytes;
  } kReads[] = {{2, 4, "2345"}, {8, 2, "89xx"}, {10, 0, "xxxx"}};
  for (ByteAccess* bytes : {file.get(), static_cast<ByteAccess*>(&memory)}) {
    for (const auto& r : kReads) {
      uint8_t buffer[4] = {'x', 'x', 'x', 'x'};
      size_t got = 99;
      EXPECT_TRUE(bytes->ReadAt(r.offset, buffer, sizeof buffer, &got)) << r.offset;
      EXPECT_EQ(got, r.delivered) << r.offset;
      EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 4), std::string(r.bytes, 4)) << r.offset;
    }
    size_t written = 0;
    EXPECT_TRUE(bytes->WriteAt(3, reinterpret_cast<const uint8_t*>("AB"), 2, &written));
    EXPECT_EQ(bytes->Size(), 10);
  }
  // A planned read fault fails as an I/O error does: nothing delivered.
  uint8_t value[4];
  size_t got = 99;
  PlanFileFault(FileOperation::kRead, 1, EIO);
  EXPECT_FALSE(file->ReadAt(0, value, sizeof value, &got));
  EXPECT_EQ(errno, EIO);
  EXPECT_EQ(got, 0u);
  ClearFileFault();
  EXPECT_EQ(file->NamedBy(path.c_str()), PathNaming::kSame);
  ASSERT_TRUE(file->Close());
  EXPECT_EQ(ReadFileText(path), "012AB56789");
  EXPECT_EQ(std::string(memory.bytes().begin(), memory.bytes().end()), "012AB56789");
}

// The fault hook fails exactly the nth call of one kind, with its errno,
// and counts every call; a planned close fault still releases the file.
TEST(FileAccessTest, PlannedFaultsFailTheNthCallOnly) {
  TempDir dir;
  const std::string path = dir.File("f.bin");
  ResetFileAccessCounts();
  FileHandle file = OpenFile(path.c_str(), "wb");
  ASSERT_TRUE(file);
  PlanFileFault(FileOperation::kWrite, 2, ENOSPC);
  EXPECT_TRUE(WriteBytes(file.get(), "a", 1));
  errno = 0;
  EXPECT_FALSE(WriteBytes(file.get(), "b", 1));
  EXPECT_EQ(errno, ENOSPC);
  EXPECT_TRUE(WriteBytes(file.get(), "c", 1));
  PlanFileFault(FileOperation::kClose, 1, EIO);
  EXPECT_FALSE(CloseFile(std::move(file)));
  EXPECT_EQ(errno, EIO);
  ClearFileFault();
  const FileAccessCounts counts = GetFileAccessCounts();
  EXPECT_EQ(counts[FileOperation::kOpen], 1);
  EXPECT_EQ(counts[FileOperation::kWrite], 3);
  EXPECT_EQ(counts[FileOperation::kClose], 1);
  EXPECT_EQ(ReadFileText(path), "ac");
}

}  // namespace

namespace {

#ifndef _WIN32
// A FIFO that no program writes does not hold a run forever.
TEST(FileAccessTest, AFifoWithoutAWriterTimesOut) {
  TempDir dir;
  const std::string fifo = dir.File("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  errno = 0;
  EXPECT_FALSE(OpenTextFile(fifo.c_str(), 200));
  EXPECT_EQ(errno, ETIMEDOUT);
}
#endif

}  // namespace
