// Whether a file holds the scene turned on its side: an editor whose up
// axis is z read it with other axis settings than it wrote it with. A few
// turned rectangles are edits; most of them are the file's axes.
#ifndef QUADKIT_IMPORT_TURNED_SCENE_H_
#define QUADKIT_IMPORT_TURNED_SCENE_H_

#include <cstddef>
#include <string>

#include "scene/scene_file.h"

class TurnedSceneCheck {
 public:
  // One rectangle of the file, as read, beside what the scene holds there.
  void Compare(const float (&corners)[12], const RectCoords& stored);
  // False, with why, when more than half the rectangles compared are the
  // scene's only once turned; editorAxes says which settings of the
  // editor do that, advice what to do.
  bool Passes(const char* editorAxes, const char* advice, std::string& why) const;

 private:
  size_t compared_ = 0;
  size_t upYWritten_ = 0;  // the scene's as (x, z, -y)
  size_t upZWritten_ = 0;  // the scene's as (x, -z, y)
};

#endif  // QUADKIT_IMPORT_TURNED_SCENE_H_
