// The vertices of an OBJ file, as its parser keeps them: the rows of its v
// and vt statements, each in one block whose size a first pass counted,
// and the face references that name them.
#ifndef QUADKIT_IMPORT_OBJ_VERTICES_H_
#define QUADKIT_IMPORT_OBJ_VERTICES_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

#include "import/editor_decimals.h"
#include "import/obj_lexer.h"
#include "import/triangle_quad.h"
#include "text/float_text.h"

// The rows of one kind of vertex statement, width floats each, in one
// block whose size the survey counted, and for each number whether its
// text is a plain number with the decimals the editor writes.
class FloatRows {
 public:
  explicit FloatRows(size_t width) : width_(width) {}
  bool Reserve(size_t rows) {
    if (rows > SIZE_MAX / sizeof(float) / width_) return false;
    values_.reset(new (std::nothrow) float[rows * width_ + 1]);
    editorTexts_.reset(new (std::nothrow) uint8_t[rows + 1]);
    capacity_ = rows;
    return values_ != nullptr && editorTexts_ != nullptr;
  }
  // Reads the numbers after the keyword; a missing number is 0.
  void Add(TextSpan rest, int editorDecimals) {
    if (rows_ >= capacity_) return;
    float* const row = values_.get() + rows_ * width_;
    uint8_t editorTexts = 0;
    for (size_t k = 0; k < width_; ++k) {
      TextSpan word;
      row[k] = 0.0f;
      // The image ends with a zero byte, so the scan stops inside it; a
      // word starts with no white space, so the scan cannot run on into
      // the next line.
      if (!TakeWord(rest, word)) continue;
      ScanFloat(word.begin, &row[k]);
      if (editorDecimals > 0 && DecimalsOfPlainNumber(word.begin, word.length) == editorDecimals) {
        editorTexts |= static_cast<uint8_t>(1u << k);
      }
    }
    editorTexts_[rows_] = editorTexts;
    ++rows_;
  }
  int64_t rows() const { return static_cast<int64_t>(rows_); }
  const float* Row(int64_t k) const { return values_.get() + static_cast<size_t>(k) * width_; }
  // Whether number n of row k was written with the editor's decimals.
  bool IsEditorText(int64_t k, size_t n) const { return (editorTexts_[static_cast<size_t>(k)] >> n & 1u) != 0; }

 private:
  size_t width_;
  std::unique_ptr<float[]> values_;
  std::unique_ptr<uint8_t[]> editorTexts_;
  size_t capacity_ = 0;
  size_t rows_ = 0;
};

struct VertexCounts {
  int64_t positions;
  int64_t texCoords;
  int64_t normals;
};

// Resolves one face reference (a, a/b, a//c, a/b/c); false when an index
// in it names nothing.
bool ResolveCorner(const TextSpan& ref, const VertexCounts& counts, TriangleCorner& corner);

#endif  // QUADKIT_IMPORT_OBJ_VERTICES_H_
