// The COM basics every interface layer shares (Direct3D 9, the movie control and
// its host): GUID and interface identifiers, the common result codes, and
// IUnknown with its reference counting, and the one implementation of IUnknown
// that every object of these layers uses. One definition, so layers can meet in
// one source file. Not here: anything a layer adds of its own.
#pragma once

#include <initializer_list>

#include "platform/os/windows.h"

#ifndef GUID_DEFINED
#define GUID_DEFINED
struct GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
};
#endif
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFGUID = const GUID&;
using REFCLSID = const CLSID&;

inline bool operator==(const GUID& a, const GUID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return false;
  return true;
}

// Result codes (HRESULT) shared by the layers; each layer adds its own.
#ifndef S_OK
#define S_OK (static_cast<HRESULT>(0))
#endif
#ifndef E_NOINTERFACE
#define E_NOINTERFACE (static_cast<HRESULT>(0x80004002u))
#endif
#ifndef E_POINTER
#define E_POINTER (static_cast<HRESULT>(0x80004003u))
#endif
#ifndef E_FAIL
#define E_FAIL (static_cast<HRESULT>(0x80004005u))
#endif
#ifndef E_OUTOFMEMORY
#define E_OUTOFMEMORY (static_cast<HRESULT>(0x8007000Eu))
#endif
#ifndef SUCCEEDED
#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#endif
#ifndef FAILED
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)
#endif

inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000,
                                     {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Every object starts with one reference held by its creator; Release at zero frees it.
struct IUnknown {
  virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  virtual ~IUnknown() = default;
};

// A reference count that never goes below zero: releasing an object nobody holds
// answers 0 and changes nothing, instead of wrapping to four billion.
class ComRefCount {
 public:
  explicit ComRefCount(ULONG count = 1) : count_(count) {}
  ULONG Add() { return ++count_; }
  // The count left; `last` tells whether this call took it to zero.
  ULONG Remove(bool* last) {
    *last = count_ == 1;
    if (count_ > 0) --count_;
    return count_;
  }
  ULONG Count() const { return count_; }

 private:
  ULONG count_;
};

// QueryInterface for an object that answers each of `iids` with `self` (one
// pointer, taking a reference): E_POINTER for a null out pointer, E_NOINTERFACE
// (and a null *object) for any other interface.
template <class Interface>
HRESULT ComQueryInterface(Interface* self, REFIID riid, void** object,
                          std::initializer_list<IID> iids) {
  if (!object) return E_POINTER;
  for (const IID& iid : iids) {
    if (riid == iid) {
      self->AddRef();
      *object = self;
      return S_OK;
    }
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

// AddRef and Release for an object that deletes itself on its last release;
// it starts with the creator's reference.
template <class Interface>
class ComObject : public Interface {
 public:
  ULONG AddRef() override { return refs_.Add(); }
  ULONG Release() override {
    bool last = false;
    const ULONG left = refs_.Remove(&last);
    if (last) delete this;
    return left;
  }

 protected:
  ComObject() = default;
  ~ComObject() override = default;

 private:
  ComRefCount refs_;
};
