// One loaded 3D scene. It owns every object of the scene (registered in
// construction order through Create), every controller and the state cache;
// keeps the lists the renderer and the animation walk; knows the root, the
// skybox and the active camera. Prepared once when it starts playing, then each
// frame driven with SetTime and drawn with Render. Entry thread only.
#pragma once

#include <cstdint>
#include <cstddef>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/d3d9/d3d9.h"
#include "scene/Base.h"
#include "scene/StateCache.h"
#include "scene/loading/Controller.h"

class Group;
class Camera;
class Light;
class Processor;
class DefaultProcessor;

class SceneGraph {
 public:
  explicit SceneGraph(IDirect3DDevice9* device);  // lent, never null
  // Objects in registration order, then controllers, then the state cache.
  virtual ~SceneGraph();
  SceneGraph(const SceneGraph&) = delete;
  SceneGraph& operator=(const SceneGraph&) = delete;

  // Makes a T(id, this, args...) and registers it; the graph owns it.
  template <class T, class... Args>
  T* Create(std::int32_t id, Args&&... args) {
    auto object = std::make_unique<T>(id, this, std::forward<Args>(args)...);
    T* made = object.get();
    firstWithId.try_emplace(id, objects.size());
    objects.push_back(std::move(object));
    return made;
  }
  void AddController(std::unique_ptr<Controller> controller) {
    controllers.push_back(std::move(controller));
  }

  std::int32_t NextId() { return nextId++; }
  // The first registered object with `id`; null for -1 or none. Constant time,
  // so scenes of any size resolve their references quickly.
  Base* FindObject(std::int32_t id) const;
  void SetActiveCamera(Camera* camera);
  void SetActiveCameraByName(const char* name);  // unknown names change nothing
  // Once; later calls do nothing. A node among its own ancestors ends the show.
  void Prepare();
  void SetTime(float time);                      // every controller, in order
  // Draws through every pipeline; a scene without a camera draws nothing of itself.
  void Render();

  Group* root = nullptr;
  std::vector<Processor*> processors;
  std::vector<std::unique_ptr<Controller>> controllers;
  std::vector<std::unique_ptr<Base>> objects;
  std::vector<Camera*> cameras;
  std::vector<Light*> lights;
  Camera* activeCamera = nullptr;
  std::unique_ptr<StateCache> cache;
  Group* skybox = nullptr;
  DefaultProcessor* defaultProcessor = nullptr;
  std::int32_t nextId = 0;
  D3DCOLORVALUE ambient{};
  bool prepared = false;

 private:
  // Position in `objects` of the first object registered with each id.
  void RefuseAncestorCycles() const;

  std::unordered_map<std::int32_t, std::size_t> firstWithId;
};
