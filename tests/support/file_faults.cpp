#include "tests/support/file_faults.h"

#include <cerrno>
#include <utility>

namespace {

class FaultsAndCounts : public FileCallHook {
 public:
  FaultsAndCounts() { SetFileCallHook(this); }

  bool Fails(const FileCall& call, size_t* partialBytes) override {
    const int64_t n = ++counts.calls[static_cast<int>(call.operation)];
    if (call.operation == FileOperation::kOpen && call.forUpdate) ++counts.updateOpens;
    if (event && call.operation == eventOperation && n == eventCall) {
      const std::function<void()> action = std::move(event);
      event = nullptr;
      action();
    }
    if (failingCall == 0 || call.operation != operation || n != failingCall) return false;
    *partialBytes = partial;
    errno = errorNumber;
    return true;
  }

  FileAccessCounts counts;
  FileOperation operation = FileOperation::kOpen;
  int64_t failingCall = 0;  // the value of the operation's count that fails; 0: none
  int errorNumber = 0;
  size_t partial = 0;
  FileOperation eventOperation = FileOperation::kOpen;
  int64_t eventCall = 0;
  std::function<void()> event;
};

FaultsAndCounts& Hook() {
  static FaultsAndCounts hook;
  return hook;
}

// Handed in as the test program starts, so that every call is counted.
const bool kInstalled = (Hook(), true);

}  // namespace

void PlanFileFault(FileOperation operation, int64_t nth, int errorNumber, size_t partialBytes) {
  FaultsAndCounts& hook = Hook();
  hook.operation = operation;
  hook.failingCall = nth > 0 ? hook.counts[operation] + nth : 0;
  hook.errorNumber = errorNumber;
  hook.partial = partialBytes;
}

void ClearFileFault() {
  Hook().failingCall = 0;
  Hook().event = nullptr;
}

void PlanFileEvent(FileOperation operation, int64_t nth, std::function<void()> action) {
  FaultsAndCounts& hook = Hook();
  hook.eventOperation = operation;
  hook.eventCall = hook.counts[operation] + nth;
  hook.event = std::move(action);
}

FileAccessCounts GetFileAccessCounts() { return Hook().counts; }

void ResetFileAccessCounts() {
  Hook().counts = FileAccessCounts();
  Hook().failingCall = 0;
}
