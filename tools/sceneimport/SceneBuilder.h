// The back end: maps the in-memory scene to scene-file chunks, with every rule of
// axes, winding, meshes, materials, textures, cameras, lights and animation.
#pragma once

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
  void PlanAnimation();
  ImportTransform LocalAt(int node, float seconds) const;
  Mat4 WorldAt(int node, float seconds) const;
  bool AnimatedChain(int node) const;
  void ComputeBounds(Vec3* centre, float* radius) const;

  bool EmitNode(int node, std::uint32_t parentIndex, std::string* error);
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
  Vec3 boundsCentre_{};
  float boundsRadius_ = 1;
};

}  // namespace sceneimport
