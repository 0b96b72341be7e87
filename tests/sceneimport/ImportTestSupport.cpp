#include "sceneimport/ImportTestSupport.h"

CubeData Cube(float h) {
  CubeData c;
  // Each face: normal axis, and two in-plane axes u, v with u x v = normal.
  const int faces[6][3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1}, {0, 2, 1}, {1, 0, 2}, {2, 1, 0}};
  for (int f = 0; f < 6; ++f) {
    int n = faces[f][0], u = faces[f][1], v = faces[f][2];
    float sign = f < 3 ? 1.0f : -1.0f;
    std::uint32_t base = static_cast<std::uint32_t>(c.positions.size() / 3);
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (const auto& corner : corners) {
      float p[3];
      p[n] = sign * h;
      p[u] = corner[0] * h;
      p[v] = corner[1] * h;
      c.positions.insert(c.positions.end(), {p[0], p[1], p[2]});
    }
    c.indices.insert(c.indices.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
  }
  return c;
}
