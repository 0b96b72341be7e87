// Ownership of one reference to a Direct3D (COM-style) object: released once when
// the owner goes. Owners are moved, never copied.
#pragma once

#include <memory>

struct ComRelease {
  template <class T>
  void operator()(T* object) const {
    if (object) object->Release();
  }
};

template <class T>
using ComOwner = std::unique_ptr<T, ComRelease>;
