// Tells the user of every rectangle that an import or an edit could not
// write, on standard error with its zero-based index and the reason, and
// counts them: the mode then ends as a failure.
#ifndef QUADKIT_REPORT_RECT_FAILURES_H_
#define QUADKIT_REPORT_RECT_FAILURES_H_

#include <cstdint>
#include <string>

#include "report/reporter.h"

class RectWriteFailures {
 public:
  explicit RectWriteFailures(Reporter& reporter) : reporter_(reporter) {}
  void Add(int32_t index, const std::string& why);
  int32_t count() const { return count_; }
  // The mode's reason when count() is not zero.
  std::string Summary(const std::string& sceneFileName) const;

 private:
  Reporter& reporter_;
  int32_t count_ = 0;
};

#endif  // QUADKIT_REPORT_RECT_FAILURES_H_
