#include "script/TimingItems.h"

#include "script/Scripter.h"

bool Wait::execute(float now) { return now > time; }

bool SetTime::execute(float now) {
  scripter->scriptClockOffset = now + scripter->scriptClockOffset - time;
  scripter->flashClockOffset = scripter->scriptClockOffset;
  scripter->sceneClockOffset = scripter->scriptClockOffset;
  return true;
}

bool SetFlashTime::execute(float now) {
  scripter->flashClockOffset = now + scripter->scriptClockOffset - time;
  return true;
}

bool SetSceneTime::execute(float now) {
  scripter->sceneClockOffset = now + scripter->scriptClockOffset - time;
  return true;
}
