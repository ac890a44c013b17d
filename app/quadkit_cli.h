// The command line of quadkit: banner, usage text, mode and format choice,
// dispatch to one mode operation, result line and exit code.
#ifndef QUADKIT_APP_QUADKIT_CLI_H_
#define QUADKIT_APP_QUADKIT_CLI_H_

#include <cstdint>

#include "report/reporter.h"

// The mode that argument 1 chooses.
enum Mode : int32_t {
  kModeNone = 0,
  kModeImport = 1,
  kModeExport = 2,
  kModeResize = 3,
  kModeMove = 4,
  kModeCheck = 5,  // "/c": says whether the scene file is sound; writes nothing
};

// Runs one command line, printing on standard output and standard error;
// the result is the process exit code (0 or the failing mode's result,
// normally -1).
int32_t RunQuadkit(int argc, const char* const* argv);

// The same, telling reporter everything it would print.
int32_t RunQuadkit(int argc, const char* const* argv, Reporter& reporter);

#endif  // QUADKIT_APP_QUADKIT_CLI_H_
