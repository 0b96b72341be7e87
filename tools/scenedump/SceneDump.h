// Prints a scene file readably: every chunk's type, version, index and payload
// fields, each reference with the scene id the loader would map it to (for this
// file loaded alone: a nested file takes ids of its own), and every kind of damage
// the loader refuses (a chunk or field past its end, counts that cannot fit,
// unknown types, zero frame counts, bad light types). Never ends the process:
// damage is reported, the damaged chunk is left and the walk goes on where it can.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>

// Returns the number of damage reports (0: the file is sound).
int DumpScene(const std::uint8_t* bytes, std::size_t length, std::ostream& out);
