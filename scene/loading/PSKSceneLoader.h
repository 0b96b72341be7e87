// Reads a scene file (typed chunks back to back, no header) into its scene graph.
// File indices map to scene ids in the order they are first met, so references
// may name chunks that come later. A node may load a further file beneath it.
// Every read is bounded: a damaged file ends the show with a message naming the
// file and what was wrong, never a fault.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "scene/ObjectRef.h"
#include "scene/loading/ChunkReader.h"
#include "scene/loading/SceneLoader.h"

class Camera;
class Group;

class PSKSceneLoader : public SceneLoader {
 public:
  // `enclosing` is the loader whose node loads this file (null at the top), so
  // that a file that nests itself or nests too deeply can be refused.
  PSKSceneLoader(std::int32_t id, SceneGraph* graph, const PSKSceneLoader* enclosing = nullptr);

  void LoadMemory(const std::uint8_t* bytes, std::size_t length, std::int32_t parentId,
                  float timeOffset, float timeScale, bool looping) override;

  // The scene id of a file index, handed out on first sight; the "none" index too.
  std::int32_t MapIndex(std::uint32_t fileIndex);
  // A file time: trunc(t * timeScale + timeOffset), t unsigned.
  std::uint32_t ReadTime(ChunkReader& reader, const char* field);
  // An object looked up at once by file index: it must exist and be a T.
  template <class T>
  T& LookUp(ChunkReader& reader, std::uint32_t fileIndex, const char* what);

  std::int32_t parentId = -1;
  float timeOffset = 0;
  float timeScale = 1.0f;
  bool looping = true;
  std::map<std::uint32_t, std::int32_t> indexMap;

 private:
  void ReadChunk(std::uint16_t type, std::uint16_t version, std::uint32_t index,
                 ChunkReader& reader);
  // The node header shared by groups, cameras and lights; threshold: last version
  // without a visibility field.
  void ReadNodeHeader(Group& node, std::uint16_t version, std::uint16_t threshold,
                      ChunkReader& reader);
  void ReadAmbient(ChunkReader& reader);
  void ReadGroup(std::uint16_t version, std::uint32_t index, ChunkReader& reader);
  void ReadMesh(std::uint32_t index, ChunkReader& reader);
  void ReadCamera(std::uint16_t version, std::uint32_t index, ChunkReader& reader);
  void ReadLight(std::uint16_t version, std::uint32_t index, ChunkReader& reader);
  void ReadVertexBuffer(std::uint32_t index, ChunkReader& reader);
  void ReadIndexBuffer(std::uint32_t index, ChunkReader& reader);
  void ReadMaterial(std::uint16_t version, std::uint32_t index, ChunkReader& reader);
  void ReadTexture(std::uint32_t index, ChunkReader& reader);
  // Animation chunks and the camera activation list.
  void ReadCameraActivation(Camera& camera, ChunkReader& reader);
  void ReadPRSController(ChunkReader& reader);
  void ReadVertexController(ChunkReader& reader);
  void ReadSampleFloatController(ChunkReader& reader);
  void ReadSprite(std::uint32_t index, ChunkReader& reader);

  // A nested file beneath `node`, refused when it nests itself or too deeply.
  void LoadNested(Group& node);
  // After the top file: a node among its own ancestors would recurse for ever.
  void CheckParentCycles() const;
  std::string FileLabel() const;
  [[noreturn]] void FailFile(const std::string& what) const;

  const PSKSceneLoader* enclosing;
  int depth;  // 0 for the top file
};

template <class T>
T& PSKSceneLoader::LookUp(ChunkReader& reader, std::uint32_t fileIndex, const char* what) {
  auto mapped = indexMap.find(fileIndex);
  Base* found = mapped == indexMap.end() ? nullptr : SceneGraphFindObject(graph, mapped->second);
  if (!found)
    reader.Fail(std::string(what) + " names object " + std::to_string(fileIndex) +
                ", which no earlier chunk defines");
  T* object = dynamic_cast<T*>(found);
  if (!object)
    reader.Fail(std::string(what) + " names object " + std::to_string(fileIndex) +
                ", which is not a " + T::kObjectName);
  return *object;
}
