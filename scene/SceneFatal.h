// The fatal end of a damaged or inconsistent scene: a message box with caption
// "Error" and no owner, then an ordinary exit with status 0 (exit handlers run),
// as every scene failure is designed to end. Entry thread only.
#pragma once

#include <string>

[[noreturn]] void SceneFatal(const std::string& text);
