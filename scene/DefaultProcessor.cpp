#include "scene/DefaultProcessor.h"

#include <algorithm>
#include <utility>

#include "platform/d3dx/d3dx9math.h"
#include "scene/Camera.h"
#include "scene/Group.h"
#include "scene/Material.h"
#include "scene/Mesh.h"
#include "scene/SceneGraph.h"
#include "scene/StateCache.h"
#include "scene/SubMesh.h"

namespace {

// Binds the mesh's streams, and its vertex format unless `*boundFvf` (0 for none)
// says the device holds it already.
VertexBuffer& BindMesh(StateCache& state, Mesh& mesh, const char* what, DWORD* boundFvf) {
  mesh.BindStreams();
  VertexBuffer& vertices = mesh.vertexBuffer.Require(what);
  if (vertices.fvf != *boundFvf) {
    state.device->SetFVF(vertices.fvf);
    state.device->SetVertexShader(nullptr);
    *boundFvf = vertices.fvf;
  }
  return vertices;
}

void DrawRange(StateCache& state, const VertexBuffer& vertices, const SubMesh& subMesh) {
  state.DrawIndexed(D3DPT_TRIANGLELIST, 0, 0, vertices.vertexCount, subMesh.startIndex,
                    subMesh.indexCount / 3);
}

}  // namespace

DefaultProcessor::DefaultProcessor(std::int32_t id, SceneGraph* graph) : Processor(id, graph) {}

DefaultProcessor::~DefaultProcessor() = default;

void DefaultProcessor::ClearLists() {
  std::vector<SubMesh*>().swap(subMeshList);
  std::vector<Sprite*>().swap(spriteList);
}

void DefaultProcessor::CollectNode(Group* group) {
  if (group->visibility <= 0.5f) return;
  if (group->mesh)
    subMeshList.insert(subMeshList.end(), group->mesh->subMeshes.begin(),
                       group->mesh->subMeshes.end());
  if (group->sprite) spriteList.push_back(group->sprite);
}

void DefaultProcessor::Draw() {
  lastMaterial = nullptr;
  lastVisibility = 0;
  lastFvf = 0;
  StateCache& state = *cache;

  if (Group* skybox = graph->skybox) {
    state.SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    state.SetRenderState(D3DRS_ZENABLE, FALSE);
    if (const Camera* camera = graph->activeCamera) {
      skybox->worldMatrix._41 = camera->worldMatrix._41;
      skybox->worldMatrix._42 = camera->worldMatrix._42;
      skybox->worldMatrix._43 = camera->worldMatrix._43;
    }
    if (Mesh* mesh = skybox->mesh) {
      DWORD skyboxFvf = 0;  // set afresh here, and again for the first mesh after
      const VertexBuffer& vertices = BindMesh(state, *mesh, "Skybox vertex buffer", &skyboxFvf);
      mesh->SetWorld(*skybox);
      for (SubMesh* subMesh : mesh->subMeshes) {
        Material* material = subMesh->material.Resolve();
        if (!material) continue;
        material->Apply(1.0f);
        state.SetRenderState(D3DRS_LIGHTING, FALSE);
        DrawRange(state, vertices, *subMesh);
      }
    }
  }

  state.SetRenderState(D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL);
  state.SetRenderState(D3DRS_COLORVERTEX, FALSE);
  const DWORD ambient = state.glowPass ? 0 : static_cast<DWORD>(D3DXCOLOR(graph->ambient));
  state.SetRenderState(D3DRS_AMBIENT, ambient);
  state.SetRenderState(D3DRS_SPECULARENABLE, TRUE);
  state.SetRenderState(D3DRS_SPECULARMATERIALSOURCE, D3DMCS_MATERIAL);
  state.SetRenderState(D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL);
  state.SetRenderState(D3DRS_STENCILENABLE, FALSE);
  state.SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
  state.SetRenderState(D3DRS_ZENABLE, TRUE);
  state.SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);

  SortSubMeshes();
  for (SubMesh* subMesh : subMeshList) DrawSubMesh(subMesh);

  if (!spriteList.empty()) DrawSprites();
}

void DefaultProcessor::SortSubMeshes() {
  // The key is worked out once per entry rather than once per comparison.
  sortKeys_.clear();
  sortKeys_.reserve(subMeshList.size());
  for (SubMesh* subMesh : subMeshList) {
    const std::uint64_t key = (std::uint64_t{subMesh->IsTransparent()} << 32) |
                              static_cast<std::uint32_t>(subMesh->material.id);
    sortKeys_.emplace_back(key, subMesh);
  }
  std::sort(sortKeys_.begin(), sortKeys_.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 0; i < sortKeys_.size(); ++i) subMeshList[i] = sortKeys_[i].second;
}

void DefaultProcessor::DrawSubMesh(SubMesh* subMesh) {
  Material* material = subMesh->material.Resolve();
  if (!material) return;
  Mesh* mesh = subMesh->mesh;
  Group* group = mesh ? mesh->group : nullptr;
  if (!group) return;  // a submesh the loader never attached has nowhere to be drawn
  const VertexBuffer& vertices = BindMesh(*cache, *mesh, "Mesh vertex buffer", &lastFvf);
  if (material != lastMaterial || group->visibility != lastVisibility) {
    material->Apply(group->visibility);
    lastMaterial = material;
    lastVisibility = group->visibility;
  }
  mesh->SetWorld(*group);
  DrawRange(*cache, vertices, *subMesh);
}
