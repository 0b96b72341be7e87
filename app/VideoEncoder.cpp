#include "app/VideoEncoder.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace {

constexpr std::size_t kVideoDepth = 3;
constexpr std::size_t kAudioDepth = 600;  // frames of sound: small, and never the one waited on
constexpr int kAudioFd = 3;

// Moves a descriptor above the standard ones, closed on exec unless dup2'd.
int HighFd(int fd) {
  if (fd < 0) return fd;
  int high = fcntl(fd, F_DUPFD_CLOEXEC, 10);
  close(fd);
  return high;
}

}  // namespace

std::vector<std::string> VideoEncoder::Arguments(const std::string& path, int width, int height,
                                                 FrameRate fps, int audioFd) {
  return {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-n",
          "-f", "rawvideo", "-pix_fmt", "bgr0",
          "-video_size", std::to_string(width) + "x" + std::to_string(height),
          "-framerate", fps.text(), "-probesize", "32", "-analyzeduration", "0", "-i", "pipe:0",
          // Little probing: ffmpeg reads the inputs in turn, and the sound comes a
          // frame at a time after each picture.
          "-f", "s16le", "-ar", "44100", "-ac", "2", "-probesize", "32", "-analyzeduration", "0",
          "-i", "pipe:" + std::to_string(audioFd),
          "-map", "0:v", "-map", "1:a",
          // H.264 in yuv420p needs even dimensions: an odd edge gets one black line.
          "-vf", "pad=ceil(iw/2)*2:ceil(ih/2)*2",
          "-c:v", "libx264", "-preset", "veryfast", "-crf", "18", "-pix_fmt", "yuv420p",
          "-c:a", "aac", "-b:a", "192k", "-ac", "2", "-movflags", "+faststart",
          // "file:" keeps a colon in the name from being read as a protocol.
          "file:" + path};
}

VideoEncoder::VideoEncoder(std::string path, int width, int height, FrameRate fps)
    : path_(std::move(path)), width_(width), height_(height) {
  // A dead ffmpeg must fail our writes, not end the player.
  std::signal(SIGPIPE, SIG_IGN);
  int video[2] = {-1, -1}, audio[2] = {-1, -1};
  char logName[] = "/tmp/demo-ffmpeg-XXXXXX";
  logFd_ = HighFd(mkstemp(logName));
  if (logFd_ >= 0) unlink(logName);
  if (pipe(video) != 0 || pipe(audio) != 0 || logFd_ < 0) {
    fail(std::string("cannot make the pipes to ffmpeg: ") + std::strerror(errno));
    return;
  }
  int videoRead = HighFd(video[0]), audioRead = HighFd(audio[0]);
  video_.fd = HighFd(video[1]);
  audio_.fd = HighFd(audio[1]);
  video_.depth = kVideoDepth;
  audio_.depth = kAudioDepth;

  std::vector<std::string> words = Arguments(path_, width, height, fps, kAudioFd);
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, videoRead, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, logFd_, 2);
  posix_spawn_file_actions_adddup2(&actions, audioRead, kAudioFd);
  pid_t pid = 0;
  int spawned = posix_spawnp(&pid, "ffmpeg", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(videoRead);
  close(audioRead);
  if (spawned != 0) {
    fail(std::string("cannot start ffmpeg: ") + std::strerror(spawned));
    return;
  }
  pid_ = pid;
  video_.writer = std::thread([this] { writeLoop(video_); });
  audio_.writer = std::thread([this] { writeLoop(audio_); });
}

VideoEncoder::~VideoEncoder() { finish(); }

bool VideoEncoder::ok() const {
  std::lock_guard<std::mutex> guard(lock_);
  return !failed_;
}

std::string VideoEncoder::error() const {
  std::lock_guard<std::mutex> guard(lock_);
  return error_;
}

void VideoEncoder::fail(const std::string& why) {
  std::lock_guard<std::mutex> guard(lock_);
  if (!failed_) error_ = why;
  failed_ = true;
  changed_.notify_all();
}

std::vector<std::uint8_t> VideoEncoder::takeSpare(Stream& stream) {
  std::vector<std::uint8_t> buffer;
  if (!stream.spare.empty()) {
    buffer = std::move(stream.spare.back());
    stream.spare.pop_back();
  }
  return buffer;
}

bool VideoEncoder::add(const std::uint8_t* pixels, int pitch,
                       const std::vector<std::int16_t>& sound) {
  std::vector<std::uint8_t> picture, samples;
  {
    std::unique_lock<std::mutex> guard(lock_);
    if (failed_ || finished_ || pid_ < 0) return false;
    auto started = std::chrono::steady_clock::now();
    changed_.wait(guard, [&] {
      return failed_ || (video_.queue.size() < video_.depth && audio_.queue.size() < audio_.depth);
    });
    waitedMs_ += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                           started).count();
    if (failed_) return false;
    picture = takeSpare(video_);
    samples = takeSpare(audio_);
  }
  const std::size_t row = static_cast<std::size_t>(width_) * 4;
  picture.resize(row * static_cast<std::size_t>(height_));
  for (int y = 0; y < height_; ++y)
    std::memcpy(&picture[row * static_cast<std::size_t>(y)],
                pixels + static_cast<std::ptrdiff_t>(pitch) * y, row);
  samples.resize(sound.size() * sizeof(std::int16_t));
  if (!sound.empty()) std::memcpy(samples.data(), sound.data(), samples.size());
  std::lock_guard<std::mutex> guard(lock_);
  video_.queue.push_back(std::move(picture));
  audio_.queue.push_back(std::move(samples));
  changed_.notify_all();
  return true;
}

bool VideoEncoder::writeAll(int fd, const void* data, std::size_t bytes) {
  const char* p = static_cast<const char*>(data);
  while (bytes > 0) {
    ssize_t n = write(fd, p, bytes);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    bytes -= static_cast<std::size_t>(n);
  }
  return true;
}

void VideoEncoder::writeLoop(Stream& stream) {
  for (;;) {
    std::vector<std::uint8_t> buffer;
    bool dropping = false;  // after a failure the queue only drains
    {
      std::unique_lock<std::mutex> guard(lock_);
      changed_.wait(guard, [&] { return closing_ || !stream.queue.empty(); });
      if (stream.queue.empty()) break;
      buffer = std::move(stream.queue.front());
      stream.queue.pop_front();
      dropping = failed_;
    }
    const bool written = dropping || writeAll(stream.fd, buffer.data(), buffer.size());
    std::lock_guard<std::mutex> guard(lock_);
    if (!written && !failed_) {
      failed_ = true;
      error_ = "ffmpeg stopped reading";
    }
    stream.spare.push_back(std::move(buffer));
    changed_.notify_all();
  }
  // The end of this input: ffmpeg finishes it while the other may still flow.
  close(stream.fd);
  stream.fd = -1;
}

std::string VideoEncoder::ffmpegMessage() const {
  std::string text;
  if (logFd_ < 0 || lseek(logFd_, 0, SEEK_SET) != 0) return text;
  char buffer[4096];
  ssize_t n = 0;
  while (text.size() < 16384 && (n = read(logFd_, buffer, sizeof buffer)) > 0)
    text.append(buffer, static_cast<std::size_t>(n));
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

bool VideoEncoder::finish() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (finished_) return !failed_;
    finished_ = true;
    closing_ = true;
    changed_.notify_all();
  }
  for (Stream* stream : {&video_, &audio_}) {
    if (stream->writer.joinable()) stream->writer.join();
    if (stream->fd >= 0) close(stream->fd);
    stream->fd = -1;
  }
  bool made = false;
  if (pid_ > 0) {
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    made = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    pid_ = -1;
  }
  std::string said = ffmpegMessage();
  if (logFd_ >= 0) close(logFd_);
  logFd_ = -1;
  std::lock_guard<std::mutex> guard(lock_);
  if (!made) {
    if (!said.empty()) error_ = said;
    else if (error_.empty()) error_ = "ffmpeg could not make " + path_;
    failed_ = true;
  }
  return !failed_;
}
