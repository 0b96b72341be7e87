// Treats arbitrary bytes as node property text: parses it, reads every key it
// yields as string, integer and float, and builds the keyframe animations it
// describes on a node, whose controllers are then evaluated at a few times.
// Fatal ends (an unknown control field) are caught in-process. Shared by the
// libFuzzer target and the corpus replay. Not thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>

void ParsePropertyTextBytes(const std::uint8_t* data, std::size_t size);
