// Treats arbitrary bytes as a music file and plays it as the music player does,
// through the sound layer's stream interface on its offline (silent) output: opens
// it through file callbacks that serve the bytes from memory, seeks, plays, mixes a
// little at several positions and closes it. Shared by the libFuzzer target and the
// corpus replay test. Not thread-safe (one sound system, one served file).
#pragma once

#include <cstddef>
#include <cstdint>

void PlayMp3Bytes(const std::uint8_t* data, std::size_t size);
