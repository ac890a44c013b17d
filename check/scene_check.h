// The scene check (/c): whether a scene file is sound, and what it holds.
//
// It reads what the index table points to once, in the order the records
// stand in the file, and then the texture slots they name, through a
// window of bounded size; it opens the file for reading only and writes
// nothing anywhere.
#ifndef QUADKIT_CHECK_SCENE_CHECK_H_
#define QUADKIT_CHECK_SCENE_CHECK_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "files/byte_access.h"
#include "report/reporter.h"
#include "scene/scene_file.h"

// What makes a scene unsound, each a property of one index entry.
enum class SceneDamage {
  kRecordOutsideFile,    // its 220 bytes do not lie whole inside the file
  kRecordOverTables,     // the fields an edit writes overlap the header or the tables
  kSharedRecord,         // its record, or part of it, is another entry's too
  kSlotOutsideFile,      // the 16 bytes of its texture slot are not whole in the file
  kTextureOutsideTable,  // its slot's texture index is not in the texture table
  kCornerNotFinite,      // a corner coordinate is NaN or infinite
  kBoundsDiffer,         // the stored bounds are not those its corners give
};
constexpr int kSceneDamageKinds = 7;

// What is worth knowing and is no damage.
enum class SceneNote {
  kCleared,  // every corner coordinate is zero
  kNoArea,   // the corners lie on one line or one point, and are not all zero
};
constexpr int kSceneNoteKinds = 2;

// How many rectangles there are of one kind, and the lowest indices among
// them, at most kListedRects, ascending.
constexpr size_t kListedRects = 10;
struct RectTally {
  int32_t count = 0;
  std::vector<int32_t> first;
};

struct SceneFindings {
  int32_t rectCount = 0;
  int32_t textureCount = 0;
  int64_t fileSize = 0;
  // The smallest and largest x, y and z over the finite corner values of
  // the records inside the file; hasExtent is false when there is none.
  bool hasExtent = false;
  float low[3] = {0, 0, 0};
  float high[3] = {0, 0, 0};
  std::vector<int32_t> textureUses;  // rectangles per texture of the table
  RectTally damage[kSceneDamageKinds];
  RectTally notes[kSceneNoteKinds];
  int32_t damagedRects = 0;  // rectangles with at least one kind of damage

  const RectTally& Of(SceneDamage kind) const { return damage[static_cast<int>(kind)]; }
  const RectTally& Of(SceneNote kind) const { return notes[static_cast<int>(kind)]; }
  int DamageKindsFound() const;
};

// Reads the scene that scene holds open through file, an access of its own
// to the same bytes (for a file, an open of its own), and fills findings.
// False, with why, only when the file cannot be read or is no longer the
// one Open read; damage is a finding, not a failure.
bool InspectScene(const SceneFile& scene, ByteAccess& file, SceneFindings& findings, std::string& why);

// The mode: opens the scene and the check's own access to it, inspects it
// and prints the findings. 0 for a sound scene (information alone is no
// damage); -1, with why, for a scene that Open refuses, that cannot be
// read, or that has any damage (why then sums it up).
int32_t CheckScene(const char* scenePath, Reporter& reporter, std::string& why);
// The same for a scene already open, read through file as InspectScene
// reads it: a file, or bytes in memory.
int32_t CheckOpenScene(const SceneFile& scene, ByteAccess& file, Reporter& reporter, std::string& why);

#endif  // QUADKIT_CHECK_SCENE_CHECK_H_
