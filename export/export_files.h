// The outputs of one export: the output named on the command line and the
// files a format writes beside it (OBJ's material library, ...).
//
// ExportFiles writes them as files: each an OutputFile, written into a new
// file beside its path. CommitAll puts them in place only once every one is
// complete, the files beside the output first and the output last, so that
// no file in place names one that is not; files not committed are removed
// when the object goes. ExportMemory (export/export_memory.h) keeps them in
// memory.
#ifndef QUADKIT_EXPORT_EXPORT_FILES_H_
#define QUADKIT_EXPORT_EXPORT_FILES_H_

#include <memory>
#include <string>
#include <vector>

#include "files/output_file.h"
#include "files/output_sink.h"

// What a format writes into.
class ExportOutputs {
 public:
  virtual ~ExportOutputs() = default;
  virtual OutputSink& output() = 0;
  // The output beside the output whose path is the output's with its
  // extension (the part of the file name from its last '.') replaced by
  // extension, or extension added when it has none; kind names it in
  // messages. Null, with why, when that is the output itself (or, for
  // files, the scene file, or it cannot be created).
  virtual OutputSink* AddCompanion(const char* extension, const char* kind, std::string& why) = 0;
};

class ExportFiles : public ExportOutputs {
 public:
  ExportFiles(const char* scenePath, const std::string& outputPath);

  // Creates the output; false when it is the scene file itself or cannot be
  // created.
  bool CreateOutput(std::string& why);
  OutputSink& output() override { return output_; }

  // Creates the companion as a file.
  OutputSink* AddCompanion(const char* extension, const char* kind, std::string& why) override;

  bool CommitAll(std::string& why);

 private:
  const char* scenePath_;
  OutputFile output_;
  std::vector<std::unique_ptr<OutputFile>> companions_;
};

// The path of a file beside outputPath, as AddCompanion names it.
std::string CompanionPath(const std::string& outputPath, const char* extension);

// "refusing to export to '<outputPath>': its <kind> would be the same file".
bool RefuseCompanionAsOutput(const std::string& outputPath, const char* kind, std::string& why);

#endif  // QUADKIT_EXPORT_EXPORT_FILES_H_
