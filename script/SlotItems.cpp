#include "script/SlotItems.h"

#include <memory>

#include "media/FlashPlayer.h"
#include "media/ImageBlitter.h"
#include "media/MP3Player.h"
#include "platform/d3dx/d3dx9math.h"
#include "scene/SceneGraph.h"
#include "scene/loading/PSKSceneLoader.h"
#include "script/Scripter.h"

namespace {

float ChannelFloat(std::int32_t parsed) {
  // Negative values wrap to huge unsigned ones, so -1 ends up as full intensity.
  return static_cast<float>(static_cast<std::uint32_t>(parsed)) * 0.003921569f;
}

}  // namespace

bool LoadScene::execute(float) {
  scripter->freeScene(slotName);
  auto graph = std::make_unique<SceneGraph>(scripter->device);
  graph->Create<PSKSceneLoader>(graph->NextId())->LoadFile(fileName.c_str());
  scripter->scenes[slotName] = std::move(graph);
  return true;
}

bool LoadFlash::execute(float) {
  scripter->freeFlash(slotName);
  scripter->flashes[slotName] = std::make_unique<FlashPlayer>(
      scripter->device, scripter->screenWidth, scripter->screenHeight, fileName.c_str());
  return true;
}

bool LoadMusic::execute(float) {
  scripter->freeMusic(slotName);
  scripter->musics[slotName] = std::make_unique<MP3Player>(fileName.c_str());
  return true;
}

bool LoadImage::execute(float) {
  scripter->freeImage(slotName);
  scripter->images[slotName] =
      std::make_unique<ImageBlitter>(scripter->device, fileName.c_str(), scripter->screenWidth,
                                     scripter->screenHeight, false, 0xFFFFFFFFu);
  return true;
}

CreateColor::CreateColor(Scripter* s, std::int32_t r, std::int32_t g, std::int32_t b,
                         std::string slotName)
    : ScriptItem(s),
      red(ChannelFloat(r)),
      green(ChannelFloat(g)),
      blue(ChannelFloat(b)),
      slotName(std::move(slotName)) {}

bool CreateColor::execute(float) {
  scripter->freeImage(slotName);
  const std::uint32_t color = static_cast<DWORD>(D3DXCOLOR(red, green, blue, 1.0f));
  scripter->images[slotName] = std::make_unique<ImageBlitter>(
      scripter->device, "", scripter->screenWidth, scripter->screenHeight, true, color);
  return true;
}

bool FreeScene::execute(float) {
  scripter->freeScene(slotName);
  return true;
}

bool FreeFlash::execute(float) {
  scripter->freeFlash(slotName);
  return true;
}

bool FreeMusic::execute(float) {
  scripter->freeMusic(slotName);
  return true;
}

bool FreeImage::execute(float) {
  scripter->freeImage(slotName);
  return true;
}
