#include <algorithm>
#include <memory>
#include <string>

#include "scene/Camera.h"
#include "scene/Group.h"
#include "scene/SceneGraph.h"
#include "scene/VertexBuffer.h"
#include "scene/loading/CameraActivatorController.h"
#include "scene/loading/PRSController.h"
#include "scene/loading/PSKSceneLoader.h"
#include "scene/loading/SampleFloatController.h"
#include "scene/loading/SceneFileFormat.h"
#include "scene/loading/VertexController.h"

namespace {

// The four times of a controller chunk, mapped; looping is the file's.
KeyTiming ReadFourTimes(PSKSceneLoader& loader, ChunkReader& reader) {
  KeyTiming timing;
  timing.looping = loader.looping;
  timing.animStart = loader.ReadTime(reader, "animation start");
  timing.loopLength = loader.ReadTime(reader, "animation end");
  timing.keyStart = loader.ReadTime(reader, "key start");
  timing.keyEnd = loader.ReadTime(reader, "key end");
  return timing;
}

}  // namespace

void PSKSceneLoader::ReadCameraActivation(Camera& camera, ChunkReader& reader) {
  const std::uint32_t count = reader.Count(4, "camera activation count");
  if (count == 0) return;
  auto controller = std::make_unique<CameraActivatorController>(&camera, looping);
  // The switch times are used as the file gives them, unmapped.
  for (std::uint32_t i = 0; i < count; ++i)
    controller->AddSwitchTime(reader.U32("camera activation time"));
  controller->Finish();
  controller->timing.animStart = ReadTime(reader, "camera activation start");
  controller->timing.loopLength = ReadTime(reader, "camera activation end");
  graph->AddController(std::move(controller));
}

void PSKSceneLoader::ReadPRSController(ChunkReader& reader) {
  Group& node = LookUp<Group>(reader, reader.U32("animated node"),
                              "Position/rotation/scale controller");
  const KeyTiming timing = ReadFourTimes(*this, reader);
  const std::uint32_t flags = reader.U32("key flags");
  const bool hasPosition = flags & scenefile::kKeyPosition;
  const bool hasRotation = flags & scenefile::kKeyRotation;
  const bool hasScale = flags & scenefile::kKeyScale;
  const std::size_t keyBytes = 4 * ((hasPosition ? 3 : 0) + (hasRotation ? 4 : 0) +
                                    (hasScale ? 3 : 0));
  std::uint32_t count = reader.Count(keyBytes, "key count");
  // Keys without parts are all the node's own transform: one stands for any number.
  if (keyBytes == 0) count = std::min<std::uint32_t>(count, 1);

  auto controller = std::make_unique<PRSController>(&node);
  controller->timing = timing;
  controller->keys.reserve(count);
  for (std::uint32_t k = 0; k < count; ++k) {
    // Parts a key lacks are the node's transform as its own chunk gave it.
    Transform key = node.transform;
    if (hasPosition) {
      key.position.x = reader.F32("key position");
      key.position.y = reader.F32("key position");
      key.position.z = reader.F32("key position");
    }
    if (hasRotation) {
      key.rotation.x = reader.F32("key rotation");
      key.rotation.y = reader.F32("key rotation");
      key.rotation.z = reader.F32("key rotation");
      key.rotation.w = reader.F32("key rotation");
    }
    if (hasScale) {
      key.scale.x = reader.F32("key scale");
      key.scale.y = reader.F32("key scale");
      key.scale.z = reader.F32("key scale");
    }
    controller->keys.push_back(key);
  }
  graph->AddController(std::move(controller));
}

void PSKSceneLoader::ReadVertexController(ChunkReader& reader) {
  const std::uint32_t index = reader.U32("animated vertex buffer");
  VertexBuffer& buffer = LookUp<VertexBuffer>(reader, index, "Vertex controller");
  auto* frames = dynamic_cast<MultiVertexBuffer*>(&buffer);
  if (!frames)
    reader.Fail("Vertex controller names vertex buffer " + std::to_string(index) +
                ", which has a single frame; it needs a buffer with position frames");
  for (const MultiVertexBuffer::Frame& frame : frames->frames)
    if (frame.size() != frames->vertices.size())
      reader.Fail("Vertex controller names vertex buffer " + std::to_string(index) +
                  ", whose frames do not hold one position per vertex");
  const KeyTiming timing = ReadFourTimes(*this, reader);
  auto controller = std::make_unique<VertexController>(frames);
  controller->timing = timing;
  graph->AddController(std::move(controller));
}

void PSKSceneLoader::ReadSampleFloatController(ChunkReader& reader) {
  Preparable& target =
      LookUp<Preparable>(reader, reader.U32("animated object"), "Sampled float controller");
  const std::string field = reader.String("control field name");
  const KeyTiming timing = ReadFourTimes(*this, reader);
  const std::uint32_t count = reader.Count(4, "sample count");
  auto controller = std::make_unique<SampleFloatController>(&target, field.c_str());
  controller->timing = timing;
  controller->samples.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) controller->samples.push_back(reader.F32("sample"));
  graph->AddController(std::move(controller));
}
