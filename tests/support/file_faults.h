// The tests' FileCallHook: counts every file call, and makes the nth call
// of one kind fail with a chosen errno. It is handed to the file layer
// when the test program starts.
#ifndef QUADKIT_TESTS_SUPPORT_FILE_FAULTS_H_
#define QUADKIT_TESTS_SUPPORT_FILE_FAULTS_H_

#include <cstddef>
#include <cstdint>
#include <functional>

#include "files/file_access.h"

// The nth call (counted from 1 after this call) of operation fails with
// errorNumber; nth 0 plans no fault. One fault at a time. A failing write
// writes its first partialBytes bytes before it fails.
void PlanFileFault(FileOperation operation, int64_t nth, int errorNumber, size_t partialBytes = 0);
void ClearFileFault();
// Runs action just before the nth call of operation (counted as above),
// which then runs as usual: a test stages there what another program does
// at that moment of a run.
void PlanFileEvent(FileOperation operation, int64_t nth, std::function<void()> action);

// How many calls of each kind ran since the last reset.
struct FileAccessCounts {
  int64_t calls[kFileOperationKinds] = {};
  int64_t updateOpens = 0;  // the opens among them that open a file for update
  int64_t operator[](FileOperation operation) const { return calls[static_cast<int>(operation)]; }
};
FileAccessCounts GetFileAccessCounts();
void ResetFileAccessCounts();

#endif  // QUADKIT_TESTS_SUPPORT_FILE_FAULTS_H_
