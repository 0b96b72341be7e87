// One Flash movie in a slot: the movie file (from the disk, or written out of the
// archive for the control to read and then deleted) loaded into a Shockwave
// Flash control in a hidden pop-up window of its own, and configured by the
// script. Nothing draws it or plays it. A movie that is neither on disk nor in
// the archive is fatal; a control property that reports failure is reported on
// standard error and the show goes on. Entry thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "media/CAxFlashWindow.h"

struct IDirect3DDevice9;

class FlashPlayer {
 public:
  // `device` is lent, not owned. `width` and `height` size the host window in
  // pixels. Needs the hosting library initialised (AtlAxWinInit).
  FlashPlayer(IDirect3DDevice9* device, std::uint32_t width, std::uint32_t height,
              const char* fileName);
  virtual ~FlashPlayer();
  FlashPlayer(const FlashPlayer&) = delete;
  FlashPlayer& operator=(const FlashPlayer&) = delete;

  // The control's Quality property.
  void setQuality(std::int32_t value);
  // 1 sets the control's background to black; other values do nothing.
  void setMode(std::int32_t value);

  // The host window with its control (for inspection).
  const CAxFlashWindow& flashWindow() const { return *window; }

 private:
  void check(HRESULT result, const char* property) const;

  // What the movie was made for; kept though nothing draws the movie to read them.
  [[maybe_unused]] std::uint32_t width;
  [[maybe_unused]] std::uint32_t height;
  std::unique_ptr<CAxFlashWindow> window;   // owned
  [[maybe_unused]] IDirect3DDevice9* device;  // not owned
  std::string fileName;                    // for reports
};

// The path the control is given for movie `fileName`: the name itself when its
// second character is ":", otherwise `currentDirectory`, a "/" unless it already
// ends in "\" or "/", and the name. An empty directory leaves the name as it is.
std::string FlashMoviePath(const std::string& currentDirectory, const std::string& fileName);
