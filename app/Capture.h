// Capture runs: the clock becomes virtual and advances exactly one frame
// (1000 / fps ms) at each Present, and every presented frame is written to the
// capture folder as frame-NNNNNN.png, with the music of that frame mixed into
// audio.wav; at the end both become show.mp4 when ffmpeg is installed.
// Deterministic: the same show gives the same frames and sound. Create it before
// the script player, whose sound system must find the offline output chosen.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/CaptureSound.h"

struct IDirect3DDevice9;
struct IDirect3DSurface9;

class Capture {
 public:
  // Creates the folder and switches the performance counter to virtual time.
  Capture(std::string directory, int fps);
  ~Capture();
  Capture(const Capture&) = delete;
  Capture& operator=(const Capture&) = delete;

  bool ready() const { return ready_; }
  // Starts writing a frame at every Present of `device` (lent).
  void attach(IDirect3DDevice9* device);
  void detach();
  // After shutdown: reports what was written.
  void finish();

  std::uint64_t framesWritten() const { return frames_; }

 private:
  void onPresent(IDirect3DDevice9* device);

  std::string directory_;
  int fps_;
  bool ready_ = false;
  std::uint64_t frames_ = 0;
  IDirect3DSurface9* readback_ = nullptr;  // system-memory copy of the back buffer, owned
  std::unique_ptr<CaptureSound> sound_;
};
