// Hands a ComOwner to a call that returns a new reference through a T** argument:
// call(..., Out(owner)) leaves the owner holding what the call made (or null), so a
// test never releases by hand.
#pragma once

#include "platform/os/ComOwner.h"

template <class T>
class ComOut {
 public:
  explicit ComOut(ComOwner<T>& owner) : owner_(owner) {}
  ~ComOut() { owner_.reset(raw_); }
  ComOut(const ComOut&) = delete;
  ComOut& operator=(const ComOut&) = delete;
  operator T**() { return &raw_; }

 private:
  ComOwner<T>& owner_;
  T* raw_ = nullptr;
};

template <class T>
ComOut<T> Out(ComOwner<T>& owner) {
  return ComOut<T>(owner);
}
