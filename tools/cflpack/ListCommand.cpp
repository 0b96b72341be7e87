// list ARCHIVE: one line per resource (size, packed size, filter, name).
#include <cstdio>

#include "archive/CFLArchive.h"
#include "tools/cflpack/Commands.h"
#include "tools/cflpack/FilterNames.h"

int ListCommand(const Arguments& args) {
  if (args.size() != 1) return Usage();
  CFLArchive archive;
  if (!archive.Open(args[0].c_str())) return Failure("not a readable archive: " + args[0]);
  std::printf("%12s %12s  %-13s %s\n", "size", "packed", "filter", "name");
  for (const CFLEntryInfo& e : archive.List()) {
    std::printf("%12u %12u  %-13s %s\n", e.size, e.packedSize, FilterChainName(e.filterId).c_str(),
                e.name.c_str());
  }
  return 0;
}
