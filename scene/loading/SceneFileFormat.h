// The scene file's vocabulary: chunk types, the component flags of a vertex
// buffer, the part flags of transform keys, and the file index that names no
// object. The loader and every tool that writes or reads scene files share it.
// Header only; nothing here reads or writes bytes.
#pragma once

#include <cstdint>

namespace scenefile {

// The u16 type at the start of every chunk.
enum class ChunkType : std::uint16_t {
  Ambient = 1,
  Group = 2,
  Mesh = 3,
  Camera = 4,
  Light = 5,
  VertexBuffer = 6,
  IndexBuffer = 7,
  Material = 8,
  Texture = 9,
  PRSController = 10,
  VertexController = 11,
  SampleFloatController = 12,
  Sprite = 13,
};

constexpr std::uint16_t Code(ChunkType type) { return static_cast<std::uint16_t>(type); }

// Which parts frame 0 of a vertex buffer carries after each position; other bits
// are ignored.
inline constexpr std::uint32_t kVertexNormal = 0x1;
inline constexpr std::uint32_t kVertexUv0 = 0x4;
inline constexpr std::uint32_t kVertexUv1 = 0x8;

// Which parts each key of a position/rotation/scale controller carries.
inline constexpr std::uint32_t kKeyPosition = 0x1;
inline constexpr std::uint32_t kKeyRotation = 0x2;
inline constexpr std::uint32_t kKeyScale = 0x4;

// The file index that names no object. It is still an index like any other:
// the loader maps it to an id of its own.
inline constexpr std::uint32_t kNone = 0xFFFFFFFFu;

}  // namespace scenefile
