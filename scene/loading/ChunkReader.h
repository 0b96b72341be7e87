// Little-endian reads from one chunk's payload, bounded by it: a field that runs
// past the payload, or a count whose items cannot fit in what is left, ends the
// show with a message naming the file, the chunk and the field ("Error", status 0).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/d3d9/d3d9types.h"
#include "platform/os/LittleEndian.h"

class ChunkReader {
 public:
  // `where` names the chunk for messages, e.g. "scene.psk, chunk 3 (type 8) at byte 120".
  ChunkReader(const std::uint8_t* data, std::size_t size, std::string where);

  std::uint8_t U8(const char* field);
  std::uint16_t U16(const char* field);
  std::uint32_t U32(const char* field);
  std::int32_t I32(const char* field);
  float F32(const char* field);
  std::string String(const char* field);  // u16 length, then the bytes
  // u32 ARGB, as four floats red, green, blue, alpha (each byte * 1/255).
  D3DCOLORVALUE Colour(const char* field);
  void Skip(std::size_t bytes, const char* field);
  // The next `bytes` bytes, checked and passed over, for reading bulk arrays at once.
  const std::uint8_t* Take(std::size_t bytes, const char* field);
  // A u32 count of items of `itemBytes` each that must fit in what is left.
  std::uint32_t Count(std::size_t itemBytes, const char* field);
  // Ends the show unless `bytes` remain.
  void Need(std::size_t bytes, const char* field) const;
  [[noreturn]] void Fail(const std::string& what) const;

  std::size_t Remaining() const { return in.Remaining(); }
  const std::string& Where() const { return where; }

 private:
  LittleEndianReader in;
  std::string where;
};
