#include "export/export_files.h"

#include "files/path_names.h"
#include "files/platform_files.h"
#include "report/failure.h"

ExportFiles::ExportFiles(const char* scenePath, const std::string& outputPath)
    : scenePath_(scenePath), output_(outputPath, "output file") {}

bool ExportFiles::CreateOutput(std::string& why) {
  // Writing it would empty the scene file before a single rectangle is read.
  if (NameSameFile(scenePath_, output_.path().c_str())) {
    return Fail(why, "refusing to export to " + Quoted(output_.path()) + ": it is the scene file itself");
  }
  return output_.Create(why);
}

OutputSink* ExportFiles::AddCompanion(const char* extension, const char* kind, std::string& why) {
  const std::string path = CompanionPath(output_.path(), extension);
  if (NameSameFile(scenePath_, path.c_str())) {
    Fail(why, "refusing to write " + Quoted(path) + ": it is the scene file itself");
    return nullptr;
  }
  if (path == output_.path() || NameSameFile(output_.path().c_str(), path.c_str())) {
    RefuseCompanionAsOutput(output_.path(), kind, why);
    return nullptr;
  }
  companions_.push_back(std::make_unique<OutputFile>(path, kind));
  return companions_.back()->Create(why) ? companions_.back().get() : nullptr;
}

bool ExportFiles::CommitAll(std::string& why) {
  for (const std::unique_ptr<OutputFile>& companion : companions_) {
    if (!companion->Finish(why)) return false;
  }
  if (!output_.Finish(why)) return false;
  for (const std::unique_ptr<OutputFile>& companion : companions_) {
    if (!companion->Commit(why)) return false;
  }
  return output_.Commit(why);
}

std::string CompanionPath(const std::string& outputPath, const char* extension) {
  const size_t nameStart = outputPath.size() - FileNameOf(outputPath).size();
  const size_t dot = outputPath.find_last_of('.');
  if (dot == std::string::npos || dot < nameStart) return outputPath + extension;
  return outputPath.substr(0, dot) + extension;
}

bool RefuseCompanionAsOutput(const std::string& outputPath, const char* kind, std::string& why) {
  return Fail(why, "refusing to export to " + Quoted(outputPath) + ": its " + kind + " would be the same file");
}
