// The bundled sample scene: a textured room, a box of six rectangles with
// three textures, one of them named with fewer than four characters.
#ifndef QUADKIT_SAMPLE_SAMPLE_SCENE_H_
#define QUADKIT_SAMPLE_SAMPLE_SCENE_H_

#include "sample/scene_builder.h"

SceneContents SampleBoxContents();
// The sample scene's bytes, with bounds as a level editor would store them.
BuiltScene BuildSampleBoxScene();

#endif  // QUADKIT_SAMPLE_SAMPLE_SCENE_H_
