#include "scene/loading/ChunkReader.h"

#include <cstring>
#include <utility>

#include "scene/SceneFatal.h"

ChunkReader::ChunkReader(const std::uint8_t* data, std::size_t size, std::string where)
    : in(data, size), where(std::move(where)) {}

void ChunkReader::Fail(const std::string& what) const {
  SceneFatal("Damaged scene file " + where + ": " + what);
}

void ChunkReader::Need(std::size_t bytes, const char* field) const {
  if (bytes > Remaining())
    Fail(std::string(field) + " runs past the end of the chunk (" + std::to_string(bytes) +
         " bytes needed, " + std::to_string(Remaining()) + " left)");
}

std::uint8_t ChunkReader::U8(const char* field) {
  Need(1, field);
  return in.U8();
}

std::uint16_t ChunkReader::U16(const char* field) {
  Need(2, field);
  return in.U16();
}

std::uint32_t ChunkReader::U32(const char* field) {
  Need(4, field);
  return in.U32();
}

std::int32_t ChunkReader::I32(const char* field) { return static_cast<std::int32_t>(U32(field)); }

float ChunkReader::F32(const char* field) {
  std::uint32_t bits = U32(field);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::string ChunkReader::String(const char* field) {
  const std::uint16_t length = U16(field);
  const std::uint8_t* text = Take(length, field);
  return length ? std::string(reinterpret_cast<const char*>(text), length) : std::string();
}

D3DCOLORVALUE ChunkReader::Colour(const char* field) {
  std::uint32_t argb = U32(field);
  constexpr float kByte = 0.003921569f;
  return D3DCOLORVALUE{static_cast<float>(argb >> 16 & 0xFF) * kByte,
                       static_cast<float>(argb >> 8 & 0xFF) * kByte,
                       static_cast<float>(argb & 0xFF) * kByte,
                       static_cast<float>(argb >> 24 & 0xFF) * kByte};
}

void ChunkReader::Skip(std::size_t bytes, const char* field) {
  Need(bytes, field);
  in.Skip(bytes);
}

const std::uint8_t* ChunkReader::Take(std::size_t bytes, const char* field) {
  Need(bytes, field);
  return in.Take(bytes);
}

std::uint32_t ChunkReader::Count(std::size_t itemBytes, const char* field) {
  std::uint32_t count = U32(field);
  if (itemBytes != 0 && count > Remaining() / itemBytes)
    Fail(std::string(field) + " of " + std::to_string(count) + " cannot fit in the " +
         std::to_string(Remaining()) + " bytes left in the chunk");
  return count;
}
