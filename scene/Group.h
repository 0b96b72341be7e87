// The scene node: a local transform under a parent node, its world matrix, a
// bounding sphere of its subtree, an optional mesh and sprite, and the hand-over
// of itself and its children to a render pipeline after frustum culling.
// A group owns only its property set; children, mesh and sprite belong to the graph.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/d3dx/d3dx9math.h"
#include "scene/Base.h"
#include "scene/ObjectRef.h"
#include "scene/Preparable.h"
#include "scene/Transform.h"
#include "scene/loading/Configuration.h"

class Mesh;
class Sprite;
class Processor;

// How a node turns with its surroundings.
enum class AlignMode : std::int32_t {
  kNone = 0,
  kFaceCamera = 1,            // turned to face the active camera when collected
  kFollowParentPosition = 2,  // takes its parent's position only, never its rotation
};

class Group : public Preparable, public Base {
 public:
  static constexpr const char* kObjectName = "node";
  // Deeper nesting ends the show at link time (the tree is walked recursively).
  static constexpr int kMaxAncestors = 1024;

  Group(std::int32_t id, SceneGraph* graph);
  ~Group() override;

  void Update(bool recurse) override;
  float* GetControlField(const char* name) override;  // "VISTRACK"
  void Link() override;
  // Turns the world matrix to face the active camera, then updates the children.
  virtual void FaceCamera();
  // Culls the subtree against the active camera, then hands the nodes to `processor`.
  virtual void Collect(Processor* processor);

  Transform transform;
  ObjectRef<Group> parent;  // id -1: the root or the skybox
  D3DXMATRIX localMatrix;
  D3DXMATRIX worldMatrix;   // its translation row is the world position
  std::string name;
  std::string userText;
  float boundRadiusSq = 0;  // squared radius around the world position
  std::vector<Group*> children;  // filled by the children's Link; not owned
  Mesh* mesh = nullptr;          // not owned
  Sprite* sprite = nullptr;      // not owned
  float visibility = 1.0f;       // "VISTRACK"; drawables hidden at 0.5 or less
  Configuration properties;
  bool shadowFlag1 = false;
  bool shadowFlag2 = false;
  AlignMode alignMode = AlignMode::kNone;
};
