#include "script/Scripter.h"

#include <algorithm>

#include "media/FlashPlayer.h"
#include "media/ImageBlitter.h"
#include "media/MP3Player.h"
#include "media/SoundSystem.h"
#include "platform/d3d9/d3d9.h"
#include "scene/GlowTargets.h"
#include "scene/SceneGraph.h"

Scripter::Scripter(IDirect3DDevice9* device, std::uint32_t screenWidth,
                   std::uint32_t screenHeight, ScriptClock clock)
    : device(device), screenWidth(screenWidth), screenHeight(screenHeight), clock(std::move(clock)) {
  StartSoundSystem();
  CreateGlowTargets(device);
}

Scripter::~Scripter() {
  items.clear();
  scenes.clear();
  flashes.clear();
  musics.clear();
  // Layers only point at images; drop them before the images go.
  layers.clear();
  images.clear();
  CloseSoundSystem();
  ReleaseGlowTargets();
}

bool Scripter::update(bool draw) {
  if (nextItem >= items.size()) return true;
  float now = clock();
  while (items[nextItem]->execute(now - scriptClockOffset)) {
    ++nextItem;
    if (nextItem >= items.size()) return true;
    now = clock();
  }
  const float t = now - scriptClockOffset;
  if (!draw) {
    for (auto& entry : layers) entry.second.skip(t);
    if (currentScene) currentScene->SetTime(now - sceneClockOffset);
    return false;
  }
  device->BeginScene();
  drawLayers(true, t);
  if (currentScene) {
    currentScene->SetTime(now - sceneClockOffset);
    currentScene->Render();
  }
  drawLayers(false, t);
  device->EndScene();
  return false;
}

void Scripter::drawLayers(bool negative, float t) {
  auto first = negative ? layers.begin() : layers.lower_bound(0);
  auto last = negative ? layers.lower_bound(0) : layers.end();
  for (auto it = first; it != last; ++it) it->second.draw(t);
}

void Scripter::freeScene(const std::string& name) {
  auto it = scenes.find(name);
  if (it == scenes.end()) return;
  if (currentScene == it->second.get()) currentScene = nullptr;
  scenes.erase(it);
}

void Scripter::freeFlash(const std::string& name) {
  auto it = flashes.find(name);
  if (it == flashes.end()) return;
  if (currentFlash == it->second.get()) currentFlash = nullptr;
  flashes.erase(it);
}

void Scripter::freeMusic(const std::string& name) {
  auto it = musics.find(name);
  if (it == musics.end()) return;
  if (currentMusic == it->second.get()) {
    currentMusic = nullptr;
    it->second->stop();
  }
  musics.erase(it);
}

void Scripter::freeImage(const std::string& name) {
  auto it = images.find(name);
  if (it == images.end()) return;
  ImageBlitter* image = it->second.get();
  std::erase_if(layers, [&](const auto& entry) { return entry.second.image == image; });
  images.erase(it);
}
