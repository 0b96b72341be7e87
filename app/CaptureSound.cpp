#include "app/CaptureSound.h"

#include <cstdio>
#include <vector>

#include "app/VideoMux.h"
#include "platform/fsound/fsoundhost.h"

CaptureSound::CaptureSound(const std::string& directory, int fps)
    : directory_(directory), fps_(fps > 0 ? fps : 1), wav_(directory + "/audio.wav", kFSoundMixRate) {
  FSoundHostSetOutput(FSoundHostOutput::Offline);
  if (!wav_.ok())
    std::fprintf(stderr, "demo: cannot write %s/audio.wav; the capture has no sound\n",
                 directory_.c_str());
}

CaptureSound::~CaptureSound() { FSoundHostSetOutput(FSoundHostOutput::Requested); }

void CaptureSound::frame() {
  const std::uint64_t first = frame_ * kFSoundMixRate / static_cast<std::uint64_t>(fps_);
  const std::uint64_t end = (frame_ + 1) * kFSoundMixRate / static_cast<std::uint64_t>(fps_);
  ++frame_;
  std::vector<std::int16_t> mix(static_cast<std::size_t>(end - first) * 2);
  // Before the sound system starts and after it closes this is silence.
  FSoundHostRender(mix.data(), mix.size() / 2);
  if (wav_.ok() && !wav_.append(mix.data(), mix.size() / 2) && !reported_) {
    std::fprintf(stderr, "demo: could not write %s/audio.wav\n", directory_.c_str());
    reported_ = true;
  }
}

void CaptureSound::finish(std::uint64_t frames) {
  if (frames == 0 || !wav_.ok()) return;
  switch (MuxShowVideo(directory_, fps_)) {
    case MuxResult::Done:
      std::fprintf(stderr, "demo: muxed the frames and audio.wav into %s/show.mp4\n",
                   directory_.c_str());
      break;
    case MuxResult::NoFfmpeg:
      std::fprintf(stderr, "demo: ffmpeg is not installed; to make a video of the show run\n  %s\n",
                   MuxCommandLine(directory_, fps_).c_str());
      break;
    case MuxResult::Failed:
      std::fprintf(stderr, "demo: ffmpeg could not make %s/show.mp4; the command was\n  %s\n",
                   directory_.c_str(), MuxCommandLine(directory_, fps_).c_str());
      break;
  }
}
