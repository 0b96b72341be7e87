// Treats arbitrary bytes as a movie file and checks its header as the movie control
// does before it accepts a movie; a header it accepts must describe itself
// consistently (aborts otherwise, so the fuzzer reports it). Shared by the libFuzzer
// target and the corpus replay test.
#pragma once

#include <cstddef>
#include <cstdint>

void CheckMovieHeaderBytes(const std::uint8_t* data, std::size_t size);
