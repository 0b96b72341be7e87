#include "archive/CFLFilterRegistry.h"

#include "archive/CFLRH_Delta.h"
#include "archive/CFLRH_None.h"
#include "archive/CFLRH_Zlib.h"

namespace {

constinit CFLResourceFilter* registryHead = nullptr;

// Members are constructed in declaration order, which fixes the registry order.
struct Filters {
  CFLRH_Delta16 delta16;
  CFLRH_Delta32 delta32;
  CFLRH_Delta8 delta8;
  CFLRH_None none;
  CFLRH_Zlib zlib;
};

// A function-local instance, so a look-up made during another file's static
// initialisation still finds a full registry.
const Filters& Instances() {
  static const Filters filters;
  return filters;
}

[[maybe_unused]] const Filters& filledBeforeMain = Instances();

}  // namespace

void CFLRegisterFilter(CFLResourceFilter* filter) {
  filter->next = registryHead;
  registryHead = filter;
}

void CFLUnregisterFilter(CFLResourceFilter* filter) {
  for (CFLResourceFilter** link = &registryHead; *link; link = &(*link)->next) {
    if (*link == filter) {
      *link = filter->next;
      return;
    }
  }
}

const CFLResourceFilter* CFLFirstFilter() {
  Instances();
  return registryHead;
}

const CFLResourceFilter* CFLFindFilter(std::uint32_t id) {
  for (const CFLResourceFilter* f = CFLFirstFilter(); f; f = f->next) {
    if (f->id == id) return f;
  }
  return nullptr;
}
