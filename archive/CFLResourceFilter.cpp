#include "archive/CFLResourceFilter.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>

#include "archive/CFLFilterRegistry.h"

CFLResourceFilter::CFLResourceFilter(const char* description_, const char* name_, std::uint32_t id_)
    : description(description_), name(name_), id(id_) {
  CFLRegisterFilter(this);
}

CFLResourceFilter::~CFLResourceFilter() { CFLUnregisterFilter(this); }

namespace {

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

// A large buffer is about to be written whole; mapping its pages in one call is
// cheaper than taking one page fault each. Kernels without the call ignore it.
void PrefaultPages(std::uint8_t* data, std::uint64_t length) {
  constexpr std::uint64_t kWorthIt = 1u << 20;
  constexpr std::uintptr_t kPage = 4096;
  if (length < kWorthIt) return;
  const auto begin = (reinterpret_cast<std::uintptr_t>(data) + kPage - 1) & ~(kPage - 1);
  const auto end = (reinterpret_cast<std::uintptr_t>(data) + length) & ~(kPage - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
}

}  // namespace

std::unique_ptr<std::uint8_t[]> CFLAllocate(std::uint64_t length) {
  if (length > SIZE_MAX) return nullptr;
  std::unique_ptr<std::uint8_t[]> data(new (std::nothrow) std::uint8_t[length]);
  if (data) PrefaultPages(data.get(), length);
  return data;
}
