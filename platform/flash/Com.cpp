// Class identifiers in text form, and creation of the one class this platform
// provides.
#include "platform/flash/ShockwaveFlashControl.h"
#include "platform/flash/flash.h"
#include "platform/flash/objbase.h"

namespace {

int HexDigit(OLECHAR c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Reads `digits` hex digits at text[at..]; false when one is not a hex digit.
bool ReadHex(LPCOLESTR text, std::size_t at, int digits, std::uint32_t& value) {
  value = 0;
  for (int i = 0; i < digits; ++i) {
    const int d = HexDigit(text[at + i]);
    if (d < 0) return false;
    value = (value << 4) | static_cast<std::uint32_t>(d);
  }
  return true;
}

}  // namespace

HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid) {
  if (text == nullptr || clsid == nullptr) return E_INVALIDARG;
  // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}: 38 characters, then the terminator.
  constexpr std::size_t kLength = 38;
  for (std::size_t i = 0; i < kLength; ++i)
    if (text[i] == 0) return CO_E_CLASSSTRING;
  if (text[kLength] != 0 || text[0] != u'{' || text[37] != u'}' || text[9] != u'-' ||
      text[14] != u'-' || text[19] != u'-' || text[24] != u'-')
    return CO_E_CLASSSTRING;
  CLSID parsed{};
  std::uint32_t v = 0;
  if (!ReadHex(text, 1, 8, v)) return CO_E_CLASSSTRING;
  parsed.Data1 = v;
  if (!ReadHex(text, 10, 4, v)) return CO_E_CLASSSTRING;
  parsed.Data2 = static_cast<WORD>(v);
  if (!ReadHex(text, 15, 4, v)) return CO_E_CLASSSTRING;
  parsed.Data3 = static_cast<WORD>(v);
  const std::size_t bytePositions[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) {
    if (!ReadHex(text, bytePositions[i], 2, v)) return CO_E_CLASSSTRING;
    parsed.Data4[i] = static_cast<BYTE>(v);
  }
  *clsid = parsed;
  return S_OK;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  if (clsid == CLSID_ShockwaveFlash) return ShockwaveFlashControl::Create(iid, object);
  return REGDB_E_CLASSNOTREG;
}
