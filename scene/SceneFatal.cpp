#include "scene/SceneFatal.h"

#include "platform/os/oshost.h"

void SceneFatal(const std::string& text) { OsFatal("Error", text, 0); }
