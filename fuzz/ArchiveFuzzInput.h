// Treats arbitrary bytes as an archive file and does everything a player does
// with one: opens it (at position 0 and at its middle, so two images merge),
// reads every listed entry whole and into a small buffer, opens entries as memory
// files, and runs the filter chain on the bytes themselves. Shared by the
// libFuzzer target and the corpus replay test. Not thread-safe (one scratch file).
#pragma once

#include <cstddef>
#include <cstdint>

void OpenAndReadArchiveBytes(const std::uint8_t* data, std::size_t size);
