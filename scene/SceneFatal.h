// The fatal end of a damaged or inconsistent scene: a message box with caption
// "Error" and no owner, then exit status 0, as every scene failure is designed to
// end. Entry thread only.
#pragma once

#include <string>

[[noreturn]] void SceneFatal(const std::string& text);
