#include "archive/CFLFilterChain.h"

#include "archive/CFLFilterRegistry.h"
#include "archive/CFLResourceFilter.h"

namespace {

const CFLResourceFilter* FindCompressor(std::uint32_t compoundId) {
  const CFLResourceFilter* f = CFLFindFilter(compoundId & 0xFFFF);
  return f ? f : CFLFindFilter(compoundId & 0xFF);
}

// One decode or encode step over the chain's current buffer. The first step
// reads the caller's buffer, later ones replace the intermediate they consumed.
class Stage {
 public:
  Stage(const std::uint8_t* data, std::uint32_t length) : current_(data), length_(length) {}

  bool Run(const CFLResourceFilter* filter, bool encode) {
    if (!filter) return Fail();
    std::unique_ptr<std::uint8_t[]> next;
    std::uint32_t nextLength = 0;
    if (encode)
      filter->Encode(current_, next, length_, nextLength);
    else
      filter->Decode(current_, next, length_, nextLength);
    if (!next) return Fail();
    owned_ = std::move(next);
    current_ = owned_.get();
    length_ = nextLength;
    return true;
  }

  std::unique_ptr<std::uint8_t[]> Take(std::uint32_t& length) {
    length = length_;
    return std::move(owned_);
  }

 private:
  bool Fail() {
    owned_.reset();
    current_ = nullptr;
    length_ = 0;
    return false;
  }

  const std::uint8_t* current_;
  std::uint32_t length_;
  std::unique_ptr<std::uint8_t[]> owned_;
};

}  // namespace

std::unique_ptr<std::uint8_t[]> Unpack(const std::uint8_t* packed, std::uint32_t packedLength,
                                       std::uint32_t compoundId, std::uint32_t& unpackedLength) {
  unpackedLength = 0;
  Stage stage(packed, packedLength);
  const std::uint32_t outer = compoundId & 0xFF000000;
  if (outer != 0 && !stage.Run(CFLFindFilter(outer), false)) return nullptr;
  if (!stage.Run(FindCompressor(compoundId), false)) return nullptr;
  const std::uint32_t delta = compoundId & 0x00FF0000;
  if (delta != 0 && !stage.Run(CFLFindFilter(delta), false)) return nullptr;
  return stage.Take(unpackedLength);
}

std::unique_ptr<std::uint8_t[]> Unpack(const std::uint8_t* packed, std::uint32_t packedLength,
                                       std::uint32_t compoundId) {
  std::uint32_t unused = 0;
  return Unpack(packed, packedLength, compoundId, unused);
}

std::unique_ptr<std::uint8_t[]> Pack(const std::uint8_t* data, std::uint32_t length,
                                     std::uint32_t compoundId, std::uint32_t& packedLength) {
  packedLength = 0;
  Stage stage(data, length);
  const std::uint32_t delta = compoundId & 0x00FF0000;
  if (delta != 0 && !stage.Run(CFLFindFilter(delta), true)) return nullptr;
  if (!stage.Run(FindCompressor(compoundId), true)) return nullptr;
  const std::uint32_t outer = compoundId & 0xFF000000;
  if (outer != 0 && !stage.Run(CFLFindFilter(outer), true)) return nullptr;
  return stage.Take(packedLength);
}
