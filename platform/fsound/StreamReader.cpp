#include "platform/fsound/StreamReader.h"

namespace {
constexpr std::size_t kBlockFrames = 1152;
}

StreamReader::StreamReader(std::unique_ptr<Mp3Decoder> decoder, long mixRate)
    : decoder_(std::move(decoder)),
      sourceRate_(decoder_->rate()),
      mixRate_(mixRate),
      length_((decoder_->length() * mixRate + sourceRate_ - 1) / sourceRate_) {
  if (sourceRate_ != mixRate_) {
    block_.resize(kBlockFrames * 2);
    seek(0);
  }
}

std::size_t StreamReader::read(std::int16_t* out, std::size_t frames) {
  if (sourceRate_ == mixRate_) return decoder_->read(out, frames);
  std::size_t n = 0;
  while (n < frames && haveCurrent_ && position_ < length_) {
    for (int c = 0; c < 2; ++c) {
      std::int64_t a = current_[c];
      std::int64_t b = next_[c];
      out[2 * n + c] = static_cast<std::int16_t>(a + (b - a) * phase_ / mixRate_);
    }
    ++n;
    ++position_;
    phase_ += sourceRate_;
    while (phase_ >= mixRate_) {
      phase_ -= mixRate_;
      advance();
    }
  }
  return n;
}

void StreamReader::seek(std::int64_t frame) {
  if (frame < 0) frame = 0;
  if (frame > length_) frame = length_;
  if (sourceRate_ == mixRate_) {
    decoder_->seek(frame);
    return;
  }
  position_ = frame;
  std::int64_t source = frame * sourceRate_;
  phase_ = static_cast<long>(source % mixRate_);
  decoder_->seek(source / mixRate_);
  blockAt_ = blockEnd_ = 0;
  haveCurrent_ = pull(current_);
  haveNext_ = haveCurrent_ && pull(next_);
  if (!haveNext_) next_[0] = current_[0], next_[1] = current_[1];
}

bool StreamReader::pull(std::int16_t frame[2]) {
  if (blockAt_ == blockEnd_) {
    blockAt_ = 0;
    blockEnd_ = decoder_->read(block_.data(), kBlockFrames);
    if (blockEnd_ == 0) return false;
  }
  frame[0] = block_[2 * blockAt_];
  frame[1] = block_[2 * blockAt_ + 1];
  ++blockAt_;
  return true;
}

void StreamReader::advance() {
  current_[0] = next_[0];
  current_[1] = next_[1];
  haveCurrent_ = haveNext_;
  // Past the last source frame the final one is held for the interpolation.
  haveNext_ = haveCurrent_ && pull(next_);
  if (!haveNext_) next_[0] = current_[0], next_[1] = current_[1];
}
