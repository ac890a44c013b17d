// The images that a glTF export takes from a folder, one per texture word:
// a file whose name is the word (formats/texture_name_codec.h) with the
// ending .png, .jpg or .jpeg, letter case ignored in both (WALL.png,
// wall.JPG). What an image is comes from its first bytes, not its name:
// PNG or JPEG, the two that glTF allows.
#ifndef QUADKIT_EXPORT_TEXTURE_IMAGES_H_
#define QUADKIT_EXPORT_TEXTURE_IMAGES_H_

#include <cstdint>
#include <string>
#include <vector>

struct TextureImage {
  std::string fileName;        // as the folder spells it
  std::string path;            // the folder's path and the file name
  const char* mimeType;        // "image/png" or "image/jpeg"
  std::vector<uint8_t> bytes;  // the whole file when it is embedded; else its first bytes
};

class TextureImages {
 public:
  // Lists folder; false, with why, when it does not exist or cannot be read.
  bool Open(const std::string& folder, std::string& why);

  // The image of word: its place in images(), -1 when the folder has none.
  // An image is read once, wholly when whole is set. False, with why, when
  // two files are named for the word, or the file cannot be read or is
  // neither PNG nor JPEG.
  bool Find(const std::string& word, bool whole, int32_t& image, std::string& why);

  const std::vector<TextureImage>& images() const { return images_; }
  const std::string& folder() const { return folder_; }

 private:
  std::string folder_;
  std::vector<std::string> names_;
  std::vector<TextureImage> images_;
};

#endif  // QUADKIT_EXPORT_TEXTURE_IMAGES_H_
