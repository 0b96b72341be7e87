#include "app/WavWriter.h"

#include <vector>

namespace {

constexpr std::uint32_t kHeaderBytes = 44;
constexpr std::uint32_t kFrameBytes = 4;
constexpr std::uint64_t kMaxDataBytes = 0xFFFFFFFFull - (kHeaderBytes - 8);

void Put16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t v) {
  Put16(p, v & 0xFFFF);
  Put16(p + 2, v >> 16);
}

}  // namespace

WavWriter::WavWriter(const std::string& path, int rate) : rate_(rate) {
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ && !writeHeader()) {
    std::fclose(file_);
    file_ = nullptr;
  }
}

WavWriter::~WavWriter() {
  if (file_) std::fclose(file_);
}

bool WavWriter::append(const std::int16_t* frames, std::size_t count) {
  if (!file_) return false;
  if ((frames_ + count) * kFrameBytes > kMaxDataBytes) return false;
  std::vector<std::uint8_t> bytes(count * kFrameBytes);
  for (std::size_t i = 0; i < count * 2; ++i)
    Put16(&bytes[i * 2], static_cast<std::uint16_t>(frames[i]));
  if (std::fseek(file_, 0, SEEK_END) != 0 ||
      std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
    return false;
  frames_ += count;
  return writeHeader();
}

bool WavWriter::writeHeader() {
  const std::uint32_t dataBytes = static_cast<std::uint32_t>(frames_ * kFrameBytes);
  std::uint8_t h[kHeaderBytes] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E',
                                  'f', 'm', 't', ' ', 0, 0, 0, 0, 0, 0, 0, 0,
                                  0,   0,   0,   0,   0, 0, 0, 0, 0, 0, 0, 0,
                                  'd', 'a', 't', 'a', 0, 0, 0, 0};
  Put32(h + 4, kHeaderBytes - 8 + dataBytes);
  Put32(h + 16, 16);                                             // fmt chunk size
  Put16(h + 20, 1);                                              // PCM
  Put16(h + 22, 2);                                              // channels
  Put32(h + 24, static_cast<std::uint32_t>(rate_));              // frames per second
  Put32(h + 28, static_cast<std::uint32_t>(rate_) * kFrameBytes);  // bytes per second
  Put16(h + 32, kFrameBytes);                                    // block align
  Put16(h + 34, 16);                                             // bits per sample
  Put32(h + 40, dataBytes);
  return std::fseek(file_, 0, SEEK_SET) == 0 && std::fwrite(h, 1, sizeof h, file_) == sizeof h &&
         std::fflush(file_) == 0;
}
