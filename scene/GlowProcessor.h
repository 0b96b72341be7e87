// The glow pipeline: the collected scene drawn again into a 512x512 target with
// every material reduced to its self-illumination, blurred down the chain of
// shared targets and every level added over the frame.
#pragma once

#include <cstdint>

#include "platform/d3d9/d3d9.h"
#include "platform/os/ComOwner.h"
#include "scene/DefaultProcessor.h"

class GlowProcessor : public DefaultProcessor {
 public:
  GlowProcessor(std::int32_t id, SceneGraph* graph);
  ~GlowProcessor() override;

  void Draw() override;
  void SetBlurTaps(float spread, float targetSize, bool vertical, bool statesDone);

  ComOwner<IDirect3DVertexBuffer9> quadBuffer;
  bool fewTextureUnits = false;  // fewer than 4 simultaneous textures

 private:
  // The collected scene into the first level, every material its self-illumination.
  void DrawGlowPass();
  // The full-screen quad's transforms, vertices and raster states.
  void SetQuadStates();
  // Each level from the one before, blurred.
  void BlurDownTheChain();
  // Every level added over the frame.
  void AddLevelsToFrame();
};
