// The scene file loader on files made by the scene writer: the index map, the
// node header and its version thresholds, every chunk type's fields read back
// from the objects built, and the designed edge cases.
#include <cstring>
#include <filesystem>

#include "SceneLoaderFixture.h"
#include "scene/AnimatedTexture.h"
#include "scene/Camera.h"
#include "scene/Sprite.h"
#include "scene/loading/CameraActivatorController.h"
#include "scene/loading/PRSController.h"
#include "scene/loading/SampleFloatController.h"
#include "scene/loading/VertexController.h"
#include "scene/IndexBuffer.h"
#include "scene/Light.h"
#include "scene/Material.h"
#include "scene/Mesh.h"
#include "scene/StateCache.h"
#include "scene/SubMesh.h"
#include "scene/Texture.h"
#include "scene/VertexBuffer.h"

namespace {

using scenefile::kNone;
using PSKSceneLoaderTest = SceneLoaderTest;

std::vector<std::uint8_t> FloatBytes(std::initializer_list<float> values) {
  std::vector<std::uint8_t> bytes;
  for (float v : values) {
    std::uint8_t b[4];
    std::memcpy(b, &v, 4);
    bytes.insert(bytes.end(), b, b + 4);
  }
  return bytes;
}

TEST_F(PSKSceneLoaderTest, EmptyFileGivesAnEmptyScene) {
  Load(Bytes{});
  EXPECT_EQ(graph->objects.size(), 1u);  // the loader itself
  EXPECT_EQ(graph->root, nullptr);
  EXPECT_TRUE(loader->indexMap.empty());
  EXPECT_EQ(loader->id, 0);
  EXPECT_EQ(graph->nextId, 1);
}

TEST_F(PSKSceneLoaderTest, LoaderKeepsItsArguments) {
  Load(Bytes{}, 50, 2, false, 7);
  EXPECT_EQ(loader->parentId, 7);
  EXPECT_EQ(loader->timeOffset, 50);
  EXPECT_EQ(loader->timeScale, 2);
  EXPECT_FALSE(loader->looping);
}

TEST_F(PSKSceneLoaderTest, IdsFollowTheOrderIndicesAreFirstMet) {
  scenefile::SceneWriter w;
  // The child names its parent (index 9) before the parent's chunk comes.
  w.Add(GroupAt(5, 9, "child"));
  w.Add(GroupAt(9, -1, "parent"));
  w.Add(GroupAt(2, 9, "second child"));
  Load(w);
  EXPECT_EQ(loader->indexMap.at(5), 1);
  EXPECT_EQ(loader->indexMap.at(9), 2);
  EXPECT_EQ(loader->indexMap.at(2), 3);
  Group* child = At<Group>(5);
  Group* parent = At<Group>(9);
  ASSERT_NE(child, nullptr);
  ASSERT_NE(parent, nullptr);
  EXPECT_EQ(child->id, 1);
  EXPECT_EQ(child->parent.id, parent->id);
  EXPECT_EQ(At<Group>(2)->parent.id, parent->id);
  EXPECT_EQ(parent->parent.id, -1);
  EXPECT_EQ(graph->root, parent);
}

TEST_F(PSKSceneLoaderTest, LastTopLevelNodeIsTheRoot) {
  scenefile::SceneWriter w;
  w.Add(GroupAt(0, -1, "first"));
  w.Add(GroupAt(1, -1, "second"));
  Load(w);
  EXPECT_EQ(graph->root, At<Group>(1));
}

TEST_F(PSKSceneLoaderTest, TopLevelNodesOfAFileLoadedUnderANodeHangThere) {
  scenefile::SceneWriter w;
  w.Add(GroupAt(0, -1, "top"));
  Load(w.Bytes(), 0, 1, true, 42);
  EXPECT_EQ(At<Group>(0)->parent.id, 42);
  EXPECT_EQ(graph->root, nullptr);
}

TEST_F(PSKSceneLoaderTest, NodeHeaderFieldsAreStored) {
  scenefile::SceneWriter w;
  scenefile::GroupChunk g = GroupAt(3, -1, "Crate 01", "Speed = 2\nskyline=x\n");
  g.node.position = {1.5f, -2, 3};
  g.node.rotation = {0.1f, 0.2f, 0.3f, 0.9f};
  g.node.scale = {2, 3, 4};
  g.node.shadowFlag1 = 7;
  g.node.shadowFlag2 = 0;
  g.node.visibility = 0.25f;
  w.Add(g);
  Load(w);
  Group* node = At<Group>(3);
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->name, "Crate 01");
  EXPECT_EQ(node->transform.position, D3DXVECTOR3(1.5f, -2, 3));
  EXPECT_EQ(node->transform.rotation, D3DXQUATERNION(0.1f, 0.2f, 0.3f, 0.9f));
  EXPECT_EQ(node->transform.scale, D3DXVECTOR3(2, 3, 4));
  EXPECT_EQ(node->userText, "Speed = 2\nskyline=x\n");
  EXPECT_EQ(node->properties.GetString("speed"), "2");
  EXPECT_TRUE(node->shadowFlag1);
  EXPECT_FALSE(node->shadowFlag2);
  EXPECT_FLOAT_EQ(node->visibility, 0.25f);
  EXPECT_EQ(graph->skybox, nullptr);  // "skyline" is not "skybox"
}

TEST_F(PSKSceneLoaderTest, GroupVisibilityDependsOnTheVersion) {
  scenefile::SceneWriter w;
  scenefile::GroupChunk old = GroupAt(0, -1, "old");
  old.version = 1;
  old.node.visibility = 0.3f;  // not written at version 1
  w.Add(old);
  scenefile::GroupChunk high = GroupAt(1, -1, "high");
  high.node.visibility = 1.5f;
  w.Add(high);
  scenefile::GroupChunk low = GroupAt(2, -1, "low");
  low.node.visibility = -2;
  w.Add(low);
  Load(w);
  EXPECT_EQ(At<Group>(0)->visibility, 1.0f);
  EXPECT_EQ(At<Group>(1)->visibility, 1.0f);
  EXPECT_EQ(At<Group>(2)->visibility, 0.0f);
}

TEST_F(PSKSceneLoaderTest, OverLongPayloadIsSkippedToItsEnd) {
  scenefile::SceneWriter inner;
  inner.Add(GroupAt(0, -1, "padded"));
  Bytes payload(inner.Bytes().begin() + 12, inner.Bytes().end());
  payload.insert(payload.end(), {0xDE, 0xAD, 0xBE, 0xEF, 9, 9, 9});
  scenefile::SceneWriter w;
  w.Raw(2, 2, 0, payload);
  w.Add(GroupAt(1, 0, "next"));
  Load(w);
  ASSERT_NE(At<Group>(1), nullptr);
  EXPECT_EQ(At<Group>(1)->name, "next");
  EXPECT_EQ(At<Group>(1)->parent.id, At<Group>(0)->id);
}

TEST_F(PSKSceneLoaderTest, CameraFieldsAndVersions) {
  scenefile::SceneWriter w;
  scenefile::CameraChunk v1;
  v1.index = 0;
  v1.version = 1;  // neither visibility nor activation list
  v1.node.name = "one";
  v1.fov = 0.5f;
  v1.nearClip = 2;
  v1.farClip = 500;
  w.Add(v1);
  scenefile::CameraChunk v2 = v1;
  v2.index = 1;
  v2.version = 2;  // an (empty) activation list, no visibility
  v2.node.name = "two";
  v2.node.visibility = 0.5f;
  w.Add(v2);
  scenefile::CameraChunk v3 = v2;
  v3.index = 2;
  v3.version = 3;
  v3.node.name = "three";
  v3.node.visibility = 0.5f;
  w.Add(v3);
  Load(w);
  Camera* one = At<Camera>(0);
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(one->name, "one");
  EXPECT_FLOAT_EQ(one->fov, 0.5f);
  EXPECT_FLOAT_EQ(one->nearClip, 2);
  EXPECT_FLOAT_EQ(one->farClip, 500);
  EXPECT_EQ(one->aspect, 1.3333334f);
  EXPECT_EQ(At<Camera>(1)->visibility, 1.0f);
  EXPECT_EQ(At<Camera>(2)->visibility, 0.5f);
  EXPECT_TRUE(graph->controllers.empty());
}

TEST_F(PSKSceneLoaderTest, CameraVersionOneReadsNoActivationCount) {
  // Exactly the node header and three floats: reading a count would run out.
  scenefile::CameraChunk c;
  c.version = 1;
  scenefile::SceneWriter w;
  w.Add(c);
  EXPECT_EQ(CatchFatal([&] { Load(w); }), std::nullopt);
}

TEST_F(PSKSceneLoaderTest, NearClipZeroBecomesAFractionOfTheFarClip) {
  scenefile::SceneWriter w;
  scenefile::CameraChunk c;
  c.nearClip = 0;
  c.farClip = 1000;
  w.Add(c);
  c.index = 1;
  c.nearClip = 0.00001f;  // not below the limit: kept
  w.Add(c);
  Load(w);
  EXPECT_FLOAT_EQ(At<Camera>(0)->nearClip, 0.01f);
  EXPECT_EQ(At<Camera>(1)->nearClip, 0.00001f);
}

TEST_F(PSKSceneLoaderTest, LightFields) {
  scenefile::SceneWriter w;
  scenefile::LightChunk l;
  l.index = 4;
  l.node.name = "lamp";
  l.type = 2;
  l.color = 0x80FF4000;
  l.intensity = 2.5f;
  l.attenuation0 = 0.5f;
  l.attenuation1 = 0.25f;
  l.attenuation2 = 0.125f;
  l.range = 77;
  l.thetaDegrees = 20;
  l.phiDegrees = 40;
  l.castsShadows = 3;
  l.shadowColor = 0x00000033;
  w.Add(l);
  Load(w);
  Light* light = At<Light>(4);
  ASSERT_NE(light, nullptr);
  EXPECT_EQ(light->name, "lamp");
  EXPECT_EQ(light->deviceLight.Type, D3DLIGHT_SPOT);
  EXPECT_FLOAT_EQ(light->color.r, 1.0f);
  EXPECT_FLOAT_EQ(light->color.g, 64 * 0.003921569f);
  EXPECT_FLOAT_EQ(light->color.b, 0);
  EXPECT_FLOAT_EQ(light->color.a, 128 * 0.003921569f);
  EXPECT_FLOAT_EQ(light->intensity, 2.5f);
  EXPECT_FLOAT_EQ(light->deviceLight.Attenuation0, 0.5f);
  EXPECT_FLOAT_EQ(light->deviceLight.Attenuation1, 0.25f);
  EXPECT_FLOAT_EQ(light->deviceLight.Attenuation2, 0.125f);
  EXPECT_FLOAT_EQ(light->deviceLight.Range, 77);
  EXPECT_FLOAT_EQ(light->thetaDegrees, 20);
  EXPECT_FLOAT_EQ(light->phiDegrees, 40);
  EXPECT_TRUE(light->castsShadows);
  EXPECT_FLOAT_EQ(light->shadowColor.b, 0x33 * 0.003921569f);
  EXPECT_EQ(graph->cache->hasShadowLight, 1);
}

TEST_F(PSKSceneLoaderTest, LightVersionOneHasNoVisibility) {
  scenefile::SceneWriter w;
  scenefile::LightChunk l;
  l.version = 1;
  l.node.visibility = 0.1f;
  l.castsShadows = 0;
  w.Add(l);
  Load(w);
  EXPECT_EQ(At<Light>(0)->visibility, 1.0f);
  EXPECT_EQ(graph->cache->hasShadowLight, 0);
}

TEST_F(PSKSceneLoaderTest, AmbientColour) {
  scenefile::SceneWriter w;
  w.Ambient(0xFF336699);
  Load(w);
  EXPECT_FLOAT_EQ(graph->ambient.r, 0x33 * 0.003921569f);
  EXPECT_FLOAT_EQ(graph->ambient.g, 0x66 * 0.003921569f);
  EXPECT_FLOAT_EQ(graph->ambient.b, 0x99 * 0.003921569f);
  EXPECT_FLOAT_EQ(graph->ambient.a, 1.0f);
}

TEST_F(PSKSceneLoaderTest, MeshAndItsSubMeshes) {
  scenefile::SceneWriter w;
  scenefile::GroupChunk carrier = GroupAt(0, -1, "carrier");
  carrier.node.shadowFlag2 = 1;
  w.Add(carrier);
  scenefile::MeshChunk m;
  m.index = 1;
  m.node = 0;
  m.name = "ignored";
  m.vertexBuffer = 20;  // defined later: references may look ahead
  m.indexBuffer = 21;
  m.subMeshes.push_back({0, 30, 99, 6, 1});
  m.subMeshes.push_back({6, 31, 98, 3, 0});
  w.Add(m);
  Load(w);
  Mesh* mesh = At<Mesh>(1);
  Group* node = At<Group>(0);
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->group, node);
  EXPECT_EQ(node->mesh, mesh);
  EXPECT_EQ(mesh->vertexBuffer.id, loader->indexMap.at(20));
  EXPECT_EQ(mesh->indexBuffer.id, loader->indexMap.at(21));
  ASSERT_EQ(mesh->subMeshes.size(), 2u);
  SubMesh* first = mesh->subMeshes[0];
  SubMesh* second = mesh->subMeshes[1];
  EXPECT_EQ(first->mesh, mesh);
  EXPECT_EQ(first->startIndex, 0u);
  EXPECT_EQ(first->indexCount, 6u);
  EXPECT_EQ(first->material.id, loader->indexMap.at(30));
  EXPECT_EQ(second->startIndex, 6u);
  EXPECT_EQ(second->indexCount, 3u);
  EXPECT_EQ(second->material.id, loader->indexMap.at(31));
  // Sub-meshes take fresh ids, not file indices, in file order.
  EXPECT_LT(first->id, second->id);
  EXPECT_GT(first->id, loader->indexMap.at(21));
  EXPECT_EQ(graph->cache->hasShadowFlag1, 0);
  EXPECT_EQ(graph->cache->hasShadowFlag2, 1);
}

TEST_F(PSKSceneLoaderTest, VertexBufferComponentsAndMissingOnes) {
  scenefile::SceneWriter w;
  scenefile::VertexBufferChunk full;
  full.index = 0;
  scenefile::Vertex v;
  v.position = {1, 2, 3};
  v.normal = {0, 0, 1};
  v.uv0 = {0.25f, 0.5f};
  v.uv1 = {0.75f, 1};
  full.vertices = {v, v};
  full.vertices[1].position = {4, 5, 6};
  w.Add(full);
  scenefile::VertexBufferChunk onlyPositionAndUv1 = full;
  onlyPositionAndUv1.index = 1;
  onlyPositionAndUv1.componentFlags = 0x8 | 0x2;  // bit 1 means nothing
  w.Add(onlyPositionAndUv1);
  Load(w);
  VertexBuffer* a = At<VertexBuffer>(0);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(dynamic_cast<MultiVertexBuffer*>(a), nullptr);
  ASSERT_EQ(a->vertexCount, 2u);
  ASSERT_EQ(a->vertices.size(), 2u);
  EXPECT_EQ(a->vertices[1].position[0], 4);
  EXPECT_EQ(a->vertices[1].position[2], 6);
  EXPECT_EQ(a->vertices[0].normal[2], 1);
  EXPECT_EQ(a->vertices[0].uv0[1], 0.5f);
  EXPECT_EQ(a->vertices[0].uv1[0], 0.75f);
  EXPECT_EQ(a->stride, 40u);
  EXPECT_EQ(a->fvf, 0x212u);
  VertexBuffer* b = At<VertexBuffer>(1);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->vertices[1].position[1], 5);
  EXPECT_EQ(b->vertices[0].normal[2], 0);
  EXPECT_EQ(b->vertices[0].uv0[0], 0);
  EXPECT_EQ(b->vertices[0].uv1[0], 0.75f);
  EXPECT_EQ(b->vertices[0].uv1[1], 1);
}

TEST_F(PSKSceneLoaderTest, SeveralFramesMakeAMultiVertexBuffer) {
  scenefile::SceneWriter w;
  scenefile::VertexBufferChunk c;
  c.componentFlags = 0x4;
  c.vertices.resize(2);
  c.vertices[0].position = {1, 1, 1};
  c.vertices[0].uv0 = {0.5f, 0.5f};
  c.vertices[1].position = {2, 2, 2};
  c.extraFrames = {{{10, 11, 12}, {13, 14, 15}}, {{20, 21, 22}, {23, 24, 25}}};
  w.Add(c);
  Load(w);
  auto* buffer = At<MultiVertexBuffer>(0);
  ASSERT_NE(buffer, nullptr);
  ASSERT_EQ(buffer->frames.size(), 3u);
  EXPECT_EQ(buffer->frames[0][1], (std::array<float, 3>{2, 2, 2}));
  EXPECT_EQ(buffer->frames[1][0], (std::array<float, 3>{10, 11, 12}));
  EXPECT_EQ(buffer->frames[2][1], (std::array<float, 3>{23, 24, 25}));
  // The vertex array holds frame 0 with its texture coordinates.
  EXPECT_EQ(buffer->vertices[1].position[0], 2);
  EXPECT_EQ(buffer->vertices[0].uv0[0], 0.5f);
}

TEST_F(PSKSceneLoaderTest, IndicesKeepTheirLowSixteenBits) {
  scenefile::SceneWriter w;
  scenefile::IndexBufferChunk c;
  c.indices = {0, 1, 70000, 2, 65535, 65536, 7};
  w.Add(c);
  Load(w);
  IndexBuffer* buffer = At<IndexBuffer>(0);
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer->indices, (std::vector<std::uint16_t>{0, 1, 4464, 2, 65535, 0, 7}));
  EXPECT_EQ(buffer->triangleCount, 2u);
}

TEST_F(PSKSceneLoaderTest, MaterialFields) {
  scenefile::SceneWriter w;
  scenefile::MaterialChunk m;
  m.index = 8;
  m.diffuse = 0xFFFF0000;
  m.specular = 0x8000FF00;
  m.ambient = 0x400000FF;
  m.emissive = 0xFF336699;
  m.power = 12;
  m.specularLevel = 0.75f;
  m.blendMode = 2;
  m.opacity = 0.5f;
  m.diffuseMap = 40;
  m.sphereMap = 41;
  m.lightMap = 42;
  m.specularMap = 43;
  m.addMap = 44;
  w.Add(m);
  Load(w);
  Material* material = At<Material>(8);
  ASSERT_NE(material, nullptr);
  EXPECT_FLOAT_EQ(material->diffuseColor.r, 1);
  EXPECT_FLOAT_EQ(material->diffuseColor.a, 1);
  EXPECT_FLOAT_EQ(material->specularColor.g, 1);
  EXPECT_FLOAT_EQ(material->specularColor.a, 128 * 0.003921569f);
  EXPECT_FLOAT_EQ(material->ambientColor.b, 1);
  EXPECT_FLOAT_EQ(material->deviceMaterial.Emissive.r, 0x33 * 0.003921569f);
  EXPECT_FLOAT_EQ(material->deviceMaterial.Emissive.b, 0x99 * 0.003921569f);
  EXPECT_FLOAT_EQ(material->selfIllum, 0x33 * 0.003921569f);
  EXPECT_FLOAT_EQ(material->power, 12);
  EXPECT_FLOAT_EQ(material->specularLevel, 0.75f);
  EXPECT_EQ(material->blendMode, BlendMode::kAlphaBlended);
  EXPECT_FLOAT_EQ(material->opacity, 0.5f);
  // File order diffuse, sphere, light, specular, add; mapped in that order.
  EXPECT_EQ(material->diffuseMap.id, loader->indexMap.at(40));
  EXPECT_EQ(material->sphereMap.id, loader->indexMap.at(41));
  EXPECT_EQ(material->lightMap.id, loader->indexMap.at(42));
  EXPECT_EQ(material->specularMap.id, loader->indexMap.at(43));
  EXPECT_EQ(material->addMap.id, loader->indexMap.at(44));
  EXPECT_EQ(loader->indexMap.at(41), loader->indexMap.at(40) + 1);
  EXPECT_EQ(loader->indexMap.at(43), loader->indexMap.at(42) + 1);
}

TEST_F(PSKSceneLoaderTest, VersionOneMaterialHasNoAddMap) {
  scenefile::SceneWriter w;
  scenefile::MaterialChunk m;
  m.version = 1;
  m.addMap = 5;  // not written
  w.Add(m);
  Load(w);
  EXPECT_EQ(At<Material>(0)->addMap.id, -1);
  EXPECT_EQ(At<Material>(0)->diffuseMap.id, -1);  // "none" maps to no object
  EXPECT_EQ(loader->indexMap.count(5), 0u);
}

TEST_F(PSKSceneLoaderTest, TwoFilesSharingIndexZeroMakeTwoObjects) {
  scenefile::SceneWriter w;
  w.Add(GroupAt(0, -1, "a"));
  PSKSceneLoader* first = Load(w);
  scenefile::SceneWriter v;
  v.Add(GroupAt(0, -1, "b"));
  PSKSceneLoader* second = Load(v);
  Group* a = At<Group>(0, first);
  Group* b = At<Group>(0, second);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a->id, b->id);
  EXPECT_EQ(a->name, "a");
  EXPECT_EQ(b->name, "b");
}

TEST_F(PSKSceneLoaderTest, TextureIsLoadedAndNamed) {
  TempDir dir;
  const std::string picture = dir.file("red.bmp");
  ASSERT_TRUE(SaveBytes(picture, SolidBmp(4, 4, 255, 0, 0)));
  scenefile::SceneWriter w;
  w.Add(scenefile::TextureChunk{3, picture});
  Load(w);
  Texture* texture = At<Texture>(3);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->name, picture);
  EXPECT_NE(texture->texture, nullptr);
  EXPECT_FALSE(texture->HasAlpha());
  EXPECT_EQ(graph->cache->textures.count(picture), 1u);
}

TEST_F(PSKSceneLoaderTest, TextureWithASequenceFileBesideItIsAnimated) {
  TempDir dir;
  ASSERT_TRUE(SaveBytes(dir.file("one.bmp"), SolidBmp(2, 2, 255, 0, 0)));
  ASSERT_TRUE(SaveBytes(dir.file("two.bmp"), SolidBmp(2, 2, 0, 255, 0)));
  dir.write("one.seq", "images = 2\ni0 = " + dir.file("one.bmp") + "\ni1 = " + dir.file("two.bmp") +
                           "\nanimations = 1\na0.field = Active Image\na0.keyframes = 2\n"
                           "a0.kf0 = 0 0\na0.kf1 = 100 1\n");
  // A folder named like a sequence file is no sequence file.
  ASSERT_TRUE(SaveBytes(dir.file("three.bmp"), SolidBmp(2, 2, 0, 0, 255)));
  std::filesystem::create_directory(dir.file("three.seq"));
  scenefile::SceneWriter w;
  w.Add(scenefile::TextureChunk{0, dir.file("one.bmp")});
  w.Add(scenefile::TextureChunk{1, dir.file("three.bmp")});
  Load(Bytes(w.Bytes()), 500, 2);
  auto* animated = At<AnimatedTexture>(0);
  ASSERT_NE(animated, nullptr);
  EXPECT_EQ(animated->name, dir.file("one.bmp"));
  EXPECT_EQ(animated->images.size(), 2u);
  // Its description's keys run on the file's clock: (500, 0) and (700, 1).
  ASSERT_EQ(graph->controllers.size(), 1u);
  graph->SetTime(700);
  EXPECT_EQ(animated->activeImage, 1.0f);
  EXPECT_EQ(dynamic_cast<AnimatedTexture*>(graph->FindObject(loader->indexMap.at(1))), nullptr);
  EXPECT_NE(At<Texture>(1), nullptr);
}

TEST_F(PSKSceneLoaderTest, AnimationChunksAndSpritesReachTheirReaders) {
  scenefile::SceneWriter w;
  w.Add(GroupAt(0, -1, "node"));
  scenefile::CameraChunk camera;
  camera.index = 1;
  camera.version = 2;
  camera.switchTimes = {300, 100};
  camera.animStart = 10;
  camera.animEnd = 1000;
  w.Add(camera);
  scenefile::VertexBufferChunk frames;
  frames.index = 2;
  frames.vertices.resize(1);
  frames.extraFrames = {{{1, 1, 1}}};
  w.Add(frames);
  scenefile::MaterialChunk material;
  material.index = 3;
  w.Add(material);
  scenefile::PRSControllerChunk prs;
  prs.node = 0;
  prs.times = {0, 1000, 0, 1000};
  prs.keys.resize(2);
  w.Add(prs);
  w.Add(scenefile::VertexControllerChunk{0, 2, {0, 1000, 0, 1000}});
  w.Add(scenefile::SampleFloatControllerChunk{0, 3, "OPACITY", {0, 1000, 100, 300}, {0, 10, 20}});
  w.Add(scenefile::SpriteChunk{4, 0, kNone, 3.5f, 1});
  Load(w.Bytes(), 50, 2, false);
  ASSERT_EQ(graph->controllers.size(), 4u);
  auto* activator = dynamic_cast<CameraActivatorController*>(graph->controllers[0].get());
  ASSERT_NE(activator, nullptr);
  EXPECT_EQ(activator->switchTimes, (std::vector<std::uint32_t>{100, 300}));
  EXPECT_EQ(activator->animEnd, 2050u);  // mapped with the file's offset and scale
  EXPECT_NE(dynamic_cast<PRSController*>(graph->controllers[1].get()), nullptr);
  EXPECT_NE(dynamic_cast<VertexController*>(graph->controllers[2].get()), nullptr);
  auto* sampled = dynamic_cast<SampleFloatController*>(graph->controllers[3].get());
  ASSERT_NE(sampled, nullptr);
  EXPECT_EQ(sampled->keyStart, 250u);
  EXPECT_FALSE(sampled->looping);
  Sprite* sprite = At<Sprite>(4);
  ASSERT_NE(sprite, nullptr);
  EXPECT_EQ(sprite->node, At<Group>(0));
  EXPECT_EQ(At<Group>(0)->sprite, sprite);
  EXPECT_EQ(sprite->size, 3.5f);
  EXPECT_TRUE(sprite->skipInGlowPass);
}

TEST_F(PSKSceneLoaderTest, TimesAreScaledOffsetAndTruncated) {
  Load(Bytes{}, 10.7f, 1.5f);
  const Bytes raw{100, 0, 0, 0, 0x00, 0x00, 0x00, 0x80};
  ChunkReader reader(raw.data(), raw.size(), "test");
  EXPECT_EQ(loader->ReadTime(reader, "t"), 160u);  // trunc(100 * 1.5 + 10.7)
  // t is unsigned: 2^31 stays positive (3221225472 + 10.7 in single precision).
  EXPECT_EQ(loader->ReadTime(reader, "t"), 3221225472u);
}

TEST_F(PSKSceneLoaderTest, TimesBelowZeroWrapInsteadOfFaulting) {
  Load(Bytes{}, -200, 1);
  const Bytes raw{100, 0, 0, 0};
  ChunkReader reader(raw.data(), raw.size(), "test");
  EXPECT_EQ(loader->ReadTime(reader, "t"), 0xFFFFFFFFu - 99u);  // -100 as 32 bits
}

TEST_F(PSKSceneLoaderTest, FloatsAreReadAsLittleEndianBitPatterns) {
  // A group chunk assembled by hand, to check the writer and loader agree with the format.
  Bytes payload;
  auto u32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) payload.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  u32(0xFFFFFFFF);                // parent -1
  payload.insert(payload.end(), {1, 0, 'n'});  // name "n"
  Bytes transform = FloatBytes({1, 2, 3, 0, 0, 0, 1, 1, 1, 1});
  payload.insert(payload.end(), transform.begin(), transform.end());
  payload.insert(payload.end(), {0, 0});  // no properties
  payload.insert(payload.end(), {1, 0});  // shadow flags
  u32(0x3F000000);                        // visibility 0.5
  scenefile::SceneWriter w;
  w.Raw(2, 2, 0, payload);
  scenefile::SceneWriter same;
  scenefile::GroupChunk g = GroupAt(0, -1, "n");
  g.node.position = {1, 2, 3};
  g.node.shadowFlag1 = 1;
  g.node.visibility = 0.5f;
  same.Add(g);
  EXPECT_EQ(w.Bytes(), same.Bytes());
  Load(w);
  EXPECT_EQ(At<Group>(0)->transform.position, D3DXVECTOR3(1, 2, 3));
  EXPECT_EQ(At<Group>(0)->visibility, 0.5f);
}

}  // namespace
