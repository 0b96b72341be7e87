// Importing a 1,000,000-triangle glTF model (a grid with normals and texture
// coordinates, buffer in a .bin file beside it) into a scene file, against the time
// assimp alone takes to read the same file. Goal: within twice assimp's read.
#include <assimp/scene.h>
#include <benchmark/benchmark.h>

#include <assimp/Importer.hpp>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/sceneimport/ImportCommand.h"
#include "tools/sceneimport/ImportLimits.h"

namespace {

constexpr int kColumns = 1000, kRows = 500;  // two triangles per cell: 1,000,000

std::string Folder() {
  static const std::string folder = [] {
    auto path = std::filesystem::temp_directory_path() / "bench-scene-import";
    std::filesystem::create_directories(path);
    return path.string();
  }();
  return folder;
}

// Writes the model once and returns its path.
const std::string& Model() {
  static const std::string path = [] {
    const int vx = kColumns + 1, vy = kRows + 1, vertices = vx * vy;
    std::vector<float> positions, normals, uvs;
    for (int y = 0; y < vy; ++y)
      for (int x = 0; x < vx; ++x) {
        float fx = static_cast<float>(x) / kColumns, fy = static_cast<float>(y) / kRows;
        positions.insert(positions.end(), {fx * 20 - 10, 0.5f * static_cast<float>((x * 7 + y * 3) % 5) / 5, fy * 10 - 5});
        normals.insert(normals.end(), {0, 1, 0});
        uvs.insert(uvs.end(), {fx, fy});
      }
    std::vector<std::uint32_t> indices;
    for (int y = 0; y < kRows; ++y)
      for (int x = 0; x < kColumns; ++x) {
        std::uint32_t a = static_cast<std::uint32_t>(y * vx + x), b = a + 1, c = a + static_cast<std::uint32_t>(vx), d = c + 1;
        indices.insert(indices.end(), {a, c, b, b, c, d});
      }
    std::string bin = Folder() + "/grid.bin";
    std::ofstream out(bin, std::ios::binary);
    auto write = [&](const void* data, std::size_t bytes) { out.write(static_cast<const char*>(data), static_cast<std::streamsize>(bytes)); };
    write(positions.data(), positions.size() * 4);
    write(normals.data(), normals.size() * 4);
    write(uvs.data(), uvs.size() * 4);
    write(indices.data(), indices.size() * 4);
    out.close();
    std::size_t p = positions.size() * 4, n = normals.size() * 4, t = uvs.size() * 4, i = indices.size() * 4;
    std::ostringstream j;
    j << R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],"nodes":[{"name":"grid","mesh":0}],)"
      << R"("meshes":[{"primitives":[{"attributes":{"POSITION":0,"NORMAL":1,"TEXCOORD_0":2},"indices":3}]}],)"
      << R"("buffers":[{"uri":"grid.bin","byteLength":)" << p + n + t + i << "}],"
      << R"("bufferViews":[{"buffer":0,"byteOffset":0,"byteLength":)" << p << "},"
      << R"({"buffer":0,"byteOffset":)" << p << R"(,"byteLength":)" << n << "},"
      << R"({"buffer":0,"byteOffset":)" << p + n << R"(,"byteLength":)" << t << "},"
      << R"({"buffer":0,"byteOffset":)" << p + n + t << R"(,"byteLength":)" << i << "}],"
      << R"("accessors":[{"bufferView":0,"componentType":5126,"count":)" << vertices
      << R"(,"type":"VEC3","min":[-10,0,-5],"max":[10,0.5,5]},)"
      << R"({"bufferView":1,"componentType":5126,"count":)" << vertices << R"(,"type":"VEC3"},)"
      << R"({"bufferView":2,"componentType":5126,"count":)" << vertices << R"(,"type":"VEC2"},)"
      << R"({"bufferView":3,"componentType":5125,"count":)" << indices.size() << R"(,"type":"SCALAR"}]})";
    std::string gltf = Folder() + "/grid.gltf";
    std::ofstream(gltf) << j.str();
    return gltf;
  }();
  return path;
}

void BM_AssimpRead(benchmark::State& state) {
  const std::string& model = Model();
  for (auto _ : state) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(model, 0);
    if (!scene || scene->mNumMeshes != 1 || scene->mMeshes[0]->mNumFaces != 1000000u) {
      state.SkipWithError("assimp could not read the model");
      return;
    }
    benchmark::DoNotOptimize(scene);
  }
}

void BM_SceneImport(benchmark::State& state) {
  const std::string& model = Model();
  sceneimport::ImportOptions options;
  options.input = model;
  options.output = Folder() + "/grid.psk";
  for (auto _ : state) {
    std::ostringstream out, err;
    sceneimport::ImportReport report;
    if (sceneimport::RunImport(options, out, err, &report) != 0 || report.counts.triangles != 1000000u) {
      state.SkipWithError(("import failed: " + err.str()).c_str());
      return;
    }
  }
}

BENCHMARK(BM_AssimpRead)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SceneImport)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

// The import tool's process keeps freed memory for reuse (KeepFreedMemory); the
// benchmark's process does the same, for assimp's read and the import alike.
int main(int argc, char** argv) {
  sceneimport::KeepFreedMemory();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
