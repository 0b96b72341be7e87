// The items that wait for and move the three clocks of the Scripter.
#pragma once

#include "script/ScriptItem.h"

class Wait : public ScriptItem {
 public:
  Wait(Scripter* scripter, float time) : ScriptItem(scripter), time(time) {}
  bool execute(float now) override;
  float time;
};

class SetTime : public ScriptItem {
 public:
  SetTime(Scripter* scripter, float time) : ScriptItem(scripter), time(time) {}
  bool execute(float now) override;
  float time;
};

class SetFlashTime : public ScriptItem {
 public:
  SetFlashTime(Scripter* scripter, float time) : ScriptItem(scripter), time(time) {}
  bool execute(float now) override;
  float time;
};

class SetSceneTime : public ScriptItem {
 public:
  SetSceneTime(Scripter* scripter, float time) : ScriptItem(scripter), time(time) {}
  bool execute(float now) override;
  float time;
};
