// Reading and parsing a script into items: the whole text is read at once
// (archive first, then disk) and turned line by line into items.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/CFLArchive.h"
#include "platform/os/oshost.h"
#include "script/LayerItems.h"
#include "script/PlayItems.h"
#include "script/ScriptText.h"
#include "script/Scripter.h"
#include "script/SlotItems.h"
#include "script/TimingItems.h"

namespace {

// Includes nest no deeper than this; a cycle would otherwise recurse forever.
constexpr int kMaxIncludeDepth = 32;

std::string ReadScriptText(const char* fileName) {
  if (CFLArchive* archive = ProgramArchive(); archive && archive->Exists(fileName)) {
    std::uint32_t n = archive->GetSize(fileName);
    std::vector<char> buffer(static_cast<std::size_t>(n) + 1, '\0');
    std::int32_t got = archive->ReadInto(fileName, buffer.data(), static_cast<std::int32_t>(n));
    buffer[got > 0 ? static_cast<std::size_t>(got) : 0] = '\0';
    return std::string(buffer.data());
  }
  std::FILE* file = std::fopen(fileName, "r");
  if (file == nullptr) return {};
  std::string text;
  char chunk[4096];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
  std::fclose(file);
  return std::string(text.c_str());  // the text ends at its first zero byte
}

using Arguments = std::vector<std::string>;  // always five, absent ones empty
using Factory = std::function<std::unique_ptr<ScriptItem>(Scripter*, const Arguments&, float)>;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

float Time(const std::string& s, float offset) {
  return ToFloat(static_cast<double>(ParseInteger(s)) + offset);
}

const std::map<std::string, Factory>& Commands() {
  using A = const Arguments&;
  static const std::map<std::string, Factory> commands = {
      {"loadscene", [](Scripter* s, A a, float) { return std::make_unique<LoadScene>(s, a[0], Lower(a[1])); }},
      {"loadflash", [](Scripter* s, A a, float) { return std::make_unique<LoadFlash>(s, a[0], Lower(a[1])); }},
      {"loadmusic", [](Scripter* s, A a, float) { return std::make_unique<LoadMusic>(s, a[0], Lower(a[1])); }},
      {"loadimage", [](Scripter* s, A a, float) { return std::make_unique<LoadImage>(s, a[0], Lower(a[1])); }},
      {"createcolor", [](Scripter* s, A a, float) {
         return std::make_unique<CreateColor>(s, ParseInteger(a[0]), ParseInteger(a[1]), ParseInteger(a[2]), Lower(a[3]));
       }},
      {"settime", [](Scripter* s, A a, float o) { return std::make_unique<SetTime>(s, Time(a[0], o)); }},
      {"setflashtime", [](Scripter* s, A a, float o) { return std::make_unique<SetFlashTime>(s, Time(a[0], o)); }},
      {"setscenetime", [](Scripter* s, A a, float o) { return std::make_unique<SetSceneTime>(s, Time(a[0], o)); }},
      {"waituntil", [](Scripter* s, A a, float o) { return std::make_unique<Wait>(s, Time(a[0], o)); }},
      {"playscene", [](Scripter* s, A a, float) { return std::make_unique<PlayScene>(s, Lower(a[0])); }},
      {"setactivecamera", [](Scripter* s, A a, float) { return std::make_unique<SetActiveCamera>(s, a[0]); }},
      {"playflash", [](Scripter* s, A a, float) {
         return std::make_unique<PlayFlash>(s, Lower(a[0]), ParseInteger(a[1]), ParseInteger(a[2]));
       }},
      {"playmusic", [](Scripter* s, A a, float) { return std::make_unique<PlayMusic>(s, Lower(a[0]), ParseInteger(a[1])); }},
      {"setvolume", [](Scripter* s, A a, float) { return std::make_unique<SetVolume>(s, ParseInteger(a[0])); }},
      {"setlayer", [](Scripter* s, A a, float) { return std::make_unique<SetLayer>(s, Lower(a[0]), ParseInteger(a[1])); }},
      {"removelayer", [](Scripter* s, A a, float) { return std::make_unique<RemoveLayer>(s, ParseInteger(a[0])); }},
      {"clearlayers", [](Scripter* s, A, float) { return std::make_unique<ClearLayers>(s); }},
      {"setlayerpos", [](Scripter* s, A a, float) {
         return std::make_unique<SetLayerPos>(s, ParseInteger(a[0]), ParseReal(a[1]), ParseReal(a[2]));
       }},
      {"setlayeralpha", [](Scripter* s, A a, float) { return std::make_unique<SetLayerAlpha>(s, ParseInteger(a[0]), ParseReal(a[1])); }},
      {"setlayerposdelta", [](Scripter* s, A a, float) {
         return std::make_unique<SetLayerPosDelta>(s, ParseInteger(a[0]), ParseReal(a[1]), ParseReal(a[2]));
       }},
      {"setlayeralphadelta", [](Scripter* s, A a, float) {
         return std::make_unique<SetLayerAlphaDelta>(s, ParseInteger(a[0]), ParseReal(a[1]));
       }},
      {"setlayeradditive", [](Scripter* s, A a, float) {
         return std::make_unique<SetLayerAdditive>(s, ParseInteger(a[0]), ParseInteger(a[1]) != 0);
       }},
      {"freescene", [](Scripter* s, A a, float) { return std::make_unique<FreeScene>(s, Lower(a[0])); }},
      {"freeflash", [](Scripter* s, A a, float) { return std::make_unique<FreeFlash>(s, Lower(a[0])); }},
      {"freemusic", [](Scripter* s, A a, float) { return std::make_unique<FreeMusic>(s, Lower(a[0])); }},
      {"freeimage", [](Scripter* s, A a, float) { return std::make_unique<FreeImage>(s, Lower(a[0])); }},
      {"stopscene", [](Scripter* s, A, float) { return std::make_unique<StopScene>(s); }},
      {"stopflash", [](Scripter* s, A, float) { return std::make_unique<StopFlash>(s); }},
      {"stopmusic", [](Scripter* s, A, float) { return std::make_unique<StopMusic>(s); }},
  };
  return commands;
}

}  // namespace

void Scripter::loadScript(const char* fileName, float timeOffset) {
  loadScriptAtDepth(fileName, timeOffset, 0);
}

void Scripter::loadScriptAtDepth(const char* fileName, float timeOffset, int depth) {
  if (depth > kMaxIncludeDepth) {
    OsFatal("Error loading script",
            "Scripts include each other too deeply (more than " +
                std::to_string(kMaxIncludeDepth) + " levels) at script " + fileName + "!",
            0);
  }
  const std::string text = ReadScriptText(fileName);
  for (const ScriptLine& line : SplitScriptLines(text)) {
    const std::string keyword = Lower(line.keyword);
    if (keyword == "include") {
      loadScriptAtDepth(line.arguments[0].c_str(), ParseReal(line.arguments[1]), depth + 1);
      continue;
    }
    auto command = Commands().find(keyword);
    if (command == Commands().end()) {
      OsFatal("Error loading script",
              "Invalid command '" + keyword + "' in script " + fileName + "!", 0);
    }
    items.push_back(command->second(this, line.arguments, timeOffset));
  }
  nextItem = 0;
  scriptClockOffset = sceneClockOffset = flashClockOffset = 0;
}
