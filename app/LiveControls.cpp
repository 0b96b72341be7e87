// Seeking, pausing, restarting and reloading a show while it plays. Items only
// move forward, so going back builds a fresh script player and steps it from the
// start on the virtual clock; the old one is kept until the new one exists (the
// sound system stays open and a failed reload leaves the show as it was).
#include <cstdio>
#include <optional>

#include "app/Shell.h"
#include "media/MP3Player.h"
#include "platform/fsound/fmod.h"
#include "platform/os/oshost.h"

namespace {

// What ExitProcess throws while a reload runs.
struct EndDuringReload {
  UINT status;
};

}  // namespace

void Shell::Replace(std::unique_ptr<Scripter> fresh) {
  std::unique_ptr<Scripter> old = std::move(scripter);
  scripter = std::move(fresh);
  if (old && old->currentMusic) old->currentMusic->stop();
  old.reset();
}

bool Shell::StepShow(Scripter& player, double from, double target) {
  const FrameRate& rate = frameStep;
  bool ended = false;
  for (std::int64_t k = rate.firstFrameAt(from); !ended && double(rate.frameMs(k)) < target; ++k) {
    clock.simulate(static_cast<double>(rate.frameMs(k)));
    ended = player.update(false);
  }
  clock.simulate(std::nullopt);
  clock.set(target, RawMilliseconds());
  return !ended;
}

void Shell::SyncMusic(double now) {
  if (!scripter) return;
  Scripter& s = *scripter;
  MP3Player* music = s.currentMusic;
  if (!music || !music->playing) return;
  double position = s.musicStartPosition + (now - s.musicStartClock);
  if (position < 0) position = 0;
  if (position > 2.0e9) position = 2.0e9;
  FSOUND_Stream_SetTime(music->stream, static_cast<int>(position));
  FSOUND_SetPaused(music->channel, clock.paused() ? 1 : 0);
}

bool Shell::SeekShow(double target) {
  if (!scripter) return false;
  if (target < 0) target = 0;
  const double now = GetTime();
  bool going = true;
  if (target < now) {
    std::unique_ptr<Scripter> fresh = NewScripter();
    going = StepShow(*fresh, 0, target);
    Replace(std::move(fresh));
  } else {
    // The frame at `now` has run: step from the one after it.
    going = StepShow(*scripter, now + 0.001, target);
  }
  SyncMusic(target);
  return going;
}

void Shell::TogglePause() {
  const std::uint32_t raw = RawMilliseconds();
  if (clock.paused())
    clock.resume(raw);
  else
    clock.pause(raw);
  if (scripter && scripter->currentMusic && scripter->currentMusic->playing)
    FSOUND_SetPaused(scripter->currentMusic->channel, clock.paused() ? 1 : 0);
}

void Shell::RestartShow() {
  std::unique_ptr<Scripter> fresh = NewScripter();
  Replace(std::move(fresh));
  clock.set(0, RawMilliseconds());
}

bool Shell::ReloadShow() {
  if (!scripter) return false;
  const double now = GetTime();
  const std::size_t boxes = OsShownMessageBoxes().size();
  OsSetMessageBoxHandler([](const OsMessageBoxRecord&) { return IDOK; });
  OsSetExitHandler([](UINT status) { throw EndDuringReload{status}; });
  std::unique_ptr<Scripter> fresh;
  bool loaded = false;
  try {
    fresh = NewScripter();
    StepShow(*fresh, 0, now);
    loaded = true;
  } catch (const EndDuringReload&) {
  }
  OsSetExitHandler(nullptr);
  OsSetMessageBoxHandler(nullptr);
  if (!loaded) {
    fresh.reset();
    clock.simulate(std::nullopt);
    clock.set(now, RawMilliseconds());
    std::string why = "the show could not be read";
    if (OsShownMessageBoxes().size() > boxes) {
      const OsMessageBoxRecord& box = OsShownMessageBoxes().back();
      why = box.caption + ": " + box.text;
    }
    std::fprintf(stderr, "demo: reload failed (%s); the show goes on as it was\n", why.c_str());
    return false;
  }
  Replace(std::move(fresh));
  SyncMusic(now);
  std::fprintf(stderr, "demo: reloaded the show at %.3f s\n", now / 1000.0);
  return true;
}

void Shell::HandleShowKey(WPARAM key) {
  if (!liveControls || !scripter) return;
  const double now = GetTime();
  bool going = true;
  switch (key) {
    case VK_SPACE: TogglePause(); break;
    case VK_LEFT: going = SeekShow(now - 5000); break;
    case VK_RIGHT: going = SeekShow(now + 5000); break;
    case VK_PRIOR: going = SeekShow(now - 30000); break;
    case VK_NEXT: going = SeekShow(now + 30000); break;
    case VK_HOME: RestartShow(); break;
    case 'R': ReloadShow(); break;
    default: break;
  }
  if (!going) showEnded_ = true;
}
