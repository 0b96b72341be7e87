#include "tools/scenegen/SampleScene.h"

#include <cstdio>

bool WriteSampleScene(const std::string& folder) {
  SceneBuilder scene;
  AddSampleWorld(scene);
  AddSampleGlow(scene);
  if (!WriteSampleWorldTextures(folder) || !WriteSampleGlowTextures(folder)) return false;
  const std::string path = folder + "/world.psk";
  if (!scene.writer.Save(path)) {
    std::fprintf(stderr, "scenegen: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}
