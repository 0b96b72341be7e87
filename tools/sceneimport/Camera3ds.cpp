#include "tools/sceneimport/Camera3ds.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "tools/sceneimport/FileBytes.h"

namespace sceneimport {
namespace {

constexpr std::uint16_t kMain = 0x4D4D, kEditor = 0x3D3D, kObject = 0x4000, kCamera = 0x4700;
constexpr std::uint16_t kKeyframer = 0xB000, kCameraNode = 0xB003, kNodeHeader = 0xB010, kRollTrack = 0xB024;
constexpr std::size_t kMaxFileBytes = std::size_t{512} << 20;

struct Reader {
  const std::vector<char>& bytes;
  std::map<std::string, TargetCamera> cameras;

  std::uint16_t U16(std::size_t at) const {
    std::uint16_t v;
    std::memcpy(&v, bytes.data() + at, 2);
    return v;
  }
  std::uint32_t U32(std::size_t at) const {
    std::uint32_t v;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
  }
  float F32(std::size_t at) const {
    float v;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
  }

  // The chunks between `begin` and `end`; `name` is the enclosing object's.
  void Chunks(std::size_t begin, std::size_t end, const std::string& name, int depth) {
    if (depth > 8) return;
    for (std::size_t at = begin; at + 6 <= end;) {
      std::uint16_t id = U16(at);
      std::uint32_t length = U32(at + 2);
      if (length < 6 || length > end - at) return;
      std::size_t body = at + 6, stop = at + length;
      if (id == kMain || id == kEditor) {
        Chunks(body, stop, name, depth + 1);
      } else if (id == kObject) {
        std::size_t zero = body;
        while (zero < stop && bytes[zero] != '\0') ++zero;
        if (zero < stop) Chunks(zero + 1, stop, std::string(bytes.data() + body, zero - body), depth + 1);
      } else if (id == kKeyframer) {
        Chunks(body, stop, name, depth + 1);
      } else if (id == kCameraNode) {
        CameraNode(body, stop);
      } else if (id == kCamera && stop - body >= 32) {
        TargetCamera c;
        c.eye = {F32(body), F32(body + 4), F32(body + 8)};
        c.target = {F32(body + 12), F32(body + 16), F32(body + 20)};
        c.rollDegrees = F32(body + 24);
        cameras[name] = c;
      }
      at = stop;
    }
  }

  // A camera's key-framer node: its name, then its tracks; only the roll is kept.
  void CameraNode(std::size_t begin, std::size_t end) {
    std::string name;
    std::vector<RollKey> keys;
    for (std::size_t at = begin; at + 6 <= end;) {
      std::uint16_t id = U16(at);
      std::uint32_t length = U32(at + 2);
      if (length < 6 || length > end - at) return;
      std::size_t body = at + 6, stop = at + length;
      if (id == kNodeHeader) {
        std::size_t zero = body;
        while (zero < stop && bytes[zero] != '\0') ++zero;
        name.assign(bytes.data() + body, zero - body);
      } else if (id == kRollTrack && stop - body >= 14) {
        // Track flags, two unknown words, the key count; each key: its frame, which
        // spline parameters follow (one float per bit of five), then the roll.
        std::uint32_t count = U32(body + 10);
        std::size_t k = body + 14;
        for (std::uint32_t i = 0; i < count && k + 6 <= stop; ++i) {
          RollKey key;
          key.frame = U32(k);
          std::uint16_t spline = U16(k + 4);
          k += 6;
          for (int bit = 0; bit < 5; ++bit) k += (spline >> bit) & 1 ? 4 : 0;
          if (k + 4 > stop) break;
          key.degrees = F32(k);
          k += 4;
          if (keys.empty() || key.frame > keys.back().frame) keys.push_back(key);
        }
      }
      at = stop;
    }
    auto found = cameras.find(name);
    bool moves = false;
    for (const RollKey& key : keys) moves = moves || key.degrees != keys.front().degrees;
    if (found != cameras.end() && moves) found->second.rollKeys = std::move(keys);
  }
};

}  // namespace

std::map<std::string, TargetCamera> Read3dsCameras(const std::string& path) {
  std::vector<char> bytes = ReadFileBytes(path, 6, kMaxFileBytes);  // 6: one chunk header
  if (bytes.empty()) return {};
  Reader reader{bytes, {}};
  reader.Chunks(0, bytes.size(), "", 0);
  return std::move(reader.cameras);
}

}  // namespace sceneimport
