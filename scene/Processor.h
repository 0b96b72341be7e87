// One render pipeline of a scene graph: each frame its lists are cleared, the
// tree is collected into it, and it draws what it collected.
#pragma once

#include "scene/Base.h"

class Group;

class Processor : public Base {
 public:
  using Base::Base;
  virtual void BeginFrame() {}
  virtual void ClearLists() {}
  virtual void Draw() {}
  virtual void CollectNode(Group*) {}
};
