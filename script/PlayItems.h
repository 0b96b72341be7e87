// The items that start and stop the current scene, Flash movie and music, and
// the ones that reach into whatever is current (volume, camera).
#pragma once

#include <cstdint>
#include <string>

#include "script/ScriptItem.h"

class SetVolume : public ScriptItem {
 public:
  SetVolume(Scripter* scripter, std::int32_t volume) : ScriptItem(scripter), volume(volume) {}
  bool execute(float now) override;
  std::int32_t volume;
};

class PlayScene : public ScriptItem {
 public:
  PlayScene(Scripter* scripter, std::string slotName)
      : ScriptItem(scripter), slotName(std::move(slotName)) {}
  bool execute(float now) override;
  std::string slotName;
};

class PlayFlash : public ScriptItem {
 public:
  PlayFlash(Scripter* scripter, std::string slotName, std::int32_t quality, std::int32_t mode)
      : ScriptItem(scripter), slotName(std::move(slotName)), quality(quality), mode(mode) {}
  bool execute(float now) override;
  std::string slotName;
  std::int32_t quality;
  std::int32_t mode;
};

class PlayMusic : public ScriptItem {
 public:
  PlayMusic(Scripter* scripter, std::string slotName, std::int32_t startPosition)
      : ScriptItem(scripter), slotName(std::move(slotName)), startPosition(startPosition) {}
  bool execute(float now) override;
  std::string slotName;
  std::int32_t startPosition;
};

class SetActiveCamera : public ScriptItem {
 public:
  SetActiveCamera(Scripter* scripter, std::string cameraName)
      : ScriptItem(scripter), cameraName(std::move(cameraName)) {}
  bool execute(float now) override;
  std::string cameraName;
};

class StopScene : public ScriptItem {
 public:
  using ScriptItem::ScriptItem;
  bool execute(float now) override;
};

class StopFlash : public ScriptItem {
 public:
  using ScriptItem::ScriptItem;
  bool execute(float now) override;
};

class StopMusic : public ScriptItem {
 public:
  using ScriptItem::ScriptItem;
  bool execute(float now) override;
};
