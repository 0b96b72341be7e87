#include "scene/SceneGraph.h"

#include <cstring>

#include "scene/Camera.h"
#include "scene/DefaultProcessor.h"
#include "scene/GlowProcessor.h"
#include "scene/Group.h"
#include "scene/SceneFatal.h"

Base* SceneGraphFindObject(const SceneGraph* graph, std::int32_t id) {
  return graph->FindObject(id);
}

SceneGraph::SceneGraph(IDirect3DDevice9* device) : cache(std::make_unique<StateCache>(device)) {}

SceneGraph::~SceneGraph() {
  firstWithId.clear();  // nothing is found while the objects go
  // Objects go first, in registration order, while the lists they leave still exist.
  for (auto& object : objects) object.reset();
  controllers.clear();
  cache.reset();
}

Base* SceneGraph::FindObject(std::int32_t id) const {
  if (id == -1) return nullptr;
  auto first = firstWithId.find(id);
  if (first == firstWithId.end()) return nullptr;
  if (Base* found = objects[first->second].get()) return found;
  // That object was deleted early: a later one with the same id, if any.
  for (std::size_t i = first->second + 1; i < objects.size(); ++i)
    if (objects[i] && objects[i]->id == id) return objects[i].get();
  return nullptr;
}

void SceneGraph::SetActiveCamera(Camera* camera) {
  if (activeCamera) activeCamera->Deactivate();
  activeCamera = camera;
  if (camera) camera->Activate();
}

void SceneGraph::SetActiveCameraByName(const char* name) {
  if (!name) return;
  for (Camera* camera : cameras) {
    if (camera->name == name) {
      SetActiveCamera(camera);
      return;
    }
  }
}

void SceneGraph::Prepare() {
  if (prepared) return;
  if (cache->hasShadowFlag1 && cache->hasShadowFlag2 && cache->hasShadowLight)
    cache->shadowsEnabled = 1;
  // Linking may register nothing new, but index by position all the same.
  for (std::size_t i = 0; i < objects.size(); ++i) objects[i]->Link();
  RefuseAncestorCycles();
  if (root) root->Update(true);
  if (skybox) skybox->Update(true);
  defaultProcessor = Create<DefaultProcessor>(NextId());
  processors.push_back(defaultProcessor);
  processors.push_back(Create<GlowProcessor>(NextId()));
  prepared = true;
}

void SceneGraph::RefuseAncestorCycles() const {
  std::vector<Group*> nodes;
  for (const auto& object : objects)
    if (auto* node = dynamic_cast<Group*>(object.get())) nodes.push_back(node);
  // Linked parents are resolved and cached already.
  const Group* looped = Group::FindAncestorCycle(
      nodes, [](const Group& node) { return Group::HasParentId(node.parent.id) ? node.parent.target : nullptr; });
  if (looped) SceneFatal("Node \"" + looped->name + "\" is its own ancestor");
}

void SceneGraph::SetTime(float time) {
  for (auto& controller : controllers) controller->Evaluate(time);
}

void SceneGraph::Render() {
  cache->glowPass = 0;
  // Without a camera there is no view to cull or draw against.
  if (!activeCamera || !root) return;
  activeCamera->Activate();
  for (Processor* processor : processors) processor->BeginFrame();
  for (Processor* processor : processors) {
    processor->ClearLists();
    root->Collect(processor);
    processor->Draw();
  }
}
