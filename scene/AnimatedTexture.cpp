#include "scene/AnimatedTexture.h"

#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "platform/os/windows.h"
#include "scene/SceneFatal.h"

AnimatedTexture::AnimatedTexture(std::int32_t id, SceneGraph* graph) : Texture(id, graph) {}

AnimatedTexture::~AnimatedTexture() = default;

void AnimatedTexture::LoadDescription(const std::uint8_t* bytes, std::size_t size,
                                      float timeScale, float timeOffset) {
  description.Parse(std::string_view(reinterpret_cast<const char*>(bytes), size));
  const std::int32_t count = description.GetInt("images");
  if (count > 0) {
    // Every listed image must be named, so a huge count ends at the first gap.
    for (std::int32_t i = 0; i < count; ++i) {
      std::string key = "i";
      key += std::to_string(i);
      const std::optional<std::string> file = description.GetString(key);
      if (!file)
        SceneFatal(std::string("Animated texture ") + name + ": its description lists " +
                   std::to_string(count) + " images but names no file for " + key);
      images.push_back(fetch(*file));
    }
  } else {
    images.push_back(fetch(name));
  }
  SetActiveImage(0);
  LoadAnimations(graph, description, timeOffset, timeScale);
}

void AnimatedTexture::SetActiveImage(std::int32_t index) {
  if (images.empty()) return;
  const auto count = static_cast<std::int32_t>(images.size());
  activeIndex = index % count;
  // A negative selector counts back from the last image, as the cycle would.
  if (activeIndex < 0) activeIndex += count;
  texture = images[static_cast<std::size_t>(activeIndex)];
}

void AnimatedTexture::Update(bool) {
  // Truncated toward zero; values beyond the 32-bit range (or not numbers) are
  // held at its ends (or 0) rather than converted out of range.
  const float value = std::trunc(activeImage);
  std::int32_t index = 0;
  if (value >= 2147483647.0f)
    index = 2147483647;
  else if (value <= -2147483648.0f)
    index = -2147483647 - 1;
  else if (value == value)
    index = static_cast<std::int32_t>(value);
  SetActiveImage(index);
}

float* AnimatedTexture::GetControlField(const char* fieldName) {
  if (!fieldName) return nullptr;  // no name, no field
  const std::string_view field(fieldName);
  if (field == "Active Image") return &activeImage;
  if (field == "Tex U Offset") return &uOffset;
  if (field == "Tex V Offset") return &vOffset;
  if (field == "Tex U Scale") return &uScale;
  if (field == "Tex V Scale") return &vScale;
  // The one report that lets the show go on: the controller writes nothing.
  MessageBoxA(nullptr, "Invalid control field in AnimatedTexture", "Error", MB_OK);
  return nullptr;
}
