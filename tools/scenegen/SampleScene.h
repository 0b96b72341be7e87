// The sample show's 3D scene, "world.psk", and its textures. The scene is built
// in parts, each a function adding to one SceneBuilder in order; a part may use
// what earlier parts registered by name (SceneBuilder::Find):
//   AddSampleWorld   ground, a crate with a moon on its arm, an unlit lamp,
//                    cameras "front" and "side", a light   (SampleWorld.cpp)
//   AddSampleGlow    self-illuminated beacons and sparks (sprites)   (SampleGlow.cpp)
// Further parts (animations) go in files of their own
// and are listed in SampleScene.cpp.
#pragma once

#include <string>

#include "tools/scenegen/SceneBuilder.h"

// Writes the scene file and every texture it names into `folder`; false (with
// a line on standard error) when something cannot be written.
bool WriteSampleScene(const std::string& folder);

void AddSampleWorld(SceneBuilder& scene);
bool WriteSampleWorldTextures(const std::string& folder);
void AddSampleGlow(SceneBuilder& scene);
bool WriteSampleGlowTextures(const std::string& folder);
