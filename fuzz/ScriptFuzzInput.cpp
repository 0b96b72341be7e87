#include "fuzz/ScriptFuzzInput.h"

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz/FuzzFatalSeam.h"
#include "script/ScriptLoader.h"
#include "script/ScriptSource.h"
#include "script/Scripter.h"
#include "support/RecordingDevice.h"

namespace {

std::map<std::string, std::string_view> SplitFiles(std::string_view bytes) {
  std::map<std::string, std::string_view> files;
  constexpr std::string_view kSeparator = "\n@@\n";
  std::string name = "demo.psc";
  for (int index = 1;; ++index) {
    const std::size_t end = bytes.find(kSeparator);
    files[name] = bytes.substr(0, end);
    if (end == std::string_view::npos) break;
    bytes.remove_prefix(end + kSeparator.size());
    name = std::to_string(index) + ".psc";
  }
  return files;
}

struct Harness {
  Harness() {
    InstallFuzzFatalSeam();
    scripter = std::make_unique<Scripter>(device, 1024, 768, [] { return 0.0f; });
  }
  // Lives as long as the process: the scripter draws nothing, but it needs a device.
  RecordingDevice* device = new RecordingDevice(1024, 768, D3DFMT_D24S8);
  std::unique_ptr<Scripter> scripter;
};

}  // namespace

void ParseScriptBytes(const std::uint8_t* data, std::size_t size) {
  static Harness harness;
  const auto files =
      SplitFiles(std::string_view(reinterpret_cast<const char*>(data), size));
  ScriptSource source = [&files](const std::string& name, std::size_t maxBytes) {
    const auto it = files.find(name);
    if (it == files.end()) return ScriptFile{};
    return ScriptFileFromText(it->second, maxBytes);
  };
  // Small bounds keep a fanned-out input fast; the rules are the player's.
  ScriptLimits limits;
  limits.maxItems = 20000;
  limits.maxTotalBytes = std::uint64_t{1} << 20;
  limits.maxScriptBytes = std::size_t{64} << 10;
  try {
    LoadScript(*harness.scripter, "demo.psc", 0, source, limits);
  } catch (const FuzzFatal&) {
  }
  harness.scripter->items.clear();
  ForgetFuzzMessageBoxes();
}
