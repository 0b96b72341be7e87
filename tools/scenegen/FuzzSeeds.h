// Seed inputs for the scene-file and property-text fuzz targets: small sound
// scenes that reach every chunk type, nested files, textures (plain and
// animated, as the scene fuzz harness provides them: t.bmp, u.bmp, a.bmp with
// a.seq, n.psk), the skybox key and keyframe animations.
#pragma once

#include <string>

// Writes the seeds into `folder`/scene_file and `folder`/property_text.
bool WriteFuzzSeeds(const std::string& folder);
