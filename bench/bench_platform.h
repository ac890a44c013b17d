// What the benchmark asks of the system, on Linux and on Windows: processor
// time, the one-open floor's reads and writes, a folder of its own and the
// peak memory of a run.
#ifndef QUADKIT_BENCH_BENCH_PLATFORM_H_
#define QUADKIT_BENCH_BENCH_PLATFORM_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Processor seconds this process has used, user and system.
double CpuSeconds();

// Reads the file at path through once, in blocks of 1 MiB.
void ReadWhole(const std::string& path);

// One open of the scene (for update when writes > 0), one read of it
// whole, and writes positioned writes of 176 bytes each, at 28 bytes into
// the records at the offsets given, taken in turn.
void OneOpenOfScene(const std::string& scene, const std::vector<int32_t>& records, int64_t writes);

// Writes bytes bytes to a new file at path in blocks of 1 MiB; with safe,
// as quadkit replaces an output: into a new file beside it, flushed to the
// disk, renamed over path (and on Linux the folder flushed).
void WriteInBlocks(const std::string& path, int64_t bytes, bool safe);

// A new, empty folder for the benchmark's files; empty when none can be made.
std::string NewBenchFolder();

// Peak resident memory, in MiB, of run in a child process; negative where
// the system cannot say (Windows).
double PeakMemoryOf(const std::function<int32_t()>& run);

#endif  // QUADKIT_BENCH_BENCH_PLATFORM_H_
