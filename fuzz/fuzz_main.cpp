// libFuzzer driver for one target of fuzz_targets.h; the build names the
// target's function in QUADKIT_FUZZ_ENTRY.
#include <cstdio>

#include "fuzz/fuzz_targets.h"

#ifndef QUADKIT_FUZZ_ENTRY
#error "QUADKIT_FUZZ_ENTRY must name a function of fuzz_targets.h"
#endif

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The import's progress lines would drown the fuzzer's own output.
  if (std::freopen("/dev/null", "w", stdout) == nullptr) return 1;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QUADKIT_FUZZ_ENTRY(data, size);
  return 0;
}
