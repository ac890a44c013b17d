#include "export/export_memory.h"

MemoryOutput* ExportMemory::AddCompanion(const char* extension, const char* kind, std::string& why) {
  const std::string path = CompanionPath(output_.path(), extension);
  if (path == output_.path()) {
    RefuseCompanionAsOutput(output_.path(), kind, why);
    return nullptr;
  }
  companions_.push_back(std::make_unique<MemoryOutput>(path, keep_));
  return companions_.back().get();
}

const std::string* ExportMemory::BytesAt(const std::string& path) const {
  if (path == output_.path()) return &output_.bytes();
  for (const std::unique_ptr<MemoryOutput>& companion : companions_) {
    if (companion->path() == path) return &companion->bytes();
  }
  return nullptr;
}
