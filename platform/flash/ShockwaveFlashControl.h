// Our stand-in for the Shockwave Flash control: keeps the properties the player
// sets and, when Movie is set, takes the movie file whole into memory after
// checking its header, so the file may go once the call returns. It neither plays
// nor draws. Reference counted; it deletes itself on its last Release. Entry
// thread only. Users reach it through CoCreateInstance or the control host.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/flash/SwfHeader.h"
#include "platform/flash/flash.h"

class ShockwaveFlashControl final : public ComObject<IShockwaveFlash> {
 public:
  // A new control, returned as interface `iid` with one reference.
  static HRESULT Create(REFIID iid, void** object);

  HRESULT QueryInterface(REFIID iid, void** object) override;

  HRESULT get_Menu(VARIANT_BOOL* menu) override;
  HRESULT put_Menu(VARIANT_BOOL menu) override;
  HRESULT get_BackgroundColor(LONG* color) override;
  HRESULT put_BackgroundColor(LONG color) override;
  HRESULT get_Quality(int* quality) override;
  HRESULT put_Quality(int quality) override;
  HRESULT get_Movie(BSTR* path) override;
  HRESULT put_Movie(BSTR path) override;
  HRESULT get_Playing(VARIANT_BOOL* playing) override;
  HRESULT put_Playing(VARIANT_BOOL playing) override;
  HRESULT get_TotalFrames(LONG* frames) override;

 private:
  ShockwaveFlashControl() = default;
  ~ShockwaveFlashControl() override = default;

  // The control's defaults before anyone sets them.
  bool menu = true;
  LONG backgroundColor = -1;
  int quality = 1;
  bool playing = true;
  std::u16string moviePath;
  std::optional<SwfHeader> movieHeader;
  std::vector<std::uint8_t> movieBytes;  // the movie file as read
};

// The narrow file name for a UTF-16 path: UTF-8, as this platform's file names are.
std::string FlashPathToFileName(const std::u16string& path);
