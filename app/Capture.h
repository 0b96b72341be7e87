// Capture runs: the clock becomes virtual and advances exactly one frame
// (1000 * den / num ms) at each Present, and every presented frame is written
// out with the music of that frame: straight to a video through one ffmpeg
// process when ffmpeg is on the path, otherwise (or with frame files asked for)
// as DIR/frame-NNNNNN.png and DIR/audio.wav, muxed at the end when ffmpeg exists.
// Deterministic: the same show gives the same frames and sound. Files that are
// already there are never overwritten: such a run is refused before it starts.
// Create it before the script player, whose sound system must find the offline
// output chosen.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/CaptureSound.h"
#include "app/FrameRate.h"
#include "app/VideoEncoder.h"

struct IDirect3DDevice9;
struct IDirect3DSurface9;

struct CaptureSettings {
  std::string directory;                 // absolute
  FrameRate fps;
  bool framesPng = false;                // frame files even when ffmpeg exists
  std::string video;                     // absolute; empty: DIR/show.mp4
  std::optional<std::int64_t> maxFrames;  // stop after writing this many
};

class Capture {
 public:
  // Checks the folder holds nothing the run would overwrite, creates it and
  // switches the performance counter to virtual time; ready() tells.
  explicit Capture(CaptureSettings settings);
  ~Capture();
  Capture(const Capture&) = delete;
  Capture& operator=(const Capture&) = delete;

  bool ready() const { return ready_; }
  bool toVideo() const { return toVideo_; }
  // Starts writing a frame at every Present of `device` (lent).
  void attach(IDirect3DDevice9* device);
  void detach();
  // One frame stepped over without presenting (a start later than 0): the clock
  // and the music move on, the frame numbers too.
  void skipFrame();
  std::int64_t frameIndex() const { return index_; }
  // True once the run should end: the frames asked for are written, or the
  // output failed.
  bool done() const { return done_; }
  bool failed() const { return failed_; }
  // The progress line on standard error (at most a few times a second).
  void progress(double scriptMs, double lengthMs);
  // After shutdown: closes the outputs and reports what was written. Also run
  // when a fatal error ends the show, so the files are whole. Once only.
  void finish();

  std::uint64_t framesWritten() const { return frames_; }

 private:
  void onPresent(IDirect3DDevice9* device);
  bool refuseExisting() const;
  void writeFrame(IDirect3DDevice9* device);

  CaptureSettings settings_;
  bool ready_ = false;
  bool toVideo_ = false;
  bool done_ = false;
  bool failed_ = false;
  std::uint64_t frames_ = 0;
  std::int64_t index_ = 0;  // number of the next frame
  std::int64_t firstWritten_ = 0;  // number of the first frame file written
  IDirect3DSurface9* readback_ = nullptr;  // system-memory copy of the back buffer, owned
  std::unique_ptr<CaptureSound> sound_;
  std::unique_ptr<VideoEncoder> encoder_;

  // Where the time of a frame goes, for the report.
  using Clock = std::chrono::steady_clock;
  Clock::time_point started_{}, lastPresent_{}, lastProgress_{};
  double showMs_ = 0, readbackMs_ = 0, encodeMs_ = 0;
  bool progressShown_ = false;
  bool finished_ = false;
  int exitHandler_ = 0;  // finishes the capture on an ordinary exit
};
