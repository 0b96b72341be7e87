// BSTR strings: a 32-bit byte count sits just before the characters, and a zero
// character follows them, so a BSTR also reads as a plain zero-terminated string.
#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/flash/objbase.h"

namespace {

constexpr std::size_t kPrefix = sizeof(std::uint32_t);

std::uint32_t* Prefix(BSTR text) {
  return reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(text) - kPrefix);
}

}  // namespace

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  // The byte count must fit the 32-bit prefix.
  if (length > (std::numeric_limits<std::uint32_t>::max() - kPrefix) / sizeof(OLECHAR) - 1)
    return nullptr;
  const std::size_t bytes = std::size_t(length) * sizeof(OLECHAR);
  void* block = std::calloc(1, kPrefix + bytes + sizeof(OLECHAR));
  if (block == nullptr) return nullptr;
  *static_cast<std::uint32_t*>(block) = static_cast<std::uint32_t>(bytes);
  auto* chars = reinterpret_cast<OLECHAR*>(static_cast<char*>(block) + kPrefix);
  if (text != nullptr && length > 0) std::memcpy(chars, text, bytes);
  return chars;
}

BSTR SysAllocString(const OLECHAR* text) {
  if (text == nullptr) return nullptr;
  std::size_t length = 0;
  while (text[length] != 0) ++length;
  if (length > std::numeric_limits<UINT>::max()) return nullptr;
  return SysAllocStringLen(text, static_cast<UINT>(length));
}

void SysFreeString(BSTR text) {
  if (text != nullptr) std::free(Prefix(text));
}

UINT SysStringLen(BSTR text) {
  return text == nullptr ? 0 : static_cast<UINT>(*Prefix(text) / sizeof(OLECHAR));
}
