#include "platform/fsound/Mp3Decoder.h"

#include <mpg123.h>
#include <sys/types.h>

#include <climits>
#include <cstdio>
#include <mutex>

namespace {

constexpr std::size_t kBytesPerFrame = 2 * sizeof(std::int16_t);

void InitLibrary() {
  static std::once_flag once;
  std::call_once(once, [] { mpg123_init(); });
}

}  // namespace

Mp3Decoder::Mp3Decoder(const FileCallbacks& files, unsigned int file) : files_(files), file_(file) {}

Mp3Decoder::~Mp3Decoder() {
  if (decoder_) {
    mpg123_close(decoder_);
    mpg123_delete(decoder_);
  }
  files_.close(file_);
}

std::unique_ptr<Mp3Decoder> Mp3Decoder::open(const char* name, const FileCallbacks& files,
                                             int& error) {
  InitLibrary();
  unsigned int file = files.open(name);
  if (file == 0) {
    error = FMOD_ERR_FILE_NOTFOUND;
    return nullptr;
  }
  std::unique_ptr<Mp3Decoder> d(new Mp3Decoder(files, file));
  int status = MPG123_OK;
  d->decoder_ = mpg123_new(nullptr, &status);
  if (!d->decoder_) {
    error = FMOD_ERR_MEMORY;
    return nullptr;
  }
  mpg123_handle* h = d->decoder_;
  // No resync: whatever follows damaged data is not trusted to be music.
  mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS | MPG123_NO_RESYNC, 0);
  // Every rate at its own speed (gapless trimming is exact only without mpg123's
  // resampling); mono comes out as two equal channels.
  mpg123_format_none(h);
  const long* rates = nullptr;
  std::size_t rateCount = 0;
  mpg123_rates(&rates, &rateCount);
  for (std::size_t i = 0; i < rateCount; ++i)
    mpg123_format(h, rates[i], MPG123_STEREO, MPG123_ENC_SIGNED_16);
  if (mpg123_replace_reader_handle(h, readThrough, seekThrough, nullptr) != MPG123_OK) {
    error = FMOD_ERR_MEMORY;
    return nullptr;
  }
  if (mpg123_open_handle(h, d.get()) != MPG123_OK) {
    error = FMOD_ERR_FILE_FORMAT;
    return nullptr;
  }
  long rate = 0;
  int channels = 0;
  int encoding = 0;
  // The scan measures the music to the sample and indexes it for seeking; it
  // stops at damage, which is where the music then ends.
  mpg123_scan(h);
  if (mpg123_getformat(h, &rate, &channels, &encoding) != MPG123_OK || rate <= 0 ||
      channels != 2 || encoding != MPG123_ENC_SIGNED_16) {
    error = FMOD_ERR_FILE_FORMAT;
    return nullptr;
  }
  off_t length = mpg123_length(h);
  if (length <= 0) {
    error = FMOD_ERR_FILE_FORMAT;
    return nullptr;
  }
  d->rate_ = rate;
  d->length_ = length;
  d->seek(0);
  return d;
}

std::size_t Mp3Decoder::read(std::int16_t* out, std::size_t frames) {
  std::size_t total = 0;
  int idle = 0;
  while (total < frames && !ended_) {
    std::size_t done = 0;
    int status = mpg123_read(decoder_, out + total * 2, (frames - total) * kBytesPerFrame, &done);
    total += done / kBytesPerFrame;
    if (status == MPG123_NEW_FORMAT) continue;
    if (status != MPG123_OK) {
      ended_ = true;  // the end, or damage
    } else if (done == 0 && ++idle > 2) {
      ended_ = true;  // no progress: never spin here
    }
  }
  position_ += static_cast<std::int64_t>(total);
  return total;
}

void Mp3Decoder::seek(std::int64_t frame) {
  if (frame < 0) frame = 0;
  if (frame > length_) frame = length_;
  off_t reached = mpg123_seek(decoder_, static_cast<off_t>(frame), SEEK_SET);
  ended_ = reached < 0;
  position_ = reached < 0 ? length_ : reached;
}

ssize_t Mp3Decoder::readThrough(void* self, void* buffer, std::size_t bytes) {
  auto* d = static_cast<Mp3Decoder*>(self);
  int size = bytes > INT_MAX ? INT_MAX : static_cast<int>(bytes);
  int got = d->files_.read(buffer, size, d->file_);
  return got < 0 ? -1 : got;
}

off_t Mp3Decoder::seekThrough(void* self, off_t offset, int whence) {
  auto* d = static_cast<Mp3Decoder*>(self);
  if (offset < INT_MIN || offset > INT_MAX) return -1;
  signed char mode = whence == SEEK_CUR ? 1 : whence == SEEK_END ? 2 : 0;
  if (d->files_.seek(d->file_, static_cast<int>(offset), mode) < 0) return -1;
  return d->files_.tell(d->file_);
}
