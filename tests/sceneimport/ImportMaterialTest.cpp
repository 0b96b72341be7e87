// Materials and textures of imported glTF scenes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "platform/d3dx/PictureFile.h"
#include "sceneimport/ImportTestSupport.h"

namespace {

TestGltf Quad(const std::vector<std::string>& materials) {
  TestGltf g;
  int p = g.Floats({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}, "VEC3", true);
  int uv = g.Floats({0, 1, 1, 1, 1, 0, 0, 0}, "VEC2");
  int i = g.Indices({0, 1, 2, 0, 2, 3});
  g.materials = materials;
  for (std::size_t m = 0; m < materials.size(); ++m) {
    g.meshes.push_back(MeshJson(p, i, static_cast<int>(m), ",\"TEXCOORD_0\":" + std::to_string(uv)));
    g.nodes.push_back("{\"name\":\"n" + std::to_string(m) + "\",\"mesh\":" + std::to_string(m) + "}");
  }
  return g;
}

const ReadMaterial& MaterialOf(const SceneFile& file, const std::string& node) {
  auto meshes = file.MeshesOf(file.Node(node)->index);
  return *file.Material(meshes.at(0)->subMeshes.at(0).material);
}

std::uint32_t Byte(std::uint32_t argb, int shift) { return (argb >> shift) & 0xFF; }

d3dx::Picture Decode(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  d3dx::Picture picture;
  EXPECT_TRUE(d3dx::DecodePicture(bytes.data(), bytes.size(), &picture)) << path;
  return picture;
}

TEST(ImportMaterial, ColoursEmissionAndOpacityFollowTheStatedRules) {
  TempDir dir;
  TestGltf g = Quad({
      "{\"name\":\"red\",\"pbrMetallicRoughness\":{\"baseColorFactor\":[1,0,0,1],\"metallicFactor\":0,"
      "\"roughnessFactor\":0.5}}",
      // Emission (0.8, 0.5, 0.2): its grey share 0.2 is the self-illumination, the rest ambient.
      "{\"name\":\"glow\",\"emissiveFactor\":[0.8,0.5,0.2]}",
      "{\"name\":\"strong\",\"emissiveFactor\":[0.25,0.25,0.25],"
      "\"extensions\":{\"KHR_materials_emissive_strength\":{\"emissiveStrength\":2}}}",
      "{\"name\":\"glass\",\"alphaMode\":\"BLEND\",\"pbrMetallicRoughness\":{\"baseColorFactor\":[1,1,1,0.125]}}",
      "{\"name\":\"opaque\",\"pbrMetallicRoughness\":{\"baseColorFactor\":[1,1,1,0.125]}}",
  });
  g.extensionsUsed = {"KHR_materials_emissive_strength"};
  ImportResult r = Import(dir, g);
  ASSERT_EQ(r.status, 0) << r.err;
  const ReadMaterial& red = MaterialOf(r.file, "n0");
  EXPECT_EQ(red.diffuse & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(red.blendMode, 0);
  EXPECT_FLOAT_EQ(red.opacity, 1);
  EXPECT_EQ(Byte(red.emissive, 16), 0u);
  EXPECT_GT(red.level, 0);  // a highlight from the roughness
  const ReadMaterial& glow = MaterialOf(r.file, "n1");
  EXPECT_EQ(Byte(glow.emissive, 16), 51u);  // 0.2
  EXPECT_EQ(Byte(glow.ambient, 16), 153u);  // 0.6
  EXPECT_EQ(Byte(glow.ambient, 8), 77u);    // 0.3
  EXPECT_EQ(Byte(glow.ambient, 0), 0u);
  ASSERT_FALSE(r.file.ambient.empty());
  EXPECT_EQ(r.file.ambient.back(), 0xFFFFFFFFu);  // white, so the ambient colour shows as is
  EXPECT_EQ(Byte(MaterialOf(r.file, "n2").emissive, 16), 128u);  // 0.25 x strength 2
  // Without a texture the player takes the opacity three times over: 0.5^3 = 0.125.
  const ReadMaterial& glass = MaterialOf(r.file, "n3");
  EXPECT_EQ(glass.blendMode, 2);
  EXPECT_NEAR(glass.opacity, 0.5f, 1e-5);
  // An opaque glTF material ignores its alpha.
  EXPECT_FLOAT_EQ(MaterialOf(r.file, "n4").opacity, 1);
}

TEST(ImportMaterial, EmbeddedAndExternalTexturesAreWrittenAndNamedFromTheShowFolder) {
  TempDir dir;
  // External picture beside the model, embedded one as a data URI.
  auto external = TinyPng(0x20406080, false);
  std::ofstream(dir.file("wood.png"), std::ios::binary).write(reinterpret_cast<const char*>(external.data()),
                                                              static_cast<std::streamsize>(external.size()));
  TestGltf g = Quad({
      "{\"name\":\"wood\",\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":0}}}",
      "{\"name\":\"tinted\",\"pbrMetallicRoughness\":{\"baseColorFactor\":[0.5,1,1,1],"
      "\"baseColorTexture\":{\"index\":1}}}",
      "{\"name\":\"lamp\",\"emissiveTexture\":{\"index\":0}}",
  });
  g.images = {"{\"uri\":\"wood.png\"}", "{\"name\":\"inside\",\"uri\":\"" + TestGltf::DataUri(TinyPng(0xC0C0C0FF, true), "image/png") + "\"}"};
  g.textures = {"{\"source\":0}", "{\"source\":1}"};
  sceneimport::ImportOptions options;
  std::filesystem::create_directories(dir.file("show"));
  options.textures = dir.file("show/textures");
  ImportResult r = ImportFile(g.Save(dir), dir.file("show/scene.psk"), options);
  ASSERT_EQ(r.status, 0) << r.err;
  const ReadMaterial& wood = MaterialOf(r.file, "n0");
  ASSERT_NE(wood.diffuseMap, 0xFFFFFFFFu);
  EXPECT_EQ(r.file.textures.at(wood.diffuseMap), "textures/wood.png");
  EXPECT_TRUE(std::filesystem::exists(dir.file("show/textures/wood.png")));
  // The colour factor is baked into a copy, since the player draws textures on white.
  const ReadMaterial& tinted = MaterialOf(r.file, "n1");
  ASSERT_NE(tinted.diffuseMap, 0xFFFFFFFFu);
  std::string tintedName = r.file.textures.at(tinted.diffuseMap);
  EXPECT_EQ(tintedName.rfind("textures/", 0), 0u) << tintedName;
  d3dx::Picture picture = Decode(dir.file("show/" + tintedName));
  ASSERT_EQ(picture.channels, 3u);  // opaque material: the alpha channel is dropped
  EXPECT_NEAR(picture.pixels[0], 0xC0 / 2, 1);
  EXPECT_EQ(picture.pixels[1], 0xC0);
  // The emissive texture is the add layer; no grey self-illumination on top.
  const ReadMaterial& lamp = MaterialOf(r.file, "n2");
  EXPECT_NE(lamp.addMap, 0xFFFFFFFFu);
  EXPECT_EQ(Byte(lamp.emissive, 16), 0u);
  EXPECT_EQ(r.report.counts.textures, 3u);
}

TEST(ImportMaterial, PicturesThePlayerCannotReadAreReportedByNameAndDropped) {
  TempDir dir;
  std::ofstream(dir.file("leaf.webp"), std::ios::binary) << std::string("RIFF\x10\0\0\0WEBPVP8 ", 16) << "rest";
  TestGltf g = Quad({"{\"name\":\"leaf\",\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":0}}}",
                     "{\"name\":\"gone\",\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":1}}}"});
  g.images = {"{\"uri\":\"leaf.webp\"}", "{\"uri\":\"missing.png\"}"};
  g.textures = {"{\"source\":0}", "{\"source\":1}"};
  ImportResult r = Import(dir, g);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(MaterialOf(r.file, "n0").diffuseMap, 0xFFFFFFFFu);
  EXPECT_EQ(MaterialOf(r.file, "n1").diffuseMap, 0xFFFFFFFFu);
  EXPECT_TRUE(r.file.textures.empty());
  const auto& warnings = r.report.Warnings();
  bool named = false;
  for (const auto& [feature, subjects] : warnings)
    if (feature.find("WebP") != std::string::npos)
      named = std::find(subjects.begin(), subjects.end(), "leaf.webp") != subjects.end();
  EXPECT_TRUE(named);
  EXPECT_NE(r.out.find("leaf.webp"), std::string::npos);  // printed with the warnings
  EXPECT_NE(r.out.find("missing.png"), std::string::npos);
}

}  // namespace

namespace {

// Debian's LightWave samples, when installed: a globe textured by a cylindrical or
// spherical projection, which assimp turns into texture coordinates when asked.
TEST(ImportMaterial, ProjectedTexturesGetTextureCoordinates) {
  const std::string folder = "/usr/share/assimp/models/LWO/LWO2/MappingModes/";
  if (!std::filesystem::exists(folder)) GTEST_SKIP() << "assimp-testmodels is not installed";
  for (const char* model : {"earth_cylindrical_x.lwo", "earth_spherical_y.lwo"}) {
    SCOPED_TRACE(model);
    TempDir dir;
    ImportResult r = ImportFile(folder + model, dir.file("scene.psk"));
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_FALSE(r.file.meshes.empty());
    float lo = 1e9f, hi = -1e9f;
    for (const auto& v : r.file.vertexBuffers.at(r.file.meshes[0].vertexBuffer).vertices) {
      lo = std::min(lo, v.uv0[0]);
      hi = std::max(hi, v.uv0[0]);
    }
    EXPECT_GT(hi - lo, 0.5f) << "the picture must wrap round the globe, not show one spot of it";
  }
}

}  // namespace
