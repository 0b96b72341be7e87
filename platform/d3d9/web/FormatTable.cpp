#include "platform/d3d9/FormatInfo.h"

namespace {

// Locked memory to RGBA bytes. A D3DCOLOR is the bytes B, G, R, A; A8L8 is L, A.
void FromBgra(const std::uint8_t* from, std::uint8_t* to, std::size_t pixels) {
  for (std::size_t i = 0; i < pixels; ++i, from += 4, to += 4) {
    const std::uint8_t b = from[0], g = from[1], r = from[2], a = from[3];
    to[0] = r, to[1] = g, to[2] = b, to[3] = a;
  }
}

void FromBgrx(const std::uint8_t* from, std::uint8_t* to, std::size_t pixels) {
  for (std::size_t i = 0; i < pixels; ++i, from += 4, to += 4) {
    const std::uint8_t b = from[0], g = from[1], r = from[2];
    to[0] = r, to[1] = g, to[2] = b, to[3] = 0xFF;
  }
}

void FromL8(const std::uint8_t* from, std::uint8_t* to, std::size_t pixels) {
  for (std::size_t i = 0; i < pixels; ++i, to += 4) to[0] = to[1] = to[2] = from[i], to[3] = 0xFF;
}

void FromA8L8(const std::uint8_t* from, std::uint8_t* to, std::size_t pixels) {
  for (std::size_t i = 0; i < pixels; ++i, from += 2, to += 4)
    to[0] = to[1] = to[2] = from[0], to[3] = from[1];
}

void FromA8(const std::uint8_t* from, std::uint8_t* to, std::size_t pixels) {
  for (std::size_t i = 0; i < pixels; ++i, to += 4) to[0] = to[1] = to[2] = 0, to[3] = from[i];
}

// Held as RGBA bytes; sampling reads what Direct3D would because the upload says so.
constexpr FormatInfo Rgba(D3DFORMAT format, UINT bytes, bool hasAlpha, bool renderable,
                          void (*toGl)(const std::uint8_t*, std::uint8_t*, std::size_t)) {
  return FormatInfo{format, bytes, GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE,
                    {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}, hasAlpha, renderable, false, false,
                    toGl, 4};
}

const FormatInfo kColorFormats[] = {
    Rgba(D3DFMT_A8R8G8B8, 4, true, true, FromBgra),
    // X8 render targets keep what is drawn in the unused byte; read back it is 0xFF.
    Rgba(D3DFMT_X8R8G8B8, 4, false, true, FromBgrx),
    Rgba(D3DFMT_L8, 1, false, false, FromL8),
    Rgba(D3DFMT_A8L8, 2, true, false, FromA8L8),
    Rgba(D3DFMT_A8, 1, true, false, FromA8),
};

}  // namespace

std::span<const FormatInfo> ColorFormatTable() { return kColorFormats; }
