// libFuzzer driver: see fuzz_targets.h.
#include <cstdio>

#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The import's progress lines would drown the fuzzer's own output.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) return 1;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzObj(data, size);
  return 0;
}
