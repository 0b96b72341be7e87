#include "scene/SceneFatal.h"

#include "platform/os/oshost.h"

void SceneFatal(const std::string& text) { OsFatalExit("Error", text, 0); }
