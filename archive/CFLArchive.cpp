#include "archive/CFLArchive.h"

// No archive reader yet: every archive is empty and every open fails, so loaders
// read loose files.
CFLArchive::CFLArchive() = default;
CFLArchive::~CFLArchive() = default;

bool CFLArchive::Open(const char*, std::int32_t) { return false; }
bool CFLArchive::Exists(const char*) const { return false; }
std::uint32_t CFLArchive::GetSize(const char*) const { return 0; }

std::unique_ptr<std::uint8_t[]> CFLArchive::Read(const char*, std::uint32_t& size) const {
  size = 0;
  return nullptr;
}

std::unique_ptr<std::uint8_t[]> CFLArchive::ReadWhole(const char* name) const {
  std::uint32_t size = 0;
  return Read(name, size);
}

std::int32_t CFLArchive::ReadInto(const char*, void*, std::int32_t) const { return 0; }
