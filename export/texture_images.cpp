#include "export/texture_images.h"

#include <algorithm>

#include "files/folder_listing.h"
#include "report/failure.h"
#include "text/text_rules.h"

namespace {

// Images larger than this are surely no texture of a scene; the limit keeps
// a .glb below its 4 GiB with a few of them.
constexpr uint64_t kMaxImageBytes = 256u * 1024 * 1024;
// Enough of a file to tell PNG from JPEG.
constexpr size_t kSignatureBytes = 8;

bool IsImageEnding(const std::string& ending) {
  return EqualsIgnoringAsciiCase(ending.c_str(), "png") || EqualsIgnoringAsciiCase(ending.c_str(), "jpg") ||
         EqualsIgnoringAsciiCase(ending.c_str(), "jpeg");
}

// Whether file name is word with an image's ending.
bool NamesImageOf(const std::string& name, const std::string& word) {
  const size_t dot = name.rfind('.');
  return dot != std::string::npos && IsImageEnding(name.substr(dot + 1)) &&
         EqualsIgnoringAsciiCase(name.substr(0, dot).c_str(), word.c_str());
}

const char* MimeTypeOf(const std::vector<uint8_t>& bytes) {
  static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (bytes.size() >= 8 && std::equal(kPng, kPng + 8, bytes.begin())) return "image/png";
  if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) return "image/jpeg";
  return nullptr;
}

}  // namespace

bool TextureImages::Open(const std::string& folder, std::string& why) {
  folder_ = folder;
  return ListFolderFiles(folder, names_, why);
}

bool TextureImages::Find(const std::string& word, bool whole, int32_t& image, std::string& why) {
  image = -1;
  const std::string* found = nullptr;
  for (const std::string& name : names_) {
    if (!NamesImageOf(name, word)) continue;
    if (found != nullptr) {
      return Fail(why, "texture folder '" + folder_ + "' holds two images for texture " + word + ": '" +
                           *found + "' and '" + name + "'; keep one");
    }
    found = &name;
  }
  if (found == nullptr) return true;
  for (size_t k = 0; k < images_.size(); ++k) {
    if (images_[k].fileName == *found) {
      image = static_cast<int32_t>(k);
      return true;
    }
  }
  TextureImage read;
  read.fileName = *found;
  read.path = PathInFolder(folder_, *found);
  if (!ReadWholeFile(read.path, "image", kMaxImageBytes, whole ? 0 : kSignatureBytes, read.bytes, why)) {
    return false;
  }
  read.mimeType = MimeTypeOf(read.bytes);
  if (read.mimeType == nullptr) {
    return Fail(why, "image '" + read.path + "' is neither PNG nor JPEG (as its first bytes show), the two "
                     "kinds that glTF allows");
  }
  image = static_cast<int32_t>(images_.size());
  images_.push_back(std::move(read));
  return true;
}
