// Writes the bundled sample scene: make_sample_scene [OUTPUT]
// (default examples/box.zem, relative to the current directory).
#include <cstdio>

#include "sample/sample_scene.h"

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : "examples/box.zem";
  if (!WriteFileBytes(path, BuildSampleBoxScene().bytes)) {
    std::fprintf(stderr, "make_sample_scene: cannot write '%s'\n", path);
    return 1;
  }
  std::printf("wrote %s\n", path);
  return 0;
}
