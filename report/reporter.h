// The one way the program's parts tell the user something; the front end
// owns it. Each message is printed at the moment it is given.
#ifndef QUADKIT_REPORT_REPORTER_H_
#define QUADKIT_REPORT_REPORTER_H_

#include <string>

class Reporter {
 public:
  virtual ~Reporter() = default;
  // A message for standard output, exactly as given (one of the texts of
  // report/messages.h, filled in).
  virtual void Say(const std::string& text) = 0;
  // A diagnostic for standard error: one line, printed as "quadkit: " text.
  virtual void Complain(const std::string& text) = 0;
};

#endif  // QUADKIT_REPORT_REPORTER_H_
