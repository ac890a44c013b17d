// How quadkit's operations fail. Every operation below the modes returns a
// failure value (false; null or -1 for the scene file's operations that
// return a pointer or a number) and puts the reason, one sentence that names
// the file or the rectangle, into the std::string& why that its caller hands
// in; on success it leaves why alone. A mode returns 0 or kModeFailed and
// leaves its reason in its why, which the front end prints on standard
// error.
#ifndef QUADKIT_REPORT_FAILURE_H_
#define QUADKIT_REPORT_FAILURE_H_

#include <cstdint>
#include <string>
#include <utility>

constexpr int32_t kModeFailed = -1;

// Puts reason into why; always false, for "return Fail(why, ...);".
inline bool Fail(std::string& why, std::string reason) {
  why = std::move(reason);
  return false;
}

// A path as messages quote it.
inline std::string Quoted(const std::string& path) { return "'" + path + "'"; }

#endif  // QUADKIT_REPORT_FAILURE_H_
