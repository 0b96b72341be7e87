// Where the player puts what a scene file holds, worked out with the player's own
// matrix library: node world matrices, the active camera's view and projection,
// light directions, and screen positions on the 1024 by 768 virtual screen.
#pragma once

#include <array>

#include "platform/d3dx/d3dx9math.h"
#include "sceneimport/SceneFileReader.h"

D3DXMATRIX LocalMatrix(const ReadNode& node);
D3DXMATRIX WorldMatrix(const SceneFile& file, const ReadNode& node);
// The camera's view (inverse of its rest-turned placement) and its projection.
D3DXMATRIX CameraView(const SceneFile& file, const ReadNode& camera);
D3DXMATRIX CameraProjection(const ReadNode& camera);
// The direction the player's light shines in.
D3DXVECTOR3 LightDirection(const SceneFile& file, const ReadNode& light);

struct ScreenPoint {
  float x = 0, y = 0, depth = 0;  // pixels from the top-left; depth 0..1 when in view
};
ScreenPoint Project(const SceneFile& file, const ReadNode& camera, const ReadNode& node,
                    const std::array<float, 3>& local);
