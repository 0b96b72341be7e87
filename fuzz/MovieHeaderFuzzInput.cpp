#include "fuzz/MovieHeaderFuzzInput.h"

#include <cstdio>
#include <cstdlib>
#include <span>

#include "platform/flash/SwfHeader.h"

namespace {

[[noreturn]] void Inconsistent(const char* what) {
  std::fprintf(stderr, "movie header fuzz: accepted header with %s\n", what);
  std::abort();
}

}  // namespace

void CheckMovieHeaderBytes(const std::uint8_t* data, std::size_t size) {
  const auto header = ReadSwfHeader(std::span<const std::uint8_t>(data, size));
  if (!header) return;
  if (header->version == 0) Inconsistent("version 0");
  if (header->fileLength < 8) Inconsistent("a length shorter than its fixed part");
  if (header->compression == SwfCompression::Lzma && header->frameFieldsRead)
    Inconsistent("frame fields read from an LZMA stream");
  if (!header->frameFieldsRead) return;
  if (header->widthTwips() < 0 || header->heightTwips() < 0) Inconsistent("an inverted frame");
  if (header->headerLength > header->fileLength) Inconsistent("a header beyond its length");
  if (header->compression == SwfCompression::None && header->fileLength > size)
    Inconsistent("a length beyond the file");
  if (!(header->framesPerSecond() >= 0)) Inconsistent("a negative frame rate");
}
