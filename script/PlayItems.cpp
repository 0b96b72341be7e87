#include "script/PlayItems.h"

#include "media/FlashPlayer.h"
#include "media/MP3Player.h"
#include "platform/os/oshost.h"
#include "scene/SceneGraph.h"
#include "script/Scripter.h"

namespace {

// A play command naming an empty slot ends the show: the script is wrong.
template <class Map>
auto* FindOrDie(Map& slots, const std::string& name, const char* caption, const char* kind) {
  auto it = slots.find(name);
  if (it == slots.end()) {
    OsFatal(caption, std::string("The ") + kind + " slot '" + name +
                         "' is empty: the play command failed.",
            0);
  }
  return it->second.get();
}

}  // namespace

bool SetVolume::execute(float) {
  if (scripter->currentMusic) scripter->currentMusic->setVolume(volume);
  return true;
}

bool PlayScene::execute(float) {
  SceneGraph* scene = FindOrDie(scripter->scenes, slotName, "PlayScene error", "scene");
  scripter->currentScene = scene;
  scene->Prepare();
  return true;
}

bool PlayFlash::execute(float) {
  FlashPlayer* flash = FindOrDie(scripter->flashes, slotName, "PlayFlash error", "Flash");
  scripter->currentFlash = flash;
  flash->setQuality(quality);
  flash->setMode(mode);
  return true;
}

bool PlayMusic::execute(float) {
  MP3Player* music = FindOrDie(scripter->musics, slotName, "PlayMusic error", "music");
  if (scripter->currentMusic) scripter->currentMusic->stop();
  scripter->currentMusic = music;
  scripter->musicStartClock = scripter->clockTime();
  scripter->musicStartPosition = startPosition;
  music->play(startPosition);
  return true;
}

bool SetActiveCamera::execute(float) {
  if (scripter->currentScene) scripter->currentScene->SetActiveCameraByName(cameraName.c_str());
  return true;
}

bool StopScene::execute(float) {
  scripter->currentScene = nullptr;
  return true;
}

bool StopFlash::execute(float) {
  scripter->currentFlash = nullptr;
  return true;
}

bool StopMusic::execute(float) {
  if (scripter->currentMusic) scripter->currentMusic->stop();
  scripter->currentMusic = nullptr;
  return true;
}
