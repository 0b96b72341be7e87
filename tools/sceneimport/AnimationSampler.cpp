#include "tools/sceneimport/AnimationSampler.h"

#include <algorithm>

namespace sceneimport {
namespace {

// The value (not the tangents) of key k.
const float* KeyValue(const ImportChannel& c, std::size_t k) {
  std::size_t w = static_cast<std::size_t>(c.width);
  if (c.interpolation == Interpolation::CubicSpline) return &c.values[(3 * k + 1) * w];
  return &c.values[k * w];
}

std::vector<float> Copy(const ImportChannel& c, std::size_t k) {
  const float* v = KeyValue(c, k);
  return std::vector<float>(v, v + c.width);
}

void NormalizeRotation(const ImportChannel& c, std::vector<float>* v) {
  if (c.path != ChannelPath::Rotation) return;
  Quat q = Normalized(Quat{(*v)[0], (*v)[1], (*v)[2], (*v)[3]});
  *v = {q.x, q.y, q.z, q.w};
}

}  // namespace

std::vector<float> SampleChannel(const ImportChannel& c, float t) {
  const std::size_t n = c.times.size();
  std::vector<float> out;
  if (n == 0) return out;
  if (!(t > c.times.front())) out = Copy(c, 0);
  else if (!(t < c.times.back())) out = Copy(c, n - 1);
  if (!out.empty()) {
    NormalizeRotation(c, &out);
    return out;
  }
  std::size_t k1 = static_cast<std::size_t>(std::upper_bound(c.times.begin(), c.times.end(), t) - c.times.begin());
  std::size_t k0 = k1 - 1;
  float dt = c.times[k1] - c.times[k0];
  float f = dt > 0 ? (t - c.times[k0]) / dt : 0;
  const std::size_t w = static_cast<std::size_t>(c.width);
  switch (c.interpolation) {
    case Interpolation::Step:
      out = Copy(c, k0);
      break;
    case Interpolation::Linear: {
      const float* a = KeyValue(c, k0);
      const float* b = KeyValue(c, k1);
      if (c.path == ChannelPath::Rotation) {
        Quat q = Slerp(Quat{a[0], a[1], a[2], a[3]}, Quat{b[0], b[1], b[2], b[3]}, f);
        out = {q.x, q.y, q.z, q.w};
      } else {
        out.resize(w);
        for (std::size_t i = 0; i < w; ++i) out[i] = a[i] + (b[i] - a[i]) * f;
      }
      break;
    }
    case Interpolation::CubicSpline: {
      // Key k holds in-tangent, value, out-tangent; tangents are per second.
      const float* p0 = &c.values[(3 * k0 + 1) * w];
      const float* m0 = &c.values[(3 * k0 + 2) * w];
      const float* p1 = &c.values[(3 * k1 + 1) * w];
      const float* m1 = &c.values[(3 * k1 + 0) * w];
      float f2 = f * f, f3 = f2 * f;
      float h00 = 2 * f3 - 3 * f2 + 1, h10 = f3 - 2 * f2 + f, h01 = -2 * f3 + 3 * f2, h11 = f3 - f2;
      out.resize(w);
      for (std::size_t i = 0; i < w; ++i)
        out[i] = h00 * p0[i] + h10 * dt * m0[i] + h01 * p1[i] + h11 * dt * m1[i];
      break;
    }
  }
  NormalizeRotation(c, &out);
  return out;
}

}  // namespace sceneimport
