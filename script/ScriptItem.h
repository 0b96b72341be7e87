// A script item: one command of the timeline, run by the Scripter when it is due.
#pragma once

class Scripter;

class ScriptItem {
 public:
  explicit ScriptItem(Scripter* scripter) : scripter(scripter) {}
  virtual ~ScriptItem() = default;
  ScriptItem(const ScriptItem&) = delete;
  ScriptItem& operator=(const ScriptItem&) = delete;

  // Runs the item at script time `time` (ms). True: finished, the next item may run
  // in the same frame. False: ask again next frame (only waits do this).
  virtual bool execute(float time) = 0;

 protected:
  Scripter* scripter;  // not owned
};
