#include "platform/d3dx/JpegDecoder.h"

#include <turbojpeg.h>

#include <vector>

namespace d3dx {
namespace {

// A Huffman-coded 8x8 block costs at least a bit, so 512 pixels a byte at most;
// arithmetic coding of flat pictures can go further, hence the wide margin before
// a header counts as a lie.
constexpr std::uint64_t kMaxPixelsPerByte = 16384;

class TurboDecompressor {
 public:
  TurboDecompressor() : handle_(tjInitDecompress()) {}
  ~TurboDecompressor() {
    if (handle_) {
      tjDestroy(handle_);
    }
  }
  TurboDecompressor(const TurboDecompressor&) = delete;
  TurboDecompressor& operator=(const TurboDecompressor&) = delete;
  tjhandle get() const { return handle_; }

 private:
  tjhandle handle_;
};

struct JpegHeaderFields {
  int width = 0;
  int height = 0;
  int subsampling = 0;
  int colorspace = 0;
};

// Walks the marker segments up to the first start-of-scan, then looks for the
// end-of-image marker. Inside entropy-coded data 0xFF is always followed by 0x00
// or a restart marker, so 0xFF 0xD9 there can only be the real end.
bool HasEndOfImage(const std::uint8_t* data, std::size_t size) {
  std::size_t pos = 2;
  while (true) {
    while (pos < size && data[pos] != 0xFF) {
      ++pos;  // stray bytes between segments, which libjpeg skips with a warning
    }
    while (pos < size && data[pos] == 0xFF) {
      ++pos;  // fill bytes before a marker
    }
    if (pos >= size) {
      return false;
    }
    const std::uint8_t marker = data[pos++];
    if (marker == 0xD9) {
      return false;  // end before any scan
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
      continue;  // markers without a length
    }
    if (pos + 2 > size) {
      return false;
    }
    const std::size_t length = (static_cast<std::size_t>(data[pos]) << 8) | data[pos + 1];
    if (length < 2 || length > size - pos) {
      return false;
    }
    pos += length;
    if (marker == 0xDA) {
      break;
    }
  }
  for (std::size_t i = pos; i + 1 < size; ++i) {
    if (data[i] == 0xFF && data[i + 1] == 0xD9) {
      return true;
    }
  }
  return false;
}

bool ReadHeaderFields(tjhandle handle, const std::uint8_t* data, std::size_t size,
                      JpegHeaderFields* fields) {
  if (!handle || size > 0xFFFFFFFFu) {
    return false;
  }
  if (tjDecompressHeader3(handle, data, static_cast<unsigned long>(size), &fields->width,
                          &fields->height, &fields->subsampling, &fields->colorspace) != 0) {
    return false;
  }
  if (!PictureSizeAcceptable(static_cast<std::uint64_t>(fields->width),
                             static_cast<std::uint64_t>(fields->height))) {
    return false;
  }
  const std::uint64_t pixels = static_cast<std::uint64_t>(fields->width) * fields->height;
  return pixels <= kMaxPixelsPerByte * size;
}

bool DecodeRaw(tjhandle handle, const std::uint8_t* data, std::size_t size,
               const JpegHeaderFields& fields, int pixelFormat, std::uint8_t* out) {
  const int result = tjDecompress2(handle, data, static_cast<unsigned long>(size), out,
                                   fields.width, 0, fields.height, pixelFormat, 0);
  return result == 0 || tjGetErrorCode(handle) == TJERR_WARNING;
}

// Adobe stores CMYK inverted: each stored value is 255 minus the ink.
void CmykToRgb(const std::vector<std::uint8_t>& cmyk, std::vector<std::uint8_t>* rgb) {
  const std::size_t count = cmyk.size() / 4;
  rgb->resize(count * 3);
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned k = cmyk[i * 4 + 3];
    for (int c = 0; c < 3; ++c) {
      (*rgb)[i * 3 + c] = static_cast<std::uint8_t>((cmyk[i * 4 + c] * k + 127) / 255);
    }
  }
}

}  // namespace

bool IsJpegData(const std::uint8_t* data, std::size_t size) {
  return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

bool ReadJpegHeader(const std::uint8_t* data, std::size_t size, PictureHeader* header) {
  if (!IsJpegData(data, size)) {
    return false;
  }
  TurboDecompressor decompressor;
  JpegHeaderFields fields;
  if (!ReadHeaderFields(decompressor.get(), data, size, &fields)) {
    return false;
  }
  header->width = static_cast<std::uint32_t>(fields.width);
  header->height = static_cast<std::uint32_t>(fields.height);
  header->layout = fields.colorspace == TJCS_GRAY ? PictureLayout::Grey : PictureLayout::Rgb;
  header->kind = PictureFileKind::Jpeg;
  return true;
}

bool DecodeJpeg(const std::uint8_t* data, std::size_t size, Picture* picture) {
  if (!IsJpegData(data, size) || !HasEndOfImage(data, size)) {
    return false;
  }
  TurboDecompressor decompressor;
  JpegHeaderFields fields;
  if (!ReadHeaderFields(decompressor.get(), data, size, &fields)) {
    return false;
  }
  const std::size_t pixelCount = static_cast<std::size_t>(fields.width) * fields.height;
  std::vector<std::uint8_t> pixels;
  std::uint32_t channels = 3;
  if (fields.colorspace == TJCS_GRAY) {
    channels = 1;
    pixels.resize(pixelCount);
    if (!DecodeRaw(decompressor.get(), data, size, fields, TJPF_GRAY, pixels.data())) {
      return false;
    }
  } else if (fields.colorspace == TJCS_CMYK || fields.colorspace == TJCS_YCCK) {
    std::vector<std::uint8_t> cmyk(pixelCount * 4);
    if (!DecodeRaw(decompressor.get(), data, size, fields, TJPF_CMYK, cmyk.data())) {
      return false;
    }
    CmykToRgb(cmyk, &pixels);
  } else {
    pixels.resize(pixelCount * 3);
    if (!DecodeRaw(decompressor.get(), data, size, fields, TJPF_RGB, pixels.data())) {
      return false;
    }
  }
  picture->width = static_cast<std::uint32_t>(fields.width);
  picture->height = static_cast<std::uint32_t>(fields.height);
  picture->channels = channels;
  picture->pixels = std::move(pixels);
  return true;
}

}  // namespace d3dx
