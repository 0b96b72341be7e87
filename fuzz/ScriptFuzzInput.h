// Treats arbitrary bytes as a show's scripts and parses them as the player does:
// the bytes are split at each line "@@" into demo.psc, 1.psc, 2.psc, ..., served
// from memory to the parser, so includes nest, repeat and cycle without touching
// the disk. Designed fatal ends are caught in-process (FuzzFatalSeam.h). Shared by
// the libFuzzer target and the corpus replay test. Not thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>

void ParseScriptBytes(const std::uint8_t* data, std::size_t size);
