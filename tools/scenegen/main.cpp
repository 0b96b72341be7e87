// scenegen: writes the 3D scenes of the sample show and their textures, so the
// scene files the repository carries can be made again from source.
//   scenegen sample examples/sample
#include <cstdio>
#include <string>

#include "tools/scenegen/SampleScene.h"

int main(int argc, char** argv) {
  if (argc != 3 || std::string(argv[1]) != "sample") {
    std::fputs("usage: scenegen sample FOLDER\n", stderr);
    return 2;
  }
  return WriteSampleScene(argv[2]) ? 0 : 1;
}
