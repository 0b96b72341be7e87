// A lazy reference by id to an object of class T in the same scene graph. The id
// is resolved on first use, so it may name an object registered later; a found
// object is cached. The found object is converted with a checked cast: an object
// of another class ends the show ("Error") instead of being used as a T. T names
// itself for that message with `static constexpr const char* kObjectName`.
#pragma once

#include <cstdint>
#include <string>

#include "scene/Base.h"
#include "scene/SceneFatal.h"

// Implemented by SceneGraph.cpp; avoids including the graph here.
Base* SceneGraphFindObject(const SceneGraph* graph, std::int32_t id);

template <class T>
class ObjectRef {
 public:
  explicit ObjectRef(SceneGraph* graph, std::int32_t id = -1) : id(id), graph(graph) {}

  // The object, or null when the id is -1 or names nothing (yet).
  T* Resolve() {
    if (target || id == -1) return target;
    Base* found = SceneGraphFindObject(graph, id);
    if (!found) return nullptr;
    target = dynamic_cast<T*>(found);
    if (!target)
      SceneFatal("Scene object " + std::to_string(id) + " is used as a " + T::kObjectName +
                 " but is another kind of object");
    return target;
  }
  // The object; ends the show when it does not exist. `what` names the use.
  T& Require(const char* what) {
    T* object = Resolve();
    if (!object)
      SceneFatal(std::string(what) + ": scene object " + std::to_string(id) + " does not exist");
    return *object;
  }
  // Sets a new id; forgets a cached object.
  void Set(std::int32_t newId) {
    id = newId;
    target = nullptr;
  }

  std::int32_t id;
  T* target = nullptr;  // cached, not owned
  SceneGraph* graph;    // searched, not owned
};
