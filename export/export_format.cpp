#include "export/export_format.h"

namespace {

class TextWritersExport : public FormatExport {
 public:
  explicit TextWritersExport(const TextWriters& writers) : writers_(writers) {}

  bool Begin(const SceneFile& scene, ExportOutputs& files, std::string& why) override {
    output_ = &files.output();
    count_ = scene.GetRectCount();
    writers_.header(count_, text_);
    return WriteAndClear(*output_, text_, why);
  }
  bool AddRect(const ExportRect& rect, std::string& why) override {
    writers_.rect(rect, text_);
    return WriteAndClear(*output_, text_, why);
  }
  bool Finish(std::string& why) override {
    writers_.footer(count_, text_);
    return WriteAndClear(*output_, text_, why);
  }

 private:
  const TextWriters& writers_;
  OutputSink* output_ = nullptr;
  int32_t count_ = 0;
  std::string text_;
};

}  // namespace

std::unique_ptr<FormatExport> MakeTextWritersExport(const TextWriters& writers) {
  return std::make_unique<TextWritersExport>(writers);
}

bool WriteAndClear(OutputSink& file, std::string& text, std::string& why) {
  const bool written = file.Write(text, why);
  text.clear();
  return written;
}

