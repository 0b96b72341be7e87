// Files for the sound layer's tests: named byte strings served through the five
// FSOUND file callbacks, with a count of every call.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "platform/fsound/fmod.h"
#include "support/SoundTestSupport.h"

class TestFiles {
 public:
  static TestFiles& get() {
    static TestFiles files;
    return files;
  }
  void add(const std::string& name, std::string bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    contents_[name] = std::move(bytes);
  }
  void reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    contents_.clear();
    open_.clear();
    opens = closes = reads = seeks = tells = 0;
  }
  void install() {
    FSOUND_File_SetCallbacks(&Open, &Close, &Read, &Seek, &Tell);
  }
  int openCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(open_.size());
  }

  std::atomic<int> opens = 0, closes = 0, reads = 0, seeks = 0, tells = 0;

 private:
  struct Handle {
    const std::string* data;
    long position;
  };
  static unsigned int Open(const char* name) {
    TestFiles& f = get();
    std::lock_guard<std::mutex> lock(f.mutex_);
    ++f.opens;
    auto it = f.contents_.find(name);
    if (it == f.contents_.end()) return 0;
    unsigned int handle = f.nextHandle_++;
    f.open_[handle] = Handle{&it->second, 0};
    return handle;
  }
  static void Close(unsigned int handle) {
    TestFiles& f = get();
    std::lock_guard<std::mutex> lock(f.mutex_);
    ++f.closes;
    f.open_.erase(handle);
  }
  static int Read(void* buffer, int size, unsigned int handle) {
    TestFiles& f = get();
    std::lock_guard<std::mutex> lock(f.mutex_);
    ++f.reads;
    auto it = f.open_.find(handle);
    if (it == f.open_.end() || size <= 0) return 0;
    Handle& h = it->second;
    long left = static_cast<long>(h.data->size()) - h.position;
    long n = size < left ? size : left;
    h.data->copy(static_cast<char*>(buffer), static_cast<std::size_t>(n),
                 static_cast<std::size_t>(h.position));
    h.position += n;
    return static_cast<int>(n);
  }
  static int Seek(unsigned int handle, int pos, signed char mode) {
    TestFiles& f = get();
    std::lock_guard<std::mutex> lock(f.mutex_);
    ++f.seeks;
    auto it = f.open_.find(handle);
    if (it == f.open_.end()) return 1;
    Handle& h = it->second;
    long size = static_cast<long>(h.data->size());
    long p = mode == 0 ? pos : mode == 1 ? h.position + pos : mode == 2 ? size + pos : h.position;
    h.position = p < 0 ? 0 : p > size ? size : p;
    return 0;
  }
  static int Tell(unsigned int handle) {
    TestFiles& f = get();
    std::lock_guard<std::mutex> lock(f.mutex_);
    ++f.tells;
    auto it = f.open_.find(handle);
    return it == f.open_.end() ? -1 : static_cast<int>(it->second.position);
  }

  std::mutex mutex_;
  std::map<std::string, std::string> contents_;
  std::map<unsigned int, Handle> open_;
  unsigned int nextHandle_ = 1;
};

inline std::string ReadMusic(const std::string& name) {
  return sound_test::ReadBytes(sound_test::MusicPath(name));
}
