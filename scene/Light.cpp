#include "scene/Light.h"

#include <algorithm>
#include <cstring>

#include "scene/SceneGraph.h"
#include "scene/StateCache.h"

Light::Light(std::int32_t id, SceneGraph* graph) : Group(id, graph) {}

Light::~Light() {
  auto& lights = graph->lights;
  auto found = std::find(lights.begin(), lights.end(), this);
  if (found != lights.end()) lights.erase(found);
}

void Light::RefreshDeviceState() {
  const D3DCOLORVALUE lit{intensity * color.r, intensity * color.g, intensity * color.b,
                          intensity * color.a};
  deviceLight.Diffuse = lit;
  deviceLight.Specular = lit;
  deviceLight.Ambient = D3DCOLORVALUE{0, 0, 0, 0};
  const float radiansPerDegree = 0.017453292f;
  deviceLight.Theta = thetaDegrees * radiansPerDegree;
  deviceLight.Phi = phiDegrees * radiansPerDegree;
  deviceLight.Falloff = 1.0f;
  deviceLight.Position = D3DVECTOR{worldMatrix._41, worldMatrix._42, worldMatrix._43};
  // The node's negated y axis.
  deviceLight.Direction = D3DVECTOR{-worldMatrix._12, -worldMatrix._22, -worldMatrix._32};
  cache->SetLight(&deviceLight, lightIndex);
}

float* Light::GetControlField(const char* name) {
  struct Field {
    const char* name;
    float* value;
  };
  const Field fields[] = {
      {"Intensity", &intensity},
      {"Shadow Multiplier", &intensity},
      {"ColorR", &color.r},
      {"ColorG", &color.g},
      {"ColorB", &color.b},
      {"ColorA", &color.a},
      {"Shadow ColorR", &shadowColor.r},
      {"Shadow ColorG", &shadowColor.g},
      {"Shadow ColorB", &shadowColor.b},
      {"Shadow ColorA", &shadowColor.a},
  };
  if (name)
    for (const Field& field : fields)
      if (std::strcmp(name, field.name) == 0) return field.value;
  return Group::GetControlField(name);
}

void Light::Link() {
  Group::Link();
  graph->lights.push_back(this);
}
