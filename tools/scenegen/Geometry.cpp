#include "tools/scenegen/Geometry.h"

#include <cmath>

namespace {

Vec3 Sub(Vec3 a, Vec3 b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec3 Cross(Vec3 a, Vec3 b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
float Dot(Vec3 a, Vec3 b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Adds a triangle wound so that its face normal points along `outward`.
void Triangle(MeshData& mesh, std::uint32_t a, std::uint32_t b, std::uint32_t c, Vec3 outward) {
  Vec3 n = Cross(Sub(mesh.vertices[b].position, mesh.vertices[a].position),
                 Sub(mesh.vertices[c].position, mesh.vertices[a].position));
  if (Dot(n, outward) < 0) std::swap(b, c);
  mesh.indices.insert(mesh.indices.end(), {a, b, c});
}

std::uint32_t Vertex(MeshData& mesh, Vec3 position, Vec3 normal, float u, float v) {
  scenefile::Vertex vertex;
  vertex.position = position;
  vertex.normal = normal;
  vertex.uv0 = {u, v};
  vertex.uv1 = {u, v};
  mesh.vertices.push_back(vertex);
  return static_cast<std::uint32_t>(mesh.vertices.size() - 1);
}

// One quad: centre, outward normal and two half-extent axes.
void Quad(MeshData& mesh, Vec3 centre, Vec3 normal, Vec3 u, Vec3 v, float repeat) {
  auto corner = [&](float su, float sv) {
    return Vec3{centre[0] + su * u[0] + sv * v[0], centre[1] + su * u[1] + sv * v[1],
                centre[2] + su * u[2] + sv * v[2]};
  };
  std::uint32_t a = Vertex(mesh, corner(-1, -1), normal, 0, repeat);
  std::uint32_t b = Vertex(mesh, corner(1, -1), normal, repeat, repeat);
  std::uint32_t c = Vertex(mesh, corner(1, 1), normal, repeat, 0);
  std::uint32_t d = Vertex(mesh, corner(-1, 1), normal, 0, 0);
  Triangle(mesh, a, b, c, normal);
  Triangle(mesh, a, c, d, normal);
}

}  // namespace

MeshData MakeBox(Vec3 size) {
  MeshData mesh;
  const float x = size[0] / 2, y = size[1] / 2, z = size[2] / 2;
  Quad(mesh, {x, 0, 0}, {1, 0, 0}, {0, y, 0}, {0, 0, z}, 1);
  Quad(mesh, {-x, 0, 0}, {-1, 0, 0}, {0, -y, 0}, {0, 0, z}, 1);
  Quad(mesh, {0, y, 0}, {0, 1, 0}, {-x, 0, 0}, {0, 0, z}, 1);
  Quad(mesh, {0, -y, 0}, {0, -1, 0}, {x, 0, 0}, {0, 0, z}, 1);
  Quad(mesh, {0, 0, z}, {0, 0, 1}, {x, 0, 0}, {0, y, 0}, 1);
  Quad(mesh, {0, 0, -z}, {0, 0, -1}, {x, 0, 0}, {0, -y, 0}, 1);
  return mesh;
}

MeshData MakeSphere(float radius, int rings, int segments) {
  MeshData mesh;
  const float pi = 3.14159265f;
  for (int r = 0; r <= rings; ++r) {
    const float theta = pi * static_cast<float>(r) / static_cast<float>(rings);
    for (int s = 0; s <= segments; ++s) {
      const float phi = 2 * pi * static_cast<float>(s) / static_cast<float>(segments);
      Vec3 n{std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi), std::cos(theta)};
      Vertex(mesh, {n[0] * radius, n[1] * radius, n[2] * radius}, n,
             static_cast<float>(s) / static_cast<float>(segments),
             static_cast<float>(r) / static_cast<float>(rings));
    }
  }
  const std::uint32_t row = static_cast<std::uint32_t>(segments) + 1;
  for (int r = 0; r < rings; ++r) {
    for (int s = 0; s < segments; ++s) {
      const std::uint32_t a = static_cast<std::uint32_t>(r) * row + static_cast<std::uint32_t>(s);
      const std::uint32_t b = a + 1, c = a + row, d = a + row + 1;
      // The normal of a sphere point is the point itself.
      auto out = [&](std::uint32_t i, std::uint32_t j, std::uint32_t k) {
        const auto& p = mesh.vertices;
        return Vec3{p[i].position[0] + p[j].position[0] + p[k].position[0],
                    p[i].position[1] + p[j].position[1] + p[k].position[1],
                    p[i].position[2] + p[j].position[2] + p[k].position[2]};
      };
      if (r != 0) Triangle(mesh, a, b, d, out(a, b, d));
      if (r != rings - 1) Triangle(mesh, a, d, c, out(a, d, c));
    }
  }
  return mesh;
}

MeshData MakePlane(float size, float repeat) {
  MeshData mesh;
  const float h = size / 2;
  Quad(mesh, {0, 0, 0}, {0, 0, 1}, {h, 0, 0}, {0, -h, 0}, repeat);
  return mesh;
}
