// A resource filter: one reversible transform over a whole buffer (stored bytes,
// 8/16/32-bit delta, zlib). Each filter registers itself in the process-wide
// filter registry when constructed; the five instances live in
// CFLFilterRegistry.cpp. Filters hold no state and may be used from any thread.
// Not here: the order in which filters are combined (CFLFilterChain.h).
#pragma once

#include <cstdint>
#include <memory>

class CFLResourceFilter {
 public:
  CFLResourceFilter(const char* description, const char* name, std::uint32_t id);
  virtual ~CFLResourceFilter();
  CFLResourceFilter(const CFLResourceFilter&) = delete;
  CFLResourceFilter& operator=(const CFLResourceFilter&) = delete;

  // Both read `sourceLength` bytes of `source` (never changed) and hand the caller
  // a new buffer and its length; on failure `destination` is null and the length 0.
  // An empty result is a non-null buffer of length 0.
  virtual void Encode(const std::uint8_t* source, std::unique_ptr<std::uint8_t[]>& destination,
                      std::uint32_t sourceLength, std::uint32_t& destinationLength) const = 0;
  virtual void Decode(const std::uint8_t* source, std::unique_ptr<std::uint8_t[]>& destination,
                      std::uint32_t sourceLength, std::uint32_t& destinationLength) const = 0;
  // Takes a parameter that no filter of this system uses.
  virtual void SetParameter(std::uint32_t) {}

  CFLResourceFilter* next = nullptr;  // next filter in the registry
  const char* const description;
  const char* const name;
  const std::uint32_t id;  // the filter's bits within a compound id
};

// A new uninitialised buffer of `length` bytes, or null when memory runs out.
std::unique_ptr<std::uint8_t[]> CFLAllocate(std::uint64_t length);
