// Treats arbitrary bytes as a picture file and does with it what the picture layer
// is asked to: the picture information, then decoding into a memory surface of the
// reported size and format (or a convertible one), into a small surface with each
// filter, and from a part of the picture. No device is needed. Shared by the
// libFuzzer target and the corpus replay test.
#pragma once

#include <cstddef>
#include <cstdint>

void DecodePictureBytes(const std::uint8_t* data, std::size_t size);
