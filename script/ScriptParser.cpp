// Turning script text into items, line by line, with includes parsed in place.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/os/oshost.h"
#include "script/LayerItems.h"
#include "script/PlayItems.h"
#include "script/ScriptLoader.h"
#include "script/ScriptText.h"
#include "script/Scripter.h"
#include "script/SlotItems.h"
#include "script/TimingItems.h"
#include "text/Text.h"

namespace {

constexpr const char* kCaption = "Error loading script";

using Arguments = std::vector<std::string>;  // always five, absent ones empty

// Converts one line's arguments by their kinds; the first that does not fit its
// field is kept for the message, and converts to 0.
class Fields {
 public:
  Fields(const Arguments& arguments, float offset) : arguments_(arguments), offset_(offset) {}

  std::int32_t Int(std::size_t i) {
    std::int32_t value = 0;
    if (!ParseInteger(arguments_[i], value)) Reject(i);
    return value;
  }
  float Real(std::size_t i) {
    float value = 0;
    if (!ParseReal(arguments_[i], value)) Reject(i);
    return value;
  }
  // The offset is finite, and no 32-bit integer added to it leaves the float range.
  float Time(std::size_t i) { return ToFloat(static_cast<double>(Int(i)) + offset_); }
  std::string Slot(std::size_t i) const { return text::Lower(arguments_[i]); }
  const std::string& Name(std::size_t i) const { return arguments_[i]; }
  const std::string* rejected = nullptr;

 private:
  void Reject(std::size_t i) {
    if (!rejected) rejected = &arguments_[i];
  }
  const Arguments& arguments_;
  float offset_;
};

using Factory = std::function<std::unique_ptr<ScriptItem>(Scripter*, Fields&)>;

const std::map<std::string, Factory>& Commands() {
  using F = Fields&;
  static const std::map<std::string, Factory> commands = {
      {"loadscene", [](Scripter* s, F a) { return std::make_unique<LoadScene>(s, a.Name(0), a.Slot(1)); }},
      {"loadflash", [](Scripter* s, F a) { return std::make_unique<LoadFlash>(s, a.Name(0), a.Slot(1)); }},
      {"loadmusic", [](Scripter* s, F a) { return std::make_unique<LoadMusic>(s, a.Name(0), a.Slot(1)); }},
      {"loadimage", [](Scripter* s, F a) { return std::make_unique<LoadImage>(s, a.Name(0), a.Slot(1)); }},
      {"createcolor", [](Scripter* s, F a) {
         return std::make_unique<CreateColor>(s, a.Int(0), a.Int(1), a.Int(2), a.Slot(3));
       }},
      {"settime", [](Scripter* s, F a) { return std::make_unique<SetTime>(s, a.Time(0)); }},
      {"setflashtime", [](Scripter* s, F a) { return std::make_unique<SetFlashTime>(s, a.Time(0)); }},
      {"setscenetime", [](Scripter* s, F a) { return std::make_unique<SetSceneTime>(s, a.Time(0)); }},
      {"waituntil", [](Scripter* s, F a) { return std::make_unique<Wait>(s, a.Time(0)); }},
      {"playscene", [](Scripter* s, F a) { return std::make_unique<PlayScene>(s, a.Slot(0)); }},
      {"setactivecamera", [](Scripter* s, F a) { return std::make_unique<SetActiveCamera>(s, a.Name(0)); }},
      {"playflash", [](Scripter* s, F a) { return std::make_unique<PlayFlash>(s, a.Slot(0), a.Int(1), a.Int(2)); }},
      {"playmusic", [](Scripter* s, F a) { return std::make_unique<PlayMusic>(s, a.Slot(0), a.Int(1)); }},
      {"setvolume", [](Scripter* s, F a) { return std::make_unique<SetVolume>(s, a.Int(0)); }},
      {"setlayer", [](Scripter* s, F a) { return std::make_unique<SetLayer>(s, a.Slot(0), a.Int(1)); }},
      {"removelayer", [](Scripter* s, F a) { return std::make_unique<RemoveLayer>(s, a.Int(0)); }},
      {"clearlayers", [](Scripter* s, F) { return std::make_unique<ClearLayers>(s); }},
      {"setlayerpos", [](Scripter* s, F a) { return std::make_unique<SetLayerPos>(s, a.Int(0), a.Real(1), a.Real(2)); }},
      {"setlayeralpha", [](Scripter* s, F a) { return std::make_unique<SetLayerAlpha>(s, a.Int(0), a.Real(1)); }},
      {"setlayerposdelta", [](Scripter* s, F a) {
         return std::make_unique<SetLayerPosDelta>(s, a.Int(0), a.Real(1), a.Real(2));
       }},
      {"setlayeralphadelta", [](Scripter* s, F a) {
         return std::make_unique<SetLayerAlphaDelta>(s, a.Int(0), a.Real(1));
       }},
      {"setlayeradditive", [](Scripter* s, F a) {
         return std::make_unique<SetLayerAdditive>(s, a.Int(0), a.Int(1) != 0);
       }},
      {"freescene", [](Scripter* s, F a) { return std::make_unique<FreeScene>(s, a.Slot(0)); }},
      {"freeflash", [](Scripter* s, F a) { return std::make_unique<FreeFlash>(s, a.Slot(0)); }},
      {"freemusic", [](Scripter* s, F a) { return std::make_unique<FreeMusic>(s, a.Slot(0)); }},
      {"freeimage", [](Scripter* s, F a) { return std::make_unique<FreeImage>(s, a.Slot(0)); }},
      {"stopscene", [](Scripter* s, F) { return std::make_unique<StopScene>(s); }},
      {"stopflash", [](Scripter* s, F) { return std::make_unique<StopFlash>(s); }},
      {"stopmusic", [](Scripter* s, F) { return std::make_unique<StopMusic>(s); }},
  };
  return commands;
}

// One loadScript call and everything it includes.
class Load {
 public:
  Load(Scripter& scripter, const ScriptSource& source, const ScriptLimits& limits)
      : scripter_(scripter), source_(source), limits_(limits) {}

  // False when the script was missing or unreadable.
  bool Script(const std::string& name, float offset, int depth) {
    const std::string shown = text::Escape(name);
    if (depth > limits_.maxIncludeDepth) {
      Fail("Scripts include each other too deeply (more than " +
           std::to_string(limits_.maxIncludeDepth) + " levels) at script " + shown + "!");
    }
    if (++scriptReads_ > limits_.maxScriptReads) {
      Fail("Scripts include more than " + std::to_string(limits_.maxScriptReads) +
           " files at script " + shown + "!");
    }
    const ScriptFile file = source_(name, limits_.maxScriptBytes);
    switch (file.status) {
      case ScriptFile::Status::kRead:
        break;
      case ScriptFile::Status::kMissing:
        std::fprintf(stderr, "demo: script %s not found; it adds nothing to the show\n",
                     shown.c_str());
        return false;
      case ScriptFile::Status::kUnreadable:
        std::fprintf(stderr, "demo: script %s cannot be read (%s); it adds nothing to the show\n",
                     shown.c_str(), file.reason.c_str());
        return false;
      case ScriptFile::Status::kTooLarge:
        Fail("Script " + shown + " is larger than " + std::to_string(limits_.maxScriptBytes) +
             " bytes!");
    }
    bytesRead_ += file.size;
    if (bytesRead_ > limits_.maxTotalBytes) {
      Fail("Scripts and their includes come to more than " +
           std::to_string(limits_.maxTotalBytes) + " bytes at script " + shown + "!");
    }
    ForEachScriptLine(file.Text(),
                      [&](const ScriptLine& line) { Line(line, name, offset, depth); });
    return true;
  }

 private:
  void Line(const ScriptLine& line, const std::string& name, float offset, int depth) {
    const std::string keyword = text::Lower(line.keyword);
    if (keyword == "include") {
      float includeOffset = 0;
      if (!ParseReal(line.arguments[1], includeOffset)) BadNumber(line.arguments[1], line, name);
      Script(line.arguments[0], includeOffset, depth + 1);
      return;
    }
    auto command = Commands().find(keyword);
    if (command == Commands().end()) {
      Fail("Invalid command '" + text::Escape(keyword) + "' in script " + text::Escape(name) +
           "!");
    }
    if (itemsMade_ >= limits_.maxItems) {
      Fail("Scripts make more than " + std::to_string(limits_.maxItems) + " items at line " +
           std::to_string(line.number) + " of script " + text::Escape(name) + "!");
    }
    Fields fields(line.arguments, offset);
    std::unique_ptr<ScriptItem> item = command->second(&scripter_, fields);
    if (fields.rejected) BadNumber(*fields.rejected, line, name);
    scripter_.items.push_back(std::move(item));
    ++itemsMade_;
  }

  [[noreturn]] void BadNumber(const std::string& number, const ScriptLine& line,
                              const std::string& name) {
    Fail("Invalid number '" + text::Escape(number) + "' at line " + std::to_string(line.number) +
         " of script " + text::Escape(name) + "!");
  }

  [[noreturn]] static void Fail(const std::string& message) { OsFatal(kCaption, message, 0); }

  Scripter& scripter_;
  const ScriptSource& source_;
  const ScriptLimits& limits_;
  std::uint64_t bytesRead_ = 0;
  std::size_t itemsMade_ = 0;
  std::size_t scriptReads_ = 0;
};

}  // namespace

void LoadScript(Scripter& scripter, const std::string& fileName, float timeOffset,
                const ScriptSource& source, const ScriptLimits& limits) {
  // A missing script leaves the clocks as they were.
  if (!Load(scripter, source, limits).Script(fileName, timeOffset, 0)) return;
  scripter.nextItem = 0;
  scripter.scriptClockOffset = scripter.sceneClockOffset = scripter.flashClockOffset = 0;
}

std::vector<std::string> ScriptCommandNames() {
  std::vector<std::string> names{"include"};
  for (const auto& entry : Commands()) names.push_back(entry.first);
  std::sort(names.begin(), names.end());
  return names;
}

void Scripter::loadScript(const char* fileName, float timeOffset) {
  LoadScript(*this, fileName ? fileName : "", timeOffset, ReadScriptFile);
}
