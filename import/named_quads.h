// What an editor file's reader hands on to the applier: for each rectangle
// of the scene, the quad that the file names for it, where in the file that
// came from, and why the rectangle cannot be applied when it cannot. A
// reader fills this from the file's bytes alone and writes nothing; what it
// may ask of the scene is what SceneReads lets it read.
#ifndef QUADKIT_IMPORT_NAMED_QUADS_H_
#define QUADKIT_IMPORT_NAMED_QUADS_H_

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "scene/scene_file.h"

// Bit of NamedQuad::editorTexts for a corner value (0 to 11) or a texture
// coordinate (0 to 7).
constexpr uint32_t CornerTextBit(int k) { return 1u << k; }
constexpr uint32_t TexCoordTextBit(int k) { return 1u << (12 + k); }

struct NamedQuad {
  std::string name;   // the object or node, as messages show it
  int64_t line = 0;   // the line of an OBJ object; 0 for other files
  int64_t node = -1;  // the glTF node; -1 for other files
  bool hasQuad = false;  // a quad was read that is to be applied
  RectCoords corners = {};        // as read, in the scene's corner order
  RectTexCoords texCoords = {};
  bool hasTexCoords = false;      // every corner gives them
  uint32_t editorTexts = 0;       // values written with the editor's decimals
  bool hasTexture = false;        // the file names a texture for it
  std::string texture;            // that texture, decoded
  // Why the rectangle, or a second name of it, is not applied, with what to
  // do: each the text of a line after "rectangle N".
  std::vector<std::string> notApplied;

  bool IsNamed() const { return hasQuad || !notApplied.empty(); }
};

struct NamedQuads {
  std::vector<NamedQuad> rects;  // one per rectangle of the scene
  std::vector<int32_t> order;    // the rectangles with a quad, in file order
  int editorDecimals = -1;       // the decimals the editor wrote, or -1
};

// The reads a reader may make of the scene: no write is reachable. What a
// rectangle holds is read from the file once, by the reader or by the
// applier, whichever asks first.
class SceneReads {
 public:
  explicit SceneReads(SceneFile& scene)
      : scene_(scene), read_(static_cast<size_t>(RectCount())), stored_(read_.size()) {}
  int32_t RectCount() const { return std::max(scene_.GetRectCount(), 0); }
  bool ReadRect(int32_t i, RectCoords& corners, RectTexCoords& texCoords, std::string& why) {
    const bool cached = i >= 0 && static_cast<size_t>(i) < read_.size();
    if (!cached || !read_[static_cast<size_t>(i)]) {
      const RectCoords* stored = scene_.GetRectCoords(i, why);
      if (stored != nullptr) corners = *stored;
      const RectTexCoords* storedTex = stored != nullptr ? scene_.GetRectTexCoords(i, why) : nullptr;
      if (storedTex == nullptr) return false;
      texCoords = *storedTex;
      if (!cached) return true;
      read_[static_cast<size_t>(i)] = true;
      stored_[static_cast<size_t>(i)] = {corners, texCoords};
      return true;
    }
    corners = stored_[static_cast<size_t>(i)].corners;
    texCoords = stored_[static_cast<size_t>(i)].texCoords;
    return true;
  }
  int32_t TextureCount() const { return scene_.GetTextureCount(); }
  const char* TextureName(int32_t t) const { return scene_.GetTextureName(t); }

 private:
  struct Stored {
    RectCoords corners;
    RectTexCoords texCoords;
  };
  SceneFile& scene_;
  std::vector<bool> read_;
  std::vector<Stored> stored_;
};

#endif  // QUADKIT_IMPORT_NAMED_QUADS_H_
