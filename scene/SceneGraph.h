// One loaded 3D scene: prepared when it starts playing, driven with the scene
// time and rendered once per frame. This build has no scene loader, so every
// scene is empty and draws nothing.
#pragma once

struct IDirect3DDevice9;

class SceneGraph {
 public:
  explicit SceneGraph(IDirect3DDevice9* device) : device(device) {}
  virtual ~SceneGraph() = default;
  SceneGraph(const SceneGraph&) = delete;
  SceneGraph& operator=(const SceneGraph&) = delete;

  void Prepare() { prepared = true; }
  void SetTime(float) {}
  void Render() {}
  void SetActiveCameraByName(const char*) {}

 private:
  IDirect3DDevice9* device;  // not owned
  bool prepared = false;
};
