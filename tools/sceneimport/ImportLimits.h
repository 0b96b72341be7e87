// Bounds on what one import may take, so that a hostile model file is refused
// within seconds instead of eating the machine.
#pragma once

#include <cstdint>
#include <string>

namespace sceneimport {

constexpr std::uint64_t kImportMemoryBytes = std::uint64_t{2} << 30;
constexpr unsigned kImportCpuSeconds = 120;

// Applies both limits to this process; running out of processor time ends it with
// a message naming `input` and status 1. Address-space limits are left off in
// sanitizer builds, whose shadow memory needs terabytes of address space.
void ApplyImportLimits(const std::string& input);

// One import is one short process: memory it frees is kept for its later stages
// instead of going back to the system and being faulted in afresh (a large model
// spends much of its time on fresh pages otherwise).
void KeepFreedMemory();

// The user's words for a failed allocation.
std::string OutOfMemoryMessage();

}  // namespace sceneimport
