// The process-wide filter registry: a list of every constructed filter, most
// recently constructed first. The five filters of the system are constructed
// before main runs, in the order Delta16, Delta32, Delta8, None, Zlib, and
// destroyed at exit. Written only during static initialisation and exit.
#pragma once

#include <cstdint>

class CFLResourceFilter;

// The first registered filter whose id equals `id`, or null. Not owned.
const CFLResourceFilter* CFLFindFilter(std::uint32_t id);
// Head of the registry list (follow `next`). Not owned.
const CFLResourceFilter* CFLFirstFilter();

// Called by the filter base class only.
void CFLRegisterFilter(CFLResourceFilter* filter);
void CFLUnregisterFilter(CFLResourceFilter* filter);
