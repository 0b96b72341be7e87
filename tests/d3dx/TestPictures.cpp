#include "TestPictures.h"

#include <png.h>
#include <turbojpeg.h>
#include <zlib.h>

#include <csetjmp>
#include <stdexcept>

namespace {

void AppendPng(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void Put16(Bytes* b, std::size_t at, std::uint32_t v) {
  (*b)[at] = v & 0xFF;
  (*b)[at + 1] = (v >> 8) & 0xFF;
}
void Put32(Bytes* b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) (*b)[at + i] = (v >> (8 * i)) & 0xFF;
}

}  // namespace

Bytes MakePng(const PngSpec& spec) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("libpng could not write the test picture");
  }
  png_set_write_fn(png, &out, AppendPng, nullptr);
  png_set_IHDR(png, info, spec.width, spec.height, spec.bitDepth, spec.colorType,
               spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette;
  for (std::size_t i = 0; i + 2 < spec.palette.size(); i += 3) {
    palette.push_back({spec.palette[i], spec.palette[i + 1], spec.palette[i + 2]});
  }
  if (!palette.empty()) {
    png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  }
  png_color_16 grey{};
  if (spec.transparentGrey >= 0) {
    grey.gray = static_cast<png_uint_16>(spec.transparentGrey);
    png_set_tRNS(png, info, nullptr, 0, &grey);
  } else if (!spec.transparency.empty()) {
    png_set_tRNS(png, info, spec.transparency.data(), static_cast<int>(spec.transparency.size()),
                 nullptr);
  }
  png_write_info(png, info);
  const std::size_t rowBytes = png_get_rowbytes(png, info);
  std::vector<png_bytep> rows(spec.height);
  for (std::uint32_t y = 0; y < spec.height; ++y) {
    rows[y] = const_cast<png_bytep>(spec.rows.data() + rowBytes * y);
  }
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

Bytes MakeJpeg(std::uint32_t width, std::uint32_t height, bool grey, const Bytes& pixels,
               int quality) {
  tjhandle handle = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  const int result = tjCompress2(handle, pixels.data(), static_cast<int>(width), 0,
                                 static_cast<int>(height), grey ? TJPF_GRAY : TJPF_RGB, &jpeg,
                                 &size, grey ? TJSAMP_GRAY : TJSAMP_444, quality, 0);
  Bytes out;
  if (result == 0) {
    out.assign(jpeg, jpeg + size);
  }
  tjFree(jpeg);
  tjDestroy(handle);
  if (result != 0) {
    throw std::runtime_error("TurboJPEG could not write the test picture");
  }
  return out;
}

Bytes MakeBmp(std::uint32_t width, std::uint32_t height, int bitsPerPixel, const Bytes& pixels,
              const Bytes& palette, bool topDown) {
  const std::uint32_t stride = (width * bitsPerPixel + 31) / 32 * 4;
  const std::uint32_t paletteEntries = static_cast<std::uint32_t>(palette.size() / 3);
  const std::uint32_t offset = 14 + 40 + paletteEntries * 4;
  Bytes out(offset + stride * height, 0);
  out[0] = 'B';
  out[1] = 'M';
  Put32(&out, 2, static_cast<std::uint32_t>(out.size()));
  Put32(&out, 10, offset);
  Put32(&out, 14, 40);
  Put32(&out, 18, width);
  Put32(&out, 22, topDown ? static_cast<std::uint32_t>(-static_cast<std::int32_t>(height)) : height);
  Put16(&out, 26, 1);
  Put16(&out, 28, static_cast<std::uint32_t>(bitsPerPixel));
  Put32(&out, 46, paletteEntries);
  for (std::uint32_t i = 0; i < paletteEntries; ++i) {
    out[54 + i * 4] = palette[i * 3 + 2];
    out[54 + i * 4 + 1] = palette[i * 3 + 1];
    out[54 + i * 4 + 2] = palette[i * 3];
  }
  const std::uint32_t channels = bitsPerPixel == 8 ? 1 : bitsPerPixel / 8;
  for (std::uint32_t y = 0; y < height; ++y) {
    const std::uint32_t fileRow = topDown ? y : height - 1 - y;
    std::uint8_t* row = out.data() + offset + fileRow * stride;
    for (std::uint32_t x = 0; x < width; ++x) {
      const std::uint8_t* p = pixels.data() + (y * width + x) * channels;
      if (channels == 1) {
        row[x] = p[0];
      } else {
        row[x * channels] = p[2];  // stored B, G, R(, A)
        row[x * channels + 1] = p[1];
        row[x * channels + 2] = p[0];
        if (channels == 4) row[x * channels + 3] = p[3];
      }
    }
  }
  return out;
}

Bytes MakeTga(std::uint32_t width, std::uint32_t height, int type, int bitsPerPixel,
              const Bytes& pixels, bool topDown) {
  const std::uint32_t channels = static_cast<std::uint32_t>(bitsPerPixel / 8);
  Bytes out(18 + width * height * channels, 0);
  out[2] = static_cast<std::uint8_t>(type);
  Put16(&out, 12, width);
  Put16(&out, 14, height);
  out[16] = static_cast<std::uint8_t>(bitsPerPixel);
  out[17] = static_cast<std::uint8_t>((topDown ? 0x20 : 0) | (channels == 4 ? 8 : 0));
  for (std::uint32_t y = 0; y < height; ++y) {
    const std::uint32_t fileRow = topDown ? y : height - 1 - y;
    std::uint8_t* row = out.data() + 18 + fileRow * width * channels;
    for (std::uint32_t x = 0; x < width; ++x) {
      const std::uint8_t* p = pixels.data() + (y * width + x) * channels;
      if (channels == 1) {
        row[x] = p[0];
      } else {
        row[x * channels] = p[2];
        row[x * channels + 1] = p[1];
        row[x * channels + 2] = p[0];
        if (channels == 4) row[x * channels + 3] = p[3];
      }
    }
  }
  return out;
}

void FixPngChunkCrc(Bytes* png, std::size_t offset) {
  const std::uint32_t length = (std::uint32_t((*png)[offset]) << 24) |
                               ((*png)[offset + 1] << 16) | ((*png)[offset + 2] << 8) |
                               (*png)[offset + 3];
  const std::uint8_t* typeAndData = png->data() + offset + 4;
  const uLong crc = crc32(0, typeAndData, length + 4);
  const std::size_t at = offset + 8 + length;
  for (int i = 0; i < 4; ++i) (*png)[at + i] = (crc >> (24 - 8 * i)) & 0xFF;
}
