// How quadkit's operations fail: they return a failure value and say why in
// an error text that the caller hands in. Fail fills the text and gives a
// value that converts to the failure result of the caller: false for a
// truth value, -1 for a mode's result.
#ifndef QUADKIT_SCENE_FAILURE_H_
#define QUADKIT_SCENE_FAILURE_H_

#include <cstdint>
#include <string>
#include <utility>

constexpr int32_t kModeFailed = -1;

struct Failure {
  operator bool() const { return false; }
  operator int32_t() const { return kModeFailed; }
};

inline Failure Fail(std::string& error, std::string why) {
  error = std::move(why);
  return Failure();
}

#endif  // QUADKIT_SCENE_FAILURE_H_
