#include "app/CaptureSound.h"

#include <cstdio>

#include "app/VideoMux.h"
#include "platform/fsound/fsoundhost.h"

CaptureSound::CaptureSound(const std::string& directory, FrameRate fps, std::string video)
    : directory_(directory), fps_(fps), video_(std::move(video)) {
  FSoundHostSetOutput(FSoundHostOutput::Offline);
  if (video_.empty()) return;
  wav_ = std::make_unique<WavWriter>(directory + "/audio.wav", kFSoundMixRate);
  if (!wav_->ok())
    std::fprintf(stderr, "demo: cannot write %s/audio.wav; the capture has no sound\n",
                 directory_.c_str());
}

CaptureSound::~CaptureSound() { FSoundHostSetOutput(FSoundHostOutput::Requested); }

void CaptureSound::mix() {
  const auto rate = static_cast<std::uint64_t>(kFSoundMixRate);
  const auto num = static_cast<std::uint64_t>(fps_.num), den = static_cast<std::uint64_t>(fps_.den);
  const std::uint64_t first = frame_ * rate * den / num;
  const std::uint64_t end = (frame_ + 1) * rate * den / num;
  ++frame_;
  mix_.resize(static_cast<std::size_t>(end - first) * 2);
  // Before the sound system starts and after it closes this is silence.
  FSoundHostRender(mix_.data(), mix_.size() / 2);
}

const std::vector<std::int16_t>& CaptureSound::frame() {
  mix();
  if (wav_ && wav_->ok() && !wav_->append(mix_.data(), mix_.size() / 2) && !reported_) {
    std::fprintf(stderr, "demo: could not write %s/audio.wav\n", directory_.c_str());
    reported_ = true;
  }
  return mix_;
}

void CaptureSound::skip() { mix(); }

void CaptureSound::finish(std::uint64_t frames, std::int64_t firstFrame) {
  if (frames == 0 || !wav_ || !wav_->ok()) return;
  wav_.reset();
  switch (MuxShowVideo(directory_, fps_, video_, firstFrame)) {
    case MuxResult::Done:
      std::fprintf(stderr, "demo: muxed the frames and audio.wav into %s\n", video_.c_str());
      break;
    case MuxResult::NoFfmpeg:
      std::fprintf(stderr, "demo: ffmpeg is not installed; to make a video of the show run\n  %s\n",
                   MuxCommandLine(directory_, fps_, video_, firstFrame).c_str());
      break;
    case MuxResult::Failed:
      std::fprintf(stderr, "demo: ffmpeg could not make %s; the command was\n  %s\n",
                   video_.c_str(), MuxCommandLine(directory_, fps_, video_, firstFrame).c_str());
      break;
  }
}
