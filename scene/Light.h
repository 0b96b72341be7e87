// A light node: a fixed-function device light whose position and direction follow
// the node and whose colour and intensity are control fields.
#pragma once

#include <cstdint>

#include "platform/d3d9/d3d9types.h"
#include "scene/Group.h"

class Light : public Group {
 public:
  static constexpr const char* kObjectName = "light";

  Light(std::int32_t id, SceneGraph* graph);
  ~Light() override;  // leaves the graph's light list

  // "Intensity", "Shadow Multiplier", "ColorR".."ColorA", "Shadow ColorR".."Shadow ColorA"
  float* GetControlField(const char* name) override;
  void Link() override;  // joins the light list

  D3DLIGHT9 deviceLight{};
  std::int32_t lightIndex = -1;
  D3DCOLORVALUE color{};
  float intensity = 0;
  float thetaDegrees = 0;
  float phiDegrees = 0;
  bool castsShadows = false;
  D3DCOLORVALUE shadowColor{};  // animatable; nothing draws with it

 protected:
  // Rebuilds deviceLight and sets it through the state cache (index on first use).
  void RefreshDeviceState() override;
};
