#include "report/rect_failures.h"

#include "report/failure.h"

void RectWriteFailures::Add(int32_t index, const std::string& why) {
  ++count_;
  reporter_.Complain("rectangle " + std::to_string(index) + " was not written: " + why);
}

std::string RectWriteFailures::Summary(const std::string& sceneFileName) const {
  return std::to_string(count_) + " of the writes into scene file " + Quoted(sceneFileName) + " failed";
}
