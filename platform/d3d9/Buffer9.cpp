#include "platform/d3d9/Buffer9.h"

#include "platform/d3d9/ErrorReport.h"

namespace {
constexpr UINT kMaxBufferBytes = 256u << 20;
}

HRESULT CheckBufferCreation(const char* call, UINT length, UINT minimumLength, DWORD usage,
                            D3DPOOL pool) {
  if (length < minimumLength || length > kMaxBufferBytes)
    return ReportInvalidCall("%s: length %u is not supported", call, length);
  if (usage & ~(D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC | D3DUSAGE_SOFTWAREPROCESSING |
                D3DUSAGE_DONOTCLIP | D3DUSAGE_POINTS))
    return ReportInvalidCall("%s: usage 0x%x is not supported", call, usage);
  if (pool > D3DPOOL_SCRATCH) return ReportInvalidCall("%s: pool %u", call, pool);
  if ((usage & D3DUSAGE_DYNAMIC) && pool == D3DPOOL_MANAGED)
    return ReportInvalidCall("%s: dynamic buffers cannot be managed", call);
  return D3D_OK;
}
