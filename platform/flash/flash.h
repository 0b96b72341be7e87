// The Shockwave Flash movie control as its users see it: the class identifier,
// and the IShockwaveFlash properties the player sets (Menu, BackgroundColor,
// Quality, Movie, Playing) with their readers, plus TotalFrames of the loaded
// movie. Every call returns a COM result code. The control is our own: setting
// Movie reads the file whole and checks that it is a movie; it does not play,
// draw or keep a clock. Not here: IDispatch, events, the other properties.
#pragma once

#include "platform/flash/objbase.h"

// {D27CDB6E-AE6D-11CF-96B8-444553540000}
inline constexpr CLSID CLSID_ShockwaveFlash{0xD27CDB6E, 0xAE6D, 0x11CF,
                                            {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// {D27CDB6C-AE6D-11CF-96B8-444553540000}
inline constexpr IID IID_IShockwaveFlash{0xD27CDB6C, 0xAE6D, 0x11CF,
                                         {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// Quality values: 0 low, 1 high, 2 automatic starting low, 3 automatic starting high.
constexpr int kFlashQualityLow = 0;
constexpr int kFlashQualityAutoHigh = 3;

struct IShockwaveFlash : IUnknown {
  // Any non-zero VARIANT_BOOL counts as true. Quality outside 0..3 and colours
  // other than -1 or 0xRRGGBB give E_INVALIDARG and change nothing. Readers give
  // E_POINTER for a null out pointer.
  virtual HRESULT get_Menu(VARIANT_BOOL* menu) = 0;
  virtual HRESULT put_Menu(VARIANT_BOOL menu) = 0;
  // 0xRRGGBB, or -1 for the movie's own background.
  virtual HRESULT get_BackgroundColor(LONG* color) = 0;
  virtual HRESULT put_BackgroundColor(LONG color) = 0;
  virtual HRESULT get_Quality(int* quality) = 0;
  virtual HRESULT put_Quality(int quality) = 0;
  // The file path of the movie as given (UTF-16). Setting it reads the file and
  // checks its header: STG_E_FILENOTFOUND when it cannot be read, E_FAIL when it
  // is not a movie; either leaves the previous movie loaded. An empty path
  // unloads. The reader returns a new BSTR the caller frees.
  virtual HRESULT get_Movie(BSTR* path) = 0;
  virtual HRESULT put_Movie(BSTR path) = 0;
  virtual HRESULT get_Playing(VARIANT_BOOL* playing) = 0;
  virtual HRESULT put_Playing(VARIANT_BOOL playing) = 0;
  // Frame count from the loaded movie's header; 0 when none is loaded or the
  // header's frame fields cannot be read (the LZMA-compressed form).
  virtual HRESULT get_TotalFrames(LONG* frames) = 0;

 protected:
  ~IShockwaveFlash() = default;
};
