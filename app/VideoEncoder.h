// A capture straight to video: one ffmpeg process reads raw BGRA frames on its
// standard input and the mixed sound (16-bit stereo, 44.1 kHz) on a second pipe,
// and writes an MP4 with H.264 (yuv420p, dimensions made even) and AAC stereo.
// Frames are handed to a writer thread of our own, so the frame loop renders the
// next frame while ffmpeg takes this one and encodes in its own process. Entry
// thread for every call; the writer thread is internal.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/FrameRate.h"

class VideoEncoder {
 public:
  VideoEncoder(std::string path, int width, int height, FrameRate fps);
  // Finishes the video if finish was not called.
  ~VideoEncoder();
  VideoEncoder(const VideoEncoder&) = delete;
  VideoEncoder& operator=(const VideoEncoder&) = delete;

  // False when ffmpeg could not be started, or has failed since; error() says why.
  bool ok() const;
  std::string error() const;

  // Queues one frame (rows of `pitch` bytes, BGRA) and its sound; waits while
  // the queue is full. False once ffmpeg has failed.
  bool add(const std::uint8_t* pixels, int pitch, const std::vector<std::int16_t>& sound);
  // Ends the input and waits for ffmpeg; true when it wrote the file.
  bool finish();

  // Milliseconds the frame loop spent waiting for room in the queue.
  double waitedMs() const { return waitedMs_; }

  // The ffmpeg arguments, for the report and the tests.
  static std::vector<std::string> Arguments(const std::string& path, int width, int height,
                                            FrameRate fps, int audioFd);

 private:
  // A queue of buffers drained by its own writer thread into one pipe, so that
  // ffmpeg may read its two inputs in whatever order it likes.
  struct Stream {
    int fd = -1;
    std::size_t depth = 0;
    std::deque<std::vector<std::uint8_t>> queue;
    std::vector<std::vector<std::uint8_t>> spare;  // reused, so a frame costs no allocation
    std::thread writer;
  };
  void writeLoop(Stream& stream);
  std::vector<std::uint8_t> takeSpare(Stream& stream);
  bool writeAll(int fd, const void* data, std::size_t bytes);
  void fail(const std::string& why);
  std::string ffmpegMessage() const;

  std::string path_;
  int width_, height_;
  int logFd_ = -1;
  int pid_ = -1;
  bool finished_ = false;
  double waitedMs_ = 0;

  mutable std::mutex lock_;
  std::condition_variable changed_;
  Stream video_, audio_;
  bool closing_ = false;
  bool failed_ = false;
  std::string error_;
};
