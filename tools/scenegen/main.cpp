// scenegen: writes the 3D scenes of the sample show and their textures, so the
// scene files the repository carries can be made again from source.
//   scenegen sample examples/sample
//   scenegen seeds FOLDER      (seed inputs of the scene fuzz targets)
#include <cstdio>
#include <string>

#include "tools/scenegen/FuzzSeeds.h"
#include "tools/scenegen/SampleScene.h"

int main(int argc, char** argv) {
  const std::string what = argc == 3 ? argv[1] : "";
  if (what == "sample") return WriteSampleScene(argv[2]) ? 0 : 1;
  if (what == "seeds") return WriteFuzzSeeds(argv[2]) ? 0 : 1;
  std::fputs("usage: scenegen sample FOLDER | scenegen seeds FOLDER\n", stderr);
  return 2;
}
