// CComPtr: one counted reference to a COM interface, released when the holder
// goes or is reset. Header only. Not here: the rest of the template library.
#pragma once

#include <cassert>
#include <utility>

#include "platform/flash/objbase.h"

template <class T>
class CComPtr {
 public:
  CComPtr() = default;
  CComPtr(T* q) : p(q) {  // NOLINT: implicit, as the library's is
    if (p) p->AddRef();
  }
  CComPtr(const CComPtr& other) : CComPtr(other.p) {}
  CComPtr(CComPtr&& other) noexcept : p(std::exchange(other.p, nullptr)) {}
  CComPtr& operator=(CComPtr other) noexcept {
    std::swap(p, other.p);
    return *this;
  }
  ~CComPtr() { Release(); }

  // Drops the reference held, if any.
  void Release() {
    if (T* old = std::exchange(p, nullptr)) old->Release();
  }
  // For out parameters: the holder must be empty.
  T** operator&() {
    assert(p == nullptr);
    return &p;
  }
  T* operator->() const {
    assert(p != nullptr);
    return p;
  }
  operator T*() const { return p; }

  T* p = nullptr;
};
