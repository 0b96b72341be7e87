#include "app/Capture.h"

#include <cstdio>
#include <filesystem>

#include "app/VideoMux.h"
#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/d3d9host.h"
#include "platform/d3dx/d3dx9.h"
#include "platform/os/oshost.h"

namespace fs = std::filesystem;

namespace {

double MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

std::string MinutesSeconds(double seconds) {
  if (!(seconds >= 0)) seconds = 0;
  auto s = static_cast<long long>(seconds + 0.5);
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld", s / 60, s % 60);
  return text;
}

}  // namespace

Capture::Capture(CaptureSettings settings) : settings_(std::move(settings)) {
  toVideo_ = !settings_.framesPng && FfmpegOnPath();
  if (settings_.video.empty()) settings_.video = settings_.directory + "/show.mp4";
  if (refuseExisting()) return;
  std::error_code error;
  fs::create_directories(settings_.directory, error);
  if (!fs::is_directory(settings_.directory, error)) {
    std::fprintf(stderr, "demo: cannot create the capture folder '%s'\n",
                 settings_.directory.c_str());
    return;
  }
  OsUseVirtualCounter(settings_.fps.num * 1000);
  sound_ = std::make_unique<CaptureSound>(settings_.directory, settings_.fps,
                                          toVideo_ ? std::string() : settings_.video);
  ready_ = true;
  done_ = settings_.maxFrames && *settings_.maxFrames <= 0;
  exitHandler_ = OsAddExitHandler([this] {
    detach();
    finish();
  });
}

Capture::~Capture() {
  if (exitHandler_) OsRemoveExitHandler(exitHandler_);
  detach();
  OsEndProgress();
}

bool Capture::refuseExisting() const {
  std::error_code error;
  std::vector<std::string> ours = {settings_.video};
  if (!toVideo_) ours.push_back(settings_.directory + "/audio.wav");
  for (const std::string& path : ours) {
    if (fs::exists(fs::symlink_status(path, error))) {
      std::fprintf(stderr,
                   "demo: %s is already there; a capture never overwrites a file it did not "
                   "write (remove it or capture into another folder)\n",
                   path.c_str());
      return true;
    }
  }
  if (toVideo_) return false;
  for (const auto& entry : fs::directory_iterator(settings_.directory, error)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("frame-", 0) == 0 && entry.path().extension() == ".png") {
      std::fprintf(stderr,
                   "demo: %s holds frame files already (%s); a capture never overwrites a file "
                   "it did not write (remove them or capture into another folder)\n",
                   settings_.directory.c_str(), name.c_str());
      return true;
    }
  }
  return false;
}

void Capture::attach(IDirect3DDevice9*) {
  started_ = lastPresent_ = Clock::now();
  D3D9SetPresentObserver([this](IDirect3DDevice9* device) { onPresent(device); });
}

void Capture::detach() {
  D3D9SetPresentObserver({});
  if (readback_) {
    readback_->Release();
    readback_ = nullptr;
  }
}

void Capture::skipFrame() {
  sound_->skip();
  ++index_;
  OsAdvanceVirtualCounter(settings_.fps.den * 1000);
}

void Capture::writeFrame(IDirect3DDevice9* device) {
  IDirect3DSurface9* backBuffer = nullptr;
  if (FAILED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer))) return;
  D3DSURFACE_DESC desc{};
  backBuffer->GetDesc(&desc);
  if (!readback_)
    device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM,
                                        &readback_, nullptr);
  auto started = Clock::now();
  const bool copied = readback_ && SUCCEEDED(device->GetRenderTargetData(backBuffer, readback_));
  backBuffer->Release();
  if (!toVideo_) {
    readbackMs_ += MsSince(started);
    char name[40];
    std::snprintf(name, sizeof name, "/frame-%06lld.png", static_cast<long long>(index_));
    std::string path = settings_.directory + name;
    started = Clock::now();
    if (copied &&
        SUCCEEDED(D3DXSaveSurfaceToFileA(path.c_str(), D3DXIFF_PNG, readback_, nullptr, nullptr))) {
      if (frames_++ == 0) firstWritten_ = index_;
    } else {
      std::fprintf(stderr, "demo: could not write %s\n", path.c_str());
    }
    encodeMs_ += MsSince(started);
    sound_->frame();
    return;
  }
  D3DLOCKED_RECT locked{};
  if (!copied || FAILED(readback_->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
    std::fprintf(stderr, "demo: could not read back frame %lld\n", static_cast<long long>(index_));
    sound_->frame();
    return;
  }
  readbackMs_ += MsSince(started);
  if (!encoder_)
    encoder_ = std::make_unique<VideoEncoder>(settings_.video, int(desc.Width), int(desc.Height),
                                              settings_.fps);
  started = Clock::now();
  const bool queued =
      encoder_->add(static_cast<const std::uint8_t*>(locked.pBits), locked.Pitch, sound_->frame());
  encodeMs_ += MsSince(started);
  readback_->UnlockRect();
  if (queued) {
    ++frames_;
  } else {
    failed_ = done_ = true;
  }
}

void Capture::onPresent(IDirect3DDevice9* device) {
  showMs_ += MsSince(lastPresent_);
  if (!done_) writeFrame(device);
  ++index_;
  if (settings_.maxFrames && static_cast<std::int64_t>(frames_) >= *settings_.maxFrames)
    done_ = true;
  OsAdvanceVirtualCounter(settings_.fps.den * 1000);
  lastPresent_ = Clock::now();
}

void Capture::progress(double scriptMs, double lengthMs) {
  // A terminal shows one line rewritten a few times a second; a log gets a whole
  // line every few seconds.
  const auto every = OsStandardErrorIsTerminal() ? std::chrono::milliseconds(250)
                                                 : std::chrono::milliseconds(5000);
  const auto now = Clock::now();
  if (progressShown_ && now - lastProgress_ < every) return;
  lastProgress_ = now;
  progressShown_ = true;
  const double wall = MsSince(started_) / 1000.0;
  const double fps = wall > 0 ? static_cast<double>(frames_) / wall : 0;
  // Left: what remains of the show at the pace of the show's seconds per wall second.
  double left = 0;
  if (settings_.maxFrames && fps > 0)
    left = static_cast<double>(*settings_.maxFrames - static_cast<std::int64_t>(frames_)) / fps;
  else if (fps > 0 && lengthMs > scriptMs)
    left = (lengthMs - scriptMs) / 1000.0 * settings_.fps.perSecond() / fps;
  char text[160];
  std::snprintf(text, sizeof text, "demo: frame %llu, %.1f s of %.1f s, %.1f fps, %s left",
                static_cast<unsigned long long>(frames_), scriptMs / 1000.0, lengthMs / 1000.0,
                fps, MinutesSeconds(left).c_str());
  OsShowProgress(text);
}

void Capture::finish() {
  if (finished_) return;
  finished_ = true;
  OsEndProgress();
  if (encoder_ && !encoder_->finish()) {
    failed_ = true;
    std::fprintf(stderr, "demo: ffmpeg failed after %llu frames: %s\n",
                 static_cast<unsigned long long>(frames_), encoder_->error().c_str());
  }
  const double n = frames_ > 0 ? static_cast<double>(frames_) : 1;
  std::fprintf(stderr,
               "demo: captured %llu frames at %s fps into %s (per frame: %.2f ms show and "
               "rendering, %.2f ms reading back, %.2f ms %s)\n",
               static_cast<unsigned long long>(frames_), settings_.fps.text().c_str(),
               toVideo_ ? settings_.video.c_str() : settings_.directory.c_str(), showMs_ / n,
               readbackMs_ / n, encodeMs_ / n,
               toVideo_ ? "handing to the encoder" : "encoding PNG");
  if (sound_) sound_->finish(toVideo_ ? 0 : frames_, firstWritten_);
}
