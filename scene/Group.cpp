#include "scene/Group.h"

#include <cmath>
#include <cstring>
#include <string>

#include "scene/Camera.h"
#include "scene/Mesh.h"
#include "scene/Processor.h"
#include "scene/SceneFatal.h"
#include "scene/SceneGraph.h"

namespace {

// Ids whose low 16 bits are all ones mean "no parent" (-1 among them).
bool HasParentId(std::int32_t id) { return (static_cast<std::uint32_t>(id) & 0xFFFFu) != 0xFFFFu; }

void SetUpperIdentity(D3DXMATRIX& matrix) {
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column) matrix.m[row][column] = row == column ? 1.0f : 0.0f;
}

}  // namespace

Group::Group(std::int32_t id, SceneGraph* graph) : Base(id, graph), parent(graph) {
  D3DXMatrixIdentity(&localMatrix);
  D3DXMatrixIdentity(&worldMatrix);
}

Group::~Group() = default;

void Group::Update(bool recurse) {
  if (!recurse) return;
  if (alignMode == AlignMode::kFollowParentPosition) transform.rotation = D3DXQUATERNION(0, 0, 0, 1);
  localMatrix = transform.Compose();
  if (Group* parentNode = parent.Resolve()) {
    D3DXMatrixMultiply(&worldMatrix, &localMatrix, &parentNode->worldMatrix);
    if (alignMode == AlignMode::kFollowParentPosition) SetUpperIdentity(worldMatrix);
  } else {
    worldMatrix = localMatrix;
  }

  boundRadiusSq = 0;
  if (mesh) {
    // The squared radius stands in for a length here, as designed: the bound grows
    // with the square of the mesh's size.
    const D3DXVECTOR3 reach(mesh->radiusSq, 0, 0);
    D3DXVECTOR3 extent;
    D3DXVec3TransformNormal(&extent, &reach, &worldMatrix);
    boundRadiusSq = D3DXVec3LengthSq(&extent);
  }
  const D3DXVECTOR3 position(worldMatrix._41, worldMatrix._42, worldMatrix._43);
  for (Group* child : children) {
    child->Update(true);
    const D3DXVECTOR3 offset =
        D3DXVECTOR3(child->worldMatrix._41, child->worldMatrix._42, child->worldMatrix._43) -
        position;
    // Squared radius plus squared distance: not the square of their sum.
    const float enclosing = child->boundRadiusSq + D3DXVec3LengthSq(&offset);
    if (enclosing > boundRadiusSq) boundRadiusSq = enclosing;
  }
}

float* Group::GetControlField(const char* name) {
  if (name && std::strcmp(name, "VISTRACK") == 0) return &visibility;
  SceneFatal("Group: Invalid control field!");
}

void Group::Link() {
  if (!HasParentId(parent.id)) return;
  const std::string what = "The parent of node \"" + name + "\"";
  Group& parentNode = parent.Require(what.c_str());
  // Update and Collect recurse through the tree: a node among its own ancestors
  // would send them round for ever, and a very deep chain would exhaust the stack.
  int depth = 0;
  for (Group* ancestor = &parentNode; ancestor; ++depth) {
    if (ancestor == this) SceneFatal("Node \"" + name + "\" is its own ancestor");
    if (depth == kMaxAncestors)
      SceneFatal("Node \"" + name + "\" is nested more than " + std::to_string(kMaxAncestors) +
                 " levels deep");
    ancestor = HasParentId(ancestor->parent.id) ? ancestor->parent.Resolve() : nullptr;
  }
  parentNode.children.push_back(this);
}

void Group::FaceCamera() {
  Camera* camera = graph->activeCamera;
  if (!camera) return;
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column)
      worldMatrix.m[row][column] = camera->view.m[column][row];
  worldMatrix._14 = worldMatrix._24 = worldMatrix._34 = 0.0f;
  worldMatrix._44 = 1.0f;
  for (Group* child : children) child->Update(true);
}

void Group::Collect(Processor* processor) {
  // Without a camera there is no frustum: nothing is visible.
  Camera* camera = graph->activeCamera;
  if (!camera) return;
  const D3DXVECTOR3 centre(worldMatrix._41, worldMatrix._42, worldMatrix._43);
  if (!camera->SphereVisible(centre, std::sqrt(boundRadiusSq))) return;
  if (alignMode == AlignMode::kFaceCamera) FaceCamera();
  processor->CollectNode(this);
  for (Group* child : children) child->Collect(processor);
}
