// The items that fill and empty the named resource slots. Each load first empties
// a slot of the same name, exactly as the matching free item does.
#pragma once

#include <cstdint>
#include <string>

#include "script/ScriptItem.h"

class SlotItem : public ScriptItem {
 public:
  SlotItem(Scripter* s, std::string slotName) : ScriptItem(s), slotName(std::move(slotName)) {}
  std::string slotName;
};

class LoadItem : public ScriptItem {
 public:
  LoadItem(Scripter* s, std::string fileName, std::string slotName)
      : ScriptItem(s), fileName(std::move(fileName)), slotName(std::move(slotName)) {}
  std::string fileName;
  std::string slotName;
};

class LoadScene : public LoadItem {
 public:
  using LoadItem::LoadItem;
  bool execute(float now) override;
};

class LoadFlash : public LoadItem {
 public:
  using LoadItem::LoadItem;
  bool execute(float now) override;
};

class LoadMusic : public LoadItem {
 public:
  using LoadItem::LoadItem;
  bool execute(float now) override;
};

class LoadImage : public LoadItem {
 public:
  using LoadItem::LoadItem;
  bool execute(float now) override;
};

class CreateColor : public ScriptItem {
 public:
  // Channels as parsed; each is taken as unsigned 32-bit and scaled by 1/255.
  CreateColor(Scripter* s, std::int32_t red, std::int32_t green, std::int32_t blue,
              std::string slotName);
  bool execute(float now) override;
  float red, green, blue;
  std::string slotName;
};

class FreeScene : public SlotItem {
 public:
  using SlotItem::SlotItem;
  bool execute(float now) override;
};

class FreeFlash : public SlotItem {
 public:
  using SlotItem::SlotItem;
  bool execute(float now) override;
};

class FreeMusic : public SlotItem {
 public:
  using SlotItem::SlotItem;
  bool execute(float now) override;
};

class FreeImage : public SlotItem {
 public:
  using SlotItem::SlotItem;
  bool execute(float now) override;
};
