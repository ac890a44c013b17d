// The bundled sample scene: a textured room, a box of six rectangles with
// three textures, one of them named with fewer than four characters.
#ifndef QUADKIT_TESTS_SUPPORT_SAMPLE_SCENE_H_
#define QUADKIT_TESTS_SUPPORT_SAMPLE_SCENE_H_

#include "tests/support/scene_builder.h"

SceneContents SampleBoxContents();
// The sample scene's bytes, with bounds as a level editor would store them.
BuiltScene BuildSampleBoxScene();

// rectCount rectangles whose floats use every bit of their mantissa, at
// magnitudes from 2^-12 to 2^14 with a negative zero or a value far below
// six decimals in each; texture coordinates reach far outside 0 to 1.
SceneContents FullMantissaContents(int rectCount);

#endif  // QUADKIT_TESTS_SUPPORT_SAMPLE_SCENE_H_
