// The outputs of one export kept in memory, each under the path a file of it
// would have, for the tests and the fuzz targets: a format writes into them
// the bytes it writes into files, and no file is touched.
#ifndef QUADKIT_EXPORT_EXPORT_MEMORY_H_
#define QUADKIT_EXPORT_EXPORT_MEMORY_H_

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "export/export_files.h"

class ExportMemory : public ExportOutputs {
 public:
  // Without keep, the outputs only count their bytes (MemoryOutput).
  explicit ExportMemory(std::string outputPath, bool keep = true)
      : output_(std::move(outputPath), keep), keep_(keep) {}

  MemoryOutput& output() override { return output_; }
  // Null, with why, for a companion of the output's own path, as for files.
  MemoryOutput* AddCompanion(const char* extension, const char* kind, std::string& why) override;

  // The companions in the order they were added.
  const std::vector<std::unique_ptr<MemoryOutput>>& companions() const { return companions_; }
  // The bytes of the output or the companion at path; null when none has it.
  const std::string* BytesAt(const std::string& path) const;

 private:
  MemoryOutput output_;
  bool keep_;
  std::vector<std::unique_ptr<MemoryOutput>> companions_;
};

#endif  // QUADKIT_EXPORT_EXPORT_MEMORY_H_
