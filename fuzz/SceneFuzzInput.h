// Treats arbitrary bytes as a scene file and does what a player does with one:
// loads it (as "main.psk" in a scratch folder that also holds a nested scene, a
// texture, a second texture and an animated-texture description), prepares the
// scene graph, drives its clock and draws one frame on a headless device. The
// fatal ends a damaged file is designed to have are caught in-process: message
// boxes are thrown instead of shown. Shared by the libFuzzer target and the
// corpus replay. Not thread-safe (one scratch folder, one device).
#pragma once

#include <cstddef>
#include <cstdint>

void LoadSceneBytes(const std::uint8_t* data, std::size_t size);
