#include "platform/d3d9/GlBufferStorage.h"

#include <algorithm>

#include "platform/d3d9/Device9.h"
#include "platform/d3d9/ErrorReport.h"

GlBufferStorage::GlBufferStorage(Device9* device, UINT length, bool dynamic, bool indices)
    : device_(device), data_(length, 0) {
  device_->Activate();
  glGenBuffers(1, &buffer_);
  // WebGL fixes a buffer's kind at its first binding, a copy binding included, and an
  // index buffer must be of the element kind: it is bound there first.
  if (indices) device_->gl().BindElementBuffer(buffer_);
  glBindBuffer(GL_COPY_WRITE_BUFFER, buffer_);
  glBufferData(GL_COPY_WRITE_BUFFER, length, data_.data(),
               dynamic ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
}

GlBufferStorage::~GlBufferStorage() {
  device_->gl().ForgetBuffer(buffer_);
  glDeleteBuffers(1, &buffer_);
}

HRESULT GlBufferStorage::Lock(const char* what, UINT offset, UINT size, void** data,
                              DWORD flags) {
  if (!data) return ReportInvalidCall("%s Lock: null pointer", what);
  *data = nullptr;
  UINT total = this->size();
  if (offset > total || size > total - offset)
    return ReportInvalidCall("%s Lock: range %u+%u outside %u bytes", what, offset, size, total);
  UINT end = size == 0 ? total : offset + size;
  if (!(flags & D3DLOCK_READONLY)) {
    if (lockCount_ == 0 || dirtyBegin_ == dirtyEnd_) {
      dirtyBegin_ = offset;
      dirtyEnd_ = end;
    } else {
      dirtyBegin_ = std::min(dirtyBegin_, offset);
      dirtyEnd_ = std::max(dirtyEnd_, end);
    }
  }
  ++lockCount_;
  *data = data_.data() + offset;
  return D3D_OK;
}

HRESULT GlBufferStorage::Unlock(const char* what, bool* uploaded) {
  *uploaded = false;
  if (lockCount_ == 0) return ReportInvalidCall("%s Unlock: not locked", what);
  if (--lockCount_ > 0) return D3D_OK;
  if (dirtyEnd_ > dirtyBegin_) {
    device_->Activate();
    glBindBuffer(GL_COPY_WRITE_BUFFER, buffer_);
    glBufferSubData(GL_COPY_WRITE_BUFFER, dirtyBegin_, dirtyEnd_ - dirtyBegin_,
                    data_.data() + dirtyBegin_);
    *uploaded = true;
  }
  dirtyBegin_ = dirtyEnd_ = 0;
  return D3D_OK;
}
