#include "archive/CFLArchive.h"

namespace {
CFLArchive* programArchive = nullptr;
}

CFLArchive* ProgramArchive() { return programArchive; }
void SetProgramArchive(CFLArchive* archive) { programArchive = archive; }
