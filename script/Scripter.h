// The script player: owns the script items, the four resource slot maps and the
// layer stack, keeps the script, scene and Flash clocks, and once per frame runs
// the items that are due and draws the frame (negative layers, current scene,
// non-negative layers). Single-threaded: everything runs on the frame loop.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "script/Layer.h"
#include "script/ScriptItem.h"

struct IDirect3DDevice9;
class SceneGraph;
class FlashPlayer;
class MP3Player;
class ImageBlitter;

// Milliseconds since the shell started its clock, read afresh at each call.
using ScriptClock = std::function<float()>;

class Scripter {
 public:
  // `device` is lent, not owned, and never null. Starts the sound system.
  Scripter(IDirect3DDevice9* device, std::uint32_t screenWidth, std::uint32_t screenHeight,
           ScriptClock clock);
  virtual ~Scripter();
  Scripter(const Scripter&) = delete;
  Scripter& operator=(const Scripter&) = delete;

  // Parses `fileName` (archive first, then disk) and appends its items
  // (ScriptLoader.h has the rules).
  void loadScript(const char* fileName, float timeOffset);
  // Runs the due items and draws the frame; true when the show has ended.
  // Without `draw` the frame is only stepped through (a seek on a virtual clock):
  // items, layer movements, sequences and the scene clock move as if drawn.
  bool update(bool draw = true);

  // Script time now, as the items see it.
  float scriptTime() const { return clock() - scriptClockOffset; }
  // The shell's clock as the items read it (script time before any settime).
  float clockTime() const { return clock(); }

  // Emptying a slot, shared by the free items and the load items.
  void freeScene(const std::string& name);
  void freeFlash(const std::string& name);
  void freeMusic(const std::string& name);
  void freeImage(const std::string& name);

  IDirect3DDevice9* device;
  std::vector<std::unique_ptr<ScriptItem>> items;
  std::uint32_t nextItem = 0;
  float sceneClockOffset = 0;
  float flashClockOffset = 0;
  float scriptClockOffset = 0;
  std::map<std::string, std::unique_ptr<SceneGraph>> scenes;
  std::map<std::string, std::unique_ptr<FlashPlayer>> flashes;
  std::map<std::string, std::unique_ptr<MP3Player>> musics;
  std::map<std::string, std::unique_ptr<ImageBlitter>> images;
  std::uint32_t screenWidth;
  std::uint32_t screenHeight;
  SceneGraph* currentScene = nullptr;
  FlashPlayer* currentFlash = nullptr;
  MP3Player* currentMusic = nullptr;
  std::map<std::int32_t, Layer> layers;
  // When the current music was started (clock ms) and from where (ms into it), so
  // that a seek can put it where it would have played to.
  float musicStartClock = 0;
  std::int32_t musicStartPosition = 0;

 private:
  void drawLayers(bool negative, float t);

  ScriptClock clock;
};
