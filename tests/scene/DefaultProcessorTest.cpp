// The default pipeline's lists and draw order: what CollectNode takes, the sort
// (opaque first, then unsigned material id), the material/visibility memory that
// skips Apply, and the scene states of Draw.
#include <gtest/gtest.h>

#include "scene/SceneRenderSupport.h"

namespace {

class CountingMaterial : public Material {
 public:
  using Material::Material;
  void Apply(float visibility) override {
    ++applies;
    Material::Apply(visibility);
  }
  int applies = 0;
};

class DefaultProcessorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(scene.ok());
    scene.AddCamera();
  }
  CountingMaterial* Counting(float opacity = 1.0f) {
    CountingMaterial* material = scene.graph->Create<CountingMaterial>(scene.graph->NextId());
    material->ambientColor = {1, 1, 1, 1};
    material->opacity = opacity;
    return material;
  }
  void Frame() {
    scene.graph->activeCamera->Activate();
    scene.processor->ClearLists();
    scene.graph->root->Collect(scene.processor);
    scene.processor->Draw();
  }

  HeadlessScene scene;
};

TEST_F(DefaultProcessorTest, CollectNodeTakesTheSubMeshesOfNodesAboveHalfVisibility) {
  Material* a = scene.ColorMaterial({1, 1, 1, 1});
  Group* node = scene.Node(scene.Root(), 0, 0, 0);
  VertexBuffer* vertices = scene.graph->Create<VertexBuffer>(scene.graph->NextId(), 3u);
  IndexBuffer* indices = scene.graph->Create<IndexBuffer>(scene.graph->NextId());
  indices->indices = {0, 1, 2, 0, 2, 1};
  indices->triangleCount = 2;
  Mesh* mesh = scene.AttachMesh(node, vertices, indices, {a, a});
  scene.Prepare();
  node->visibility = 0.5f;
  scene.processor->CollectNode(node);
  EXPECT_TRUE(scene.processor->subMeshList.empty());
  node->visibility = 0.5001f;
  scene.processor->CollectNode(node);
  EXPECT_EQ(scene.processor->subMeshList, mesh->subMeshes);
  scene.processor->CollectNode(scene.Root());  // no mesh, no sprite
  EXPECT_EQ(scene.processor->subMeshList.size(), 2u);
  scene.processor->ClearLists();
  EXPECT_TRUE(scene.processor->subMeshList.empty());
  EXPECT_EQ(scene.processor->subMeshList.capacity(), 0u);
}

TEST_F(DefaultProcessorTest, OpaqueSubMeshesComeFirstThenByUnsignedMaterialId) {
  // Ids rising in this order; the tree below lists them otherwise.
  Material* opaqueLow = scene.ColorMaterial({1, 1, 1, 1});
  Material* transparentMiddle = scene.ColorMaterial({1, 1, 1, 1}, 0.5f, 2);
  Material* opaqueHigh = scene.ColorMaterial({1, 1, 1, 1});
  Group* a = scene.Quad(scene.Root(), transparentMiddle, -1, -1, 1, 1);
  Group* b = scene.Quad(scene.Root(), opaqueHigh, -1, -1, 1, 1);
  Group* c = scene.Quad(scene.Root(), nullptr, -1, -1, 1, 1);  // id -1: unsigned, the largest
  Group* d = scene.Quad(scene.Root(), opaqueLow, -1, -1, 1, 1);
  Group* e = scene.Quad(scene.Root(), opaqueHigh, -1, -1, 1, 1);
  e->visibility = 0.9f;  // the same material, transparent on this node
  scene.Prepare();
  Frame();
  const std::vector<SubMesh*>& drawn = scene.processor->subMeshList;
  ASSERT_EQ(drawn.size(), 5u);
  EXPECT_EQ(drawn[0], d->mesh->subMeshes[0]);
  EXPECT_EQ(drawn[1], b->mesh->subMeshes[0]);
  EXPECT_EQ(drawn[2], c->mesh->subMeshes[0]);
  EXPECT_EQ(drawn[3], a->mesh->subMeshes[0]);  // transparent, by material id
  EXPECT_EQ(drawn[4], e->mesh->subMeshes[0]);
}

TEST_F(DefaultProcessorTest, ApplyRunsOnlyWhenTheMaterialOrTheVisibilityChanges) {
  CountingMaterial* shared = Counting();
  Group* first = scene.Quad(scene.Root(), shared, -1, -1, 1, 1);
  Group* second = scene.Quad(scene.Root(), shared, 2, -1, 3, 1);
  scene.Prepare();
  Frame();
  EXPECT_EQ(shared->applies, 1);  // two submeshes, one material, one visibility
  Frame();
  EXPECT_EQ(shared->applies, 2);  // the memory starts afresh every frame
  second->visibility = 2.0f;      // still v = 1 and opaque, but a different visibility
  Frame();
  EXPECT_EQ(shared->applies, 4);
  first->visibility = 2.0f;
  Frame();
  EXPECT_EQ(shared->applies, 5);
}

TEST_F(DefaultProcessorTest, DrawSetsTheSceneStatesAndTheGlowPassDarkensTheAmbient) {
  scene.graph->ambient = {0.5f, 0.25f, 1.0f, 1.0f};
  scene.Prepare();
  IDirect3DDevice9* device = scene.device;
  device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  device->SetRenderState(D3DRS_STENCILENABLE, TRUE);
  device->SetRenderState(D3DRS_COLORVERTEX, TRUE);
  Frame();
  EXPECT_EQ(RenderState(device, D3DRS_AMBIENT), 0xFF8040FFu);
  EXPECT_EQ(RenderState(device, D3DRS_CULLMODE), DWORD{D3DCULL_CCW});
  EXPECT_EQ(RenderState(device, D3DRS_STENCILENABLE), DWORD{FALSE});
  EXPECT_EQ(RenderState(device, D3DRS_COLORVERTEX), DWORD{FALSE});
  EXPECT_EQ(RenderState(device, D3DRS_ZENABLE), DWORD{TRUE});
  EXPECT_EQ(RenderState(device, D3DRS_ZWRITEENABLE), DWORD{TRUE});
  EXPECT_EQ(RenderState(device, D3DRS_SPECULARENABLE), DWORD{TRUE});
  for (auto source : {D3DRS_AMBIENTMATERIALSOURCE, D3DRS_SPECULARMATERIALSOURCE,
                      D3DRS_EMISSIVEMATERIALSOURCE})
    EXPECT_EQ(RenderState(device, source), DWORD{D3DMCS_MATERIAL});
  scene.cache().glowPass = 1;
  scene.processor->Draw();
  EXPECT_EQ(RenderState(device, D3DRS_AMBIENT), 0u);
}

TEST_F(DefaultProcessorTest, ASubMeshWithoutMaterialOrMeshWithoutSubMeshesDrawsNothing) {
  scene.graph->ambient = {1, 1, 1, 1};
  scene.Quad(scene.Root(), nullptr, -5, -5, 5, 5);
  Group* bare = scene.Node(scene.Root(), 0, 0, 0);
  Group* source = scene.Quad(scene.Root(), scene.ColorMaterial({1, 1, 1, 1}), 8, 8, 9, 9);
  scene.AttachMesh(bare, source->mesh->vertexBuffer.Resolve(), source->mesh->indexBuffer.Resolve(), {});
  scene.Prepare();
  scene.Render();
  EXPECT_TRUE(RgbNear(scene.Pixel(32, 24), {0, 0, 0}, 0));
}

}  // namespace
