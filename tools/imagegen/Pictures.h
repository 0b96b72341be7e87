// The picture sets imagegen writes. Each returns false when a file cannot be written.
#pragma once

#include <string>

#include "tools/imagegen/RgbaImage.h"

// The sample show's pictures and picture sequence, into `folder`.
bool WriteSamplePictures(const std::string& folder);
// The end-to-end test shows' pictures, into their show folders under `root`.
bool WriteTestPictures(const std::string& root);
