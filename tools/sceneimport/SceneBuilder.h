// The back end: maps the in-memory scene to scene-file chunks, with every rule of
// axes, winding, meshes, materials, textures, cameras, lights and animation.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tools/scenewriter/SceneWriter.h"
#include "tools/sceneimport/ImportModel.h"
#include "tools/sceneimport/ImportOptions.h"
#include "tools/sceneimport/ImportReport.h"
#include "tools/sceneimport/TextureTable.h"

namespace sceneimport {

class SceneBuilder {
 public:
  // `showFolder` and `textureFolder` are absolute; stored names are relative to the first.
  SceneBuilder(ImportScene scene, const ImportOptions& options, std::string showFolder,
               std::string textureFolder, ImportReport* report);

  // False with `error` when the scene cannot be expressed in the format.
  bool Build(std::string* error);

  const scenefile::SceneWriter& Writer() const { return writer_; }
  const std::vector<OutputFile>& TextureFiles() const { return textures_.Files(); }

 private:
  struct NodeAnimation {
    const ImportChannel* channel[4] = {nullptr, nullptr, nullptr, nullptr};  // by ChannelPath
  };

  void AddFraming();
  void ScaleLights();
  bool EmitCameras(std::string* error);
  void EmitCamera(int node);
  // Position and rotation keys over the loop from `place`, for a node placed in the world.
  void EmitPlacedController(std::uint32_t chunkIndex, const std::function<void(float, Vec3*, Quat*)>& place);
  void PlanAnimation();
  ImportTransform LocalAt(int node, float seconds) const;
  Mat4 WorldAt(int node, float seconds) const;
  // Where the node goes in the scene: its world translation and rotation, with only
  // the change of an animated scale; the rest of its scale goes into its vertices
  // (Baked), since the player lights with the world matrix as it is.
  Mat4 PlacedWorld(int node, float seconds) const;
  ImportTransform PlacedLocal(int node, float seconds) const;
  Mat4 Baked(int node) const;
  bool ScaleAnimated(int node) const;
  bool AnimatedChain(int node) const;
  void ComputeBounds(Vec3* centre, float* radius) const;

  bool EmitNode(int node, std::uint32_t parentIndex, std::string* error);
  bool Skinned(const ImportMesh& mesh) const;
  // The mesh posed by its bones at every vertex frame over the loop (one frame
  // without animation), in the node's placed space; frames after the first become
  // morph targets.
  ImportMesh SkinnedMesh(int node, std::size_t* frameCount);
  // The mesh with its whole vertex key frames as morph targets, one frame each;
  // false when it has none.
  bool KeyframedMesh(int node, ImportMesh* out, std::size_t* frameCount);
  bool EmitMesh(int node, std::uint32_t carrierParent, bool mirrored, std::string* error);
  void EmitLight(int node);
  void EmitNodeController(int node, std::uint32_t index);
  std::uint32_t Material(int material);
  scenefile::NodeHeader Header(const std::string& name, std::uint32_t parent, const ImportTransform& source);
  std::string Limited(const std::string& name);
  std::uint32_t Ms(float seconds) const;

  ImportScene scene_;
  ImportOptions options_;
  ImportReport& report_;
  scenefile::SceneWriter writer_;
  TextureTable textures_;
  std::uint32_t next_ = 0;
  std::map<int, std::uint32_t> materials_;
  std::map<int, NodeAnimation> animated_;
  std::uint32_t loopMs_ = 0;
  bool needsAmbient_ = false;
  std::vector<std::string> cameraNames_;
  int framingCamera_ = -1;  // the node of the camera --frame adds
  Vec3 boundsCentre_{};
  float boundsRadius_ = 1;
};

}  // namespace sceneimport
