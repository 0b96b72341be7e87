// Treats arbitrary bytes as a picture sequence file and loads it as the script
// player's "loadimage" does, on a headless device: the pictures it may name
// ("a.bmp", "b.bmp", "w.bmp", "g.png") are served from an archive, and the sequence
// is then stepped through many times and drawn once. Inputs naming a path (any
// slash) are skipped: reading the disk beyond the scratch folder is not the
// sequence's to test. Designed fatal ends are thrown and caught (FuzzFatalSeam).
// Shared by the libFuzzer target and the corpus replay test. Not thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>

void LoadSequenceBytes(const std::uint8_t* data, std::size_t size);
