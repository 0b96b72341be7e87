#include "scene/SubMesh.h"

#include "scene/Group.h"
#include "scene/Mesh.h"

SubMesh::SubMesh(std::int32_t id, SceneGraph* graph) : Base(id, graph), material(graph) {}

bool SubMesh::IsTransparent() {
  Material* found = material.Resolve();
  if (!found) return false;
  const float visibility = mesh && mesh->group ? mesh->group->visibility : 1.0f;
  return found->IsTransparent(visibility);
}
