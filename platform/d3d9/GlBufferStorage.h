// The storage shared by vertex and index buffers: a CPU copy of the bytes, which
// locks hand out, mirrored into one GL buffer that Unlock brings up to date over
// the range written. Entry thread only; the owner keeps the device alive.
#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <vector>

#include "platform/d3d9/d3d9.h"

class Device9;

class GlBufferStorage {
 public:
  // `indices`: the buffer holds indices (drawn from the element target).
  GlBufferStorage(Device9* device, UINT length, bool dynamic, bool indices);
  ~GlBufferStorage();
  GlBufferStorage(const GlBufferStorage&) = delete;
  GlBufferStorage& operator=(const GlBufferStorage&) = delete;

  // `what` names the buffer kind in error reports ("VertexBuffer").
  HRESULT Lock(const char* what, UINT offset, UINT size, void** data, DWORD flags);
  // `uploaded` tells whether bytes changed (and were sent to the GL buffer).
  HRESULT Unlock(const char* what, bool* uploaded);

  GLuint glBuffer() const { return buffer_; }
  UINT size() const { return static_cast<UINT>(data_.size()); }
  const std::uint8_t* bytes() const { return data_.data(); }

 private:
  Device9* device_;  // not owned
  std::vector<std::uint8_t> data_;
  GLuint buffer_ = 0;
  UINT lockCount_ = 0;
  UINT dirtyBegin_ = 0, dirtyEnd_ = 0;  // bytes written under the current locks
};
