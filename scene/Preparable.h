// An object whose float control fields the animation controllers write by name,
// and which recomputes its derived state when told to. Entry thread only.
#pragma once

class SceneGraph;
class Configuration;

class Preparable {
 public:
  static constexpr const char* kObjectName = "animatable object";

  virtual ~Preparable();
  // Recomputes derived state after control fields or the transform changed.
  virtual void Update(bool recurse) = 0;
  // The float behind a control-field name (case-sensitive), or null (then the
  // class has already reported the name; most classes end the show instead).
  virtual float* GetControlField(const char* name) = 0;
  // Builds one keyframe controller per animation listed in `properties`, key times
  // mapped as time * animScale + animOffset, and hands them to `graph`.
  void LoadAnimations(SceneGraph* graph, const Configuration& properties, float animOffset,
                      float animScale);
};
