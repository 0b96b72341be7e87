#include "scene/GlowTargets.h"
#include "scene/ContractPending.h"

void CreateGlowTargets(IDirect3DDevice9*) { ContractPending("CreateGlowTargets"); }
void ReleaseGlowTargets() { ContractPending("ReleaseGlowTargets"); }
IDirect3DTexture9* GlowTarget(int) { ContractPending("GlowTarget"); }
IDirect3DSurface9* GlowDepth() { ContractPending("GlowDepth"); }
bool GlowTargetsComplete() { ContractPending("GlowTargetsComplete"); }
