// The files of one export: the output named on the command line and the
// files a format writes beside it (OBJ's material library, ...). Each is an
// OutputFile, written into a new file beside its path. CommitAll puts them
// in place only once every one is complete, the files beside the output
// first and the output last, so that no file in place names one that is
// not; files not committed are removed when the object goes.
#ifndef QUADKIT_EXPORT_EXPORT_FILES_H_
#define QUADKIT_EXPORT_EXPORT_FILES_H_

#include <memory>
#include <string>
#include <vector>

#include "files/output_file.h"

class ExportFiles {
 public:
  ExportFiles(const char* scenePath, const std::string& outputPath);

  // Creates the output; false when it is the scene file itself or cannot be
  // created.
  bool CreateOutput(std::string& why);
  OutputFile& output() { return output_; }

  // Creates the file beside the output whose path is the output's with its
  // extension (the part of the file name from its last '.') replaced by
  // extension, or extension added when it has none; kind names it in
  // messages. Null, with why, when that is the scene file or the output
  // itself, or cannot be created.
  OutputFile* AddCompanion(const char* extension, const char* kind, std::string& why);

  bool CommitAll(std::string& why);

 private:
  const char* scenePath_;
  OutputFile output_;
  std::vector<std::unique_ptr<OutputFile>> companions_;
};

// The path of a file beside outputPath, as AddCompanion names it.
std::string CompanionPath(const std::string& outputPath, const char* extension);

#endif  // QUADKIT_EXPORT_EXPORT_FILES_H_
