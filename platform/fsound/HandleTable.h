// Objects named by the 32-bit handles that the sound library's file callbacks
// pass around (a pointer does not fit). A handle is never 0: its low 16 bits are
// the slot + 1 and its high 16 bits count the slot's reuses (modulo 65536), so a
// closed handle finds nothing even after its slot serves another file, and an
// unknown one finds nothing at all. The table does not own the objects: Remove
// hands one back for its owner to close. Any thread; the table locks itself, and
// an object found is used by one stream at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

template <class T>
class HandleTable {
 public:
  static constexpr std::size_t kMaxOpen = 0xFFFF;

  // A new handle for `object`; 0 for a null object or when kMaxOpen are open.
  unsigned int Add(T* object) {
    if (!object) return 0;
    std::lock_guard<std::mutex> hold(lock_);
    std::size_t index = 0;
    while (index < slots_.size() && slots_[index].object) ++index;
    if (index == kMaxOpen) return 0;
    if (index == slots_.size()) slots_.emplace_back();
    slots_[index].object = object;
    return static_cast<unsigned int>(slots_[index].reuses) << 16 |
           static_cast<unsigned int>(index + 1);
  }

  // The object of a live handle; null for 0, a closed handle or one never given.
  T* Find(unsigned int handle) const {
    std::lock_guard<std::mutex> hold(lock_);
    const Slot* slot = Live(handle);
    return slot ? slot->object : nullptr;
  }

  // Takes the object out of the table; null when the handle is not live.
  T* Remove(unsigned int handle) {
    std::lock_guard<std::mutex> hold(lock_);
    Slot* slot = const_cast<Slot*>(Live(handle));
    if (!slot) return nullptr;
    T* object = slot->object;
    slot->object = nullptr;
    ++slot->reuses;
    return object;
  }

  std::size_t Count() const {
    std::lock_guard<std::mutex> hold(lock_);
    std::size_t open = 0;
    for (const Slot& slot : slots_) open += slot.object != nullptr;
    return open;
  }

 private:
  struct Slot {
    T* object = nullptr;
    std::uint16_t reuses = 0;
  };

  const Slot* Live(unsigned int handle) const {
    const std::size_t index = (handle & 0xFFFFu) - std::size_t{1};
    if ((handle & 0xFFFFu) == 0 || index >= slots_.size()) return nullptr;
    const Slot& slot = slots_[index];
    return slot.object && slot.reuses == handle >> 16 ? &slot : nullptr;
  }

  mutable std::mutex lock_;
  std::vector<Slot> slots_;
};
