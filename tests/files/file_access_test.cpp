#include "files/file_access.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "tests/support/test_support.h"

namespace {

// Positioned reads zero-fill what the file does not supply and say how
// much it did; positioned writes change those bytes and no others.
TEST(FileAccessTest, PositionedReadsAndWrites) {
  TempDir dir;
  const std::string path = dir.File("f.bin");
  WriteFileText(path, "0123456789");
  FileHandle file = OpenFile(path.c_str(), "r+b");
  ASSERT_TRUE(file);
  const struct {
    int64_t offset;
    size_t delivered;
    const char* bytes;
  } kReads[] = {{2, 4, "2345"}, {8, 2, "89\0\0"}, {10, 0, "\0\0\0\0"}, {-1, 0, "\0\0\0\0"}};
  for (const auto& r : kReads) {
    uint8_t buffer[4] = {'x', 'x', 'x', 'x'};
    size_t got = 99;
    EXPECT_TRUE(ReadAt(file.get(), r.offset, buffer, sizeof buffer, &got)) << r.offset;
    EXPECT_EQ(got, r.delivered) << r.offset;
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 4), std::string(r.bytes, 4)) << r.offset;
  }
  int32_t value = 0;
  EXPECT_TRUE(ReadInt32At(file.get(), 0, &value));
  EXPECT_EQ(value, 0x33323130);
  // A planned read fault fails as an I/O error does: nothing delivered.
  PlanFileFault(FileOperation::kRead, 1, EIO);
  EXPECT_FALSE(ReadInt32At(file.get(), 0, &value));
  EXPECT_EQ(errno, EIO);
  ClearFileFault();
  EXPECT_TRUE(WriteAt(file.get(), 3, "AB", 2));
  EXPECT_FALSE(WriteAt(file.get(), -5, "AB", 2));
  ASSERT_TRUE(CloseFile(std::move(file)));
  EXPECT_EQ(ReadFileText(path), "012AB56789");
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
