#include "archive/CFLResourceFilter.h"

#include <new>

#include "archive/CFLFilterRegistry.h"

CFLResourceFilter::CFLResourceFilter(const char* description_, const char* name_,
                                     std::uint32_t id_)
    : description(description_), name(name_), id(id_) {
  CFLRegisterFilter(this);
}

CFLResourceFilter::~CFLResourceFilter() { CFLUnregisterFilter(this); }

std::unique_ptr<std::uint8_t[]> CFLAllocate(std::uint64_t length) {
  if (length > SIZE_MAX) return nullptr;
  return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[length]);
}
