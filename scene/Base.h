// Every object of a scene: an id unique within its scene graph, the graph that
// owns it and the graph's state cache, through which it reaches the device.
// Objects are made by SceneGraph::Create, which registers them (and so hands
// their ownership to the graph) in construction order. Entry thread only.
#pragma once

#include <cstdint>

class SceneGraph;
class StateCache;

class Base {
 public:
  Base(std::int32_t id, SceneGraph* graph);
  // Resolves references and joins the graph's lists; run once by SceneGraph::Prepare.
  virtual void Link();
  virtual ~Base();
  Base(const Base&) = delete;
  Base& operator=(const Base&) = delete;

  std::int32_t id;
  StateCache* cache;  // the graph's, not owned
  SceneGraph* graph;  // the owner, not owned
};
