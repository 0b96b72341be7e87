#include "scene/Group.h"

#include <cmath>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "scene/Camera.h"
#include "scene/Mesh.h"
#include "scene/Processor.h"
#include "scene/SceneFatal.h"
#include "scene/SceneGraph.h"

namespace {

void SetUpperIdentity(D3DXMATRIX& matrix) {
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column) matrix.m[row][column] = row == column ? 1.0f : 0.0f;
}

D3DXVECTOR3 WorldPosition(const Group& node) {
  return D3DXVECTOR3(node.worldMatrix._41, node.worldMatrix._42, node.worldMatrix._43);
}

}  // namespace

bool Group::HasParentId(std::int32_t id) {
  return (static_cast<std::uint32_t>(id) & 0xFFFFu) != 0xFFFFu;
}

Group* Group::FindAncestorCycle(const std::vector<Group*>& nodes,
                                const std::function<Group*(const Group&)>& parentOf) {
  enum class Seen : std::uint8_t { OnThisWalk, ReachesARoot };
  std::unordered_map<const Group*, Seen> seen;
  std::vector<const Group*> walk;
  for (Group* start : nodes) {
    walk.clear();
    Group* node = start;
    while (node) {
      auto [at, fresh] = seen.try_emplace(node, Seen::OnThisWalk);
      if (!fresh) {
        if (at->second == Seen::OnThisWalk) return node;
        break;
      }
      walk.push_back(node);
      node = parentOf(*node);
    }
    for (const Group* done : walk) seen[done] = Seen::ReachesARoot;
  }
  return nullptr;
}

Group::Group(std::int32_t id, SceneGraph* graph) : Base(id, graph), parent(graph) {
  D3DXMatrixIdentity(&localMatrix);
  D3DXMatrixIdentity(&worldMatrix);
}

Group::~Group() = default;

void Group::UpdateOwnTransform() {
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
}

void Group::AddChildBound(const Group& child) {
  const D3DXVECTOR3 offset = WorldPosition(child) - WorldPosition(*this);
  // Squared radius plus squared distance: not the square of their sum.
  const float enclosing = child.boundRadiusSq + D3DXVec3LengthSq(&offset);
  if (enclosing > boundRadiusSq) boundRadiusSq = enclosing;
}

void Group::Update(bool recurse) {
  if (!recurse) {
    RefreshDeviceState();
    return;
  }
  // Depth first, as a recursion would go: a node's transform before its
  // children's, its bound and device state after its whole subtree.
  struct Visit {
    Group* node;
    std::size_t nextChild;
  };
  std::vector<Visit> stack{{this, 0}};
  UpdateOwnTransform();
  while (!stack.empty()) {
    Visit& top = stack.back();
    if (top.nextChild < top.node->children.size()) {
      Group* child = top.node->children[top.nextChild++];
      child->UpdateOwnTransform();
      stack.push_back({child, 0});
      continue;
    }
    Group* done = top.node;
    stack.pop_back();
    done->RefreshDeviceState();
    if (!stack.empty()) stack.back().node->AddChildBound(*done);
  }
}

float* Group::GetControlField(const char* name) {
  if (name && std::strcmp(name, "VISTRACK") == 0) return &visibility;
  SceneFatal("Group: Invalid control field!");
}

void Group::Link() {
  if (!HasParentId(parent.id)) return;
  const std::string what = "The parent of node \"" + name + "\"";
  // A node among its own ancestors is refused once the whole scene is linked
  // (SceneGraph::Prepare), in one pass over all nodes.
  parent.Require(what.c_str()).children.push_back(this);
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
  std::vector<Group*> pending{this};
  while (!pending.empty()) {
    Group* node = pending.back();
    pending.pop_back();
    if (!camera->SphereVisible(WorldPosition(*node), std::sqrt(node->boundRadiusSq))) continue;
    if (node->alignMode == AlignMode::kFaceCamera) node->FaceCamera();
    processor->CollectNode(node);
    // Reversed, so that the first child comes off the stack first.
    pending.insert(pending.end(), node->children.rbegin(), node->children.rend());
  }
}
