#include "platform/flash/ShockwaveFlashControl.h"

#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>
#include <new>

namespace {

// The whole file, or none when it is not a plain file (a folder, a device or a
// pipe that might never end), cannot be read, or would not fit a movie's 32-bit
// length.
std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& name) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(name, error)) return std::nullopt;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(name.c_str(), "rb"),
                                                        &std::fclose);
  if (!file) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[64 * 1024];
  for (;;) {
    const std::size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
    if (bytes.size() + got > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
    bytes.insert(bytes.end(), chunk, chunk + got);
    if (got < sizeof chunk) break;
  }
  if (std::ferror(file.get())) return std::nullopt;
  return bytes;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// The ANSI conversion takes bytes that are not UTF-8 as Latin-1; this gives such a
// name's bytes back, or none when the path holds characters beyond Latin-1.
std::optional<std::string> Latin1FileName(const std::u16string& path) {
  std::string out;
  for (char16_t c : path) {
    if (c > 0xFF) return std::nullopt;
    out += static_cast<char>(c);
  }
  return out;
}

}  // namespace

std::string FlashPathToFileName(const std::u16string& path) {
  std::string out;
  for (std::size_t i = 0; i < path.size(); ++i) {
    char32_t cp = path[i];
    const bool high = cp >= 0xD800 && cp <= 0xDBFF;
    if (high && i + 1 < path.size() && path[i + 1] >= 0xDC00 && path[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (path[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;  // a lone surrogate names no file
    }
    AppendUtf8(out, cp);
  }
  return out;
}

HRESULT ShockwaveFlashControl::Create(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  auto* control = new (std::nothrow) ShockwaveFlashControl();
  if (control == nullptr) return E_OUTOFMEMORY;
  const HRESULT hr = control->QueryInterface(iid, object);
  control->Release();  // the caller's reference, if any, keeps it
  return hr;
}

HRESULT ShockwaveFlashControl::QueryInterface(REFIID iid, void** object) {
  return ComQueryInterface<IShockwaveFlash>(this, iid, object, {IID_IUnknown, IID_IShockwaveFlash});
}

HRESULT ShockwaveFlashControl::get_Menu(VARIANT_BOOL* out) {
  if (out == nullptr) return E_POINTER;
  *out = menu ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT ShockwaveFlashControl::put_Menu(VARIANT_BOOL value) {
  menu = value != VARIANT_FALSE;
  return S_OK;
}

HRESULT ShockwaveFlashControl::get_BackgroundColor(LONG* out) {
  if (out == nullptr) return E_POINTER;
  *out = backgroundColor;
  return S_OK;
}

HRESULT ShockwaveFlashControl::put_BackgroundColor(LONG value) {
  if (value < -1 || value > 0xFFFFFF) return E_INVALIDARG;
  backgroundColor = value;
  return S_OK;
}

HRESULT ShockwaveFlashControl::get_Quality(int* out) {
  if (out == nullptr) return E_POINTER;
  *out = quality;
  return S_OK;
}

HRESULT ShockwaveFlashControl::put_Quality(int value) {
  if (value < kFlashQualityLow || value > kFlashQualityAutoHigh) return E_INVALIDARG;
  quality = value;
  return S_OK;
}

HRESULT ShockwaveFlashControl::get_Movie(BSTR* out) {
  if (out == nullptr) return E_POINTER;
  *out = SysAllocStringLen(moviePath.data(), static_cast<UINT>(moviePath.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT ShockwaveFlashControl::put_Movie(BSTR value) {
  std::u16string path = value ? std::u16string(value) : std::u16string();
  if (path.empty()) {
    moviePath.clear();
    movieHeader.reset();
    movieBytes.clear();
    return S_OK;
  }
  auto bytes = ReadFile(FlashPathToFileName(path));
  if (!bytes) {
    if (auto latin1 = Latin1FileName(path)) bytes = ReadFile(*latin1);
  }
  if (!bytes) return STG_E_FILENOTFOUND;
  auto header = ReadSwfHeader(*bytes);
  if (!header) return E_FAIL;
  moviePath = std::move(path);
  movieHeader = header;
  movieBytes = std::move(*bytes);
  return S_OK;
}

HRESULT ShockwaveFlashControl::get_Playing(VARIANT_BOOL* out) {
  if (out == nullptr) return E_POINTER;
  *out = playing ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT ShockwaveFlashControl::put_Playing(VARIANT_BOOL value) {
  playing = value != VARIANT_FALSE;
  return S_OK;
}

HRESULT ShockwaveFlashControl::get_TotalFrames(LONG* out) {
  if (out == nullptr) return E_POINTER;
  *out = movieHeader && movieHeader->frameFieldsRead ? movieHeader->frameCount : 0;
  return S_OK;
}
