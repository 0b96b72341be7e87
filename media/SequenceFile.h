// Parser of picture-sequence files: the text that lists the frames of an animated
// picture, either one picture name per line at a fixed rate ("fps = 25" on the
// first line) or one "time name" pair per line. Lines starting with "#" are
// comments. It only turns text into frame entries; reading and decoding the
// pictures is the image blitter's job.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct SequenceEntry {
  float time = 0;        // ms from the start of one pass
  std::string fileName;  // may be empty (a timed line with a time only)
};

// Entries in file order. A rate that is missing, not a number or not above 0
// puts every frame at time 0.
std::vector<SequenceEntry> ParseSequenceFile(std::string_view text);

// True when the last three characters of `fileName`, in any case, are "seq".
bool IsSequenceFileName(std::string_view fileName);
