#include "tools/sceneimport/AssimpReader.h"

#include <assimp/config.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <assimp/Importer.hpp>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

#include "text/Text.h"
#include "tools/sceneimport/Camera3ds.h"
#include "tools/sceneimport/ImportLimits.h"
#include "tools/sceneimport/Md3Frames.h"
#include "tools/sceneimport/TextureLookup.h"
#include "tools/sceneimport/TextureTable.h"

namespace sceneimport {
namespace {

Vec3 ToVec3(const aiVector3D& v) { return {v.x, v.y, v.z}; }

std::string Name(const aiString& name, const std::string& fallback) {
  return name.length ? std::string(name.C_Str()) : fallback;
}

class AssimpReader {
 public:
  // `keyframes`: per mesh of `source`, the positions of its further key frames.
  // `upright`, when given, turns the file's axes into y-up ones above its root.
  AssimpReader(const aiScene& source, const std::string& folder, std::map<std::string, TargetCamera> targets,
               std::vector<std::vector<std::vector<Vec3>>> keyframes, std::optional<Mat4> upright,
               ImportScene* scene, ImportReport* report)
      : source_(source), folder_(folder), targets_(std::move(targets)), keyframes_(std::move(keyframes)),
        upright_(upright), scene_(*scene), report_(*report) {}

  void Read() {
    ReadMaterials();
    ReadMeshes();
    ReadCameras();
    ReadLights();
    int top = -1;
    if (upright_) {
      ImportNode node;
      node.name = "upright";
      Decompose(*upright_, &node.local.translation, &node.local.rotation, &node.local.scale);
      scene_.nodes.push_back(node);
      top = 0;
    }
    ReadNode(source_.mRootNode, top);
    scene_.roots.push_back(0);
    ResolveBones();
    ReadAnimations();
  }

 private:
  int Image(const std::string& path, const std::string& material) {
    auto found = images_.find(path);
    if (found != images_.end()) return found->second;
    ImportImage image;
    image.origin = path;
    if (const aiTexture* embedded = source_.GetEmbeddedTexture(path.c_str())) {
      image.origin = "embedded " + path;
      if (embedded->mHeight == 0) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(embedded->pcData);
        image.bytes.assign(bytes, bytes + embedded->mWidth);
      } else if (std::uint64_t{embedded->mWidth} * embedded->mHeight <= (std::uint64_t{1} << 26)) {
        std::vector<std::uint8_t> rgba;
        rgba.reserve(std::size_t{embedded->mWidth} * embedded->mHeight * 4);
        for (std::size_t i = 0, n = std::size_t{embedded->mWidth} * embedded->mHeight; i < n; ++i) {
          const aiTexel& t = embedded->pcData[i];
          rgba.insert(rgba.end(), {t.r, t.g, t.b, t.a});
        }
        image.bytes = EncodePng(embedded->mWidth, embedded->mHeight, 4, rgba);
        image.name = "embedded.png";
      } else {
        report_.Warn("embedded picture too large, texture dropped", material);
      }
      if (embedded->mFilename.length)
        image.name = std::filesystem::path(embedded->mFilename.C_Str()).filename().string();
    } else if (!path.empty() && path[0] == '*') {
      report_.Warn("texture names an embedded picture the file does not hold, dropped", material + ": " + path);
    } else {
      std::string found = FindTextureFile(folder_, path);
      if (!found.empty()) {
        std::ifstream in(found, std::ios::binary);
        if (in) image.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (image.bytes.empty()) report_.Warn("picture could not be read, texture dropped", found);
        image.name = std::filesystem::path(found).filename().string();
        if (std::filesystem::path(found).filename() != std::filesystem::path(path).filename())
          image.origin = path + " (found as " + found + ")";
      } else {
        report_.Warn("texture file not found beside the model or in its folders, dropped", path);
      }
    }
    int index = static_cast<int>(scene_.images.size());
    scene_.images.push_back(std::move(image));
    images_[path] = index;
    return index;
  }

  ImportTextureRef Texture(const aiMaterial& m, aiTextureType type, const std::string& material) {
    ImportTextureRef ref;
    aiString path;
    unsigned uvIndex = 0;
    aiTextureMapMode modes[2] = {aiTextureMapMode_Wrap, aiTextureMapMode_Wrap};
    if (m.GetTextureCount(type) == 0 ||
        m.GetTexture(type, 0, &path, nullptr, &uvIndex, nullptr, nullptr, modes) != AI_SUCCESS)
      return ref;
    if (m.GetTextureCount(type) > 1) report_.Warn("texture layers beyond the first dropped", material);
    if (modes[0] != aiTextureMapMode_Wrap || modes[1] != aiTextureMapMode_Wrap)
      report_.Warn("texture clamp or mirror addressing drawn as repeat", material);
    if (uvIndex > 1) {
      report_.Warn("texture on a texture coordinate set above the second dropped", material);
      return ref;
    }
    ref.image = Image(path.C_Str(), material);
    ref.texCoord = static_cast<int>(uvIndex);
    return ref;
  }

  void ReadMaterials() {
    for (unsigned i = 0; i < source_.mNumMaterials; ++i) {
      const aiMaterial& m = *source_.mMaterials[i];
      ImportMaterial out;
      aiString name;
      m.Get(AI_MATKEY_NAME, name);
      out.name = Name(name, "material " + std::to_string(i));
      aiColor4D diffuse(1, 1, 1, 1), emissive(0, 0, 0, 1), specular(0, 0, 0, 1);
      if (m.Get(AI_MATKEY_BASE_COLOR, diffuse) != AI_SUCCESS) m.Get(AI_MATKEY_COLOR_DIFFUSE, diffuse);
      m.Get(AI_MATKEY_COLOR_EMISSIVE, emissive);
      m.Get(AI_MATKEY_COLOR_SPECULAR, specular);
      float opacity = 1, shininess = 0, strength = 1, emissiveIntensity = 1;
      m.Get(AI_MATKEY_OPACITY, opacity);
      m.Get(AI_MATKEY_SHININESS, shininess);
      m.Get(AI_MATKEY_SHININESS_STRENGTH, strength);
      m.Get(AI_MATKEY_EMISSIVE_INTENSITY, emissiveIntensity);
      // A surface that would draw nothing at all is far more often an exporter's
      // unset field than the author's wish: with no opacity map, it is drawn opaque.
      if (opacity * diffuse.a <= 0 && m.GetTextureCount(aiTextureType_OPACITY) == 0) {
        report_.Warn("opacity 0 read as opaque (it would hide the surface entirely)", out.name);
        opacity = 1;
        diffuse.a = 1;
      }
      out.baseColor = {diffuse.r, diffuse.g, diffuse.b, std::clamp(opacity * diffuse.a, 0.0f, 1.0f)};
      out.emissive = Vec3{emissive.r, emissive.g, emissive.b} * emissiveIntensity;
      out.specularColor = {specular.r, specular.g, specular.b};
      out.specularLevel = shininess > 0 ? strength : 0;
      out.specularExponent = shininess;
      out.baseTexture = Texture(m, aiTextureType_BASE_COLOR, out.name);
      if (out.baseTexture.image < 0) out.baseTexture = Texture(m, aiTextureType_DIFFUSE, out.name);
      out.emissiveTexture = Texture(m, aiTextureType_EMISSIVE, out.name);
      out.specularTexture = Texture(m, aiTextureType_SPECULAR, out.name);
      out.lightMap = Texture(m, aiTextureType_LIGHTMAP, out.name);
      out.reflectionMap = Texture(m, aiTextureType_REFLECTION, out.name);
      if (m.GetTextureCount(aiTextureType_NORMALS) || m.GetTextureCount(aiTextureType_HEIGHT))
        report_.Warn("normal or bump map dropped", out.name);
      if (m.GetTextureCount(aiTextureType_OPACITY)) report_.Warn("opacity map dropped", out.name);
      if (out.baseColor[3] < 0.999f) out.alphaMode = AlphaMode::Blend;
      aiString alphaMode;
      if (m.Get("$mat.gltf.alphaMode", 0, 0, alphaMode) == AI_SUCCESS) {
        if (std::strcmp(alphaMode.C_Str(), "BLEND") == 0) out.alphaMode = AlphaMode::Blend;
        if (std::strcmp(alphaMode.C_Str(), "MASK") == 0) {
          out.alphaMode = AlphaMode::Mask;
          report_.Warn("alpha mask drawn with alpha blending", out.name);
        }
      }
      int twoSided = 0;
      if (m.Get(AI_MATKEY_TWOSIDED, twoSided) == AI_SUCCESS) out.doubleSided = twoSided != 0;
      scene_.materials.push_back(std::move(out));
    }
  }

  void ReadMeshes() {
    for (unsigned i = 0; i < source_.mNumMeshes; ++i) {
      const aiMesh& mesh = *source_.mMeshes[i];
      ImportPrimitive p;
      std::string name = Name(mesh.mName, "mesh " + std::to_string(i));
      if (!(mesh.mPrimitiveTypes & aiPrimitiveType_TRIANGLE)) {
        report_.Warn("points and lines dropped", name);
        meshIndex_.push_back(-1);
        continue;
      }
      p.material = mesh.mMaterialIndex < source_.mNumMaterials ? static_cast<int>(mesh.mMaterialIndex) : -1;
      p.positions.resize(mesh.mNumVertices);
      for (unsigned v = 0; v < mesh.mNumVertices; ++v) p.positions[v] = ToVec3(mesh.mVertices[v]);
      if (mesh.mNormals) {
        p.normals.resize(mesh.mNumVertices);
        for (unsigned v = 0; v < mesh.mNumVertices; ++v) p.normals[v] = ToVec3(mesh.mNormals[v]);
      }
      for (unsigned set = 0; set < 2; ++set) {
        if (!mesh.mTextureCoords[set]) continue;
        p.uvs[set].resize(mesh.mNumVertices);
        for (unsigned v = 0; v < mesh.mNumVertices; ++v)
          p.uvs[set][v] = {mesh.mTextureCoords[set][v].x, mesh.mTextureCoords[set][v].y};
      }
      if (i < keyframes_.size() && !keyframes_[i].empty()) {
        p.keyframes.push_back(p.positions);
        for (auto& frame : keyframes_[i])
          if (frame.size() == p.positions.size()) p.keyframes.push_back(std::move(frame));
        if (p.keyframes.size() < keyframes_[i].size() + 1) report_.Warn("key frames that do not match the first dropped", name);
        // Frames that all repeat the first (assimp reads only the base frames of some
        // formats) would only take memory.
        bool moves = false;
        for (std::size_t f = 1; f < p.keyframes.size() && !moves; ++f)
          for (std::size_t v = 0; v < p.positions.size() && !moves; ++v)
            moves = Length(p.keyframes[f][v] - p.positions[v]) > 0;
        if (!moves) {
          report_.Warn("key frames all alike as read (the reader gives only the first of some files): one kept", name);
          p.keyframes.clear();
        }
      }
      if (mesh.mTextureCoords[2]) report_.Warn("texture coordinate sets above the second dropped", name);
      if (mesh.mColors[0]) report_.Warn("vertex colours dropped", name);
      for (unsigned b = 0; b < mesh.mNumBones; ++b) {
        const aiBone& bone = *mesh.mBones[b];
        ImportBone out;
        out.nodeName = bone.mName.C_Str();
        for (int r = 0; r < 4; ++r)
          for (int c = 0; c < 4; ++c) out.offset.m[r][c] = bone.mOffsetMatrix[r][c];
        for (unsigned w = 0; w < bone.mNumWeights; ++w)
          if (bone.mWeights[w].mVertexId < mesh.mNumVertices && bone.mWeights[w].mWeight > 0)
            out.weights.emplace_back(bone.mWeights[w].mVertexId, bone.mWeights[w].mWeight);
        p.bones.push_back(std::move(out));
      }
      // Morph targets: assimp gives each as the whole mesh at full weight.
      std::vector<float> weights;
      for (unsigned t = 0; t < mesh.mNumAnimMeshes; ++t) {
        const aiAnimMesh& target = *mesh.mAnimMeshes[t];
        if (!target.mVertices || target.mNumVertices != mesh.mNumVertices) {
          report_.Warn("morph target without positions dropped (and the morph targets after it)", name);
          break;
        }
        std::vector<Vec3> deltas(mesh.mNumVertices);
        for (unsigned v = 0; v < mesh.mNumVertices; ++v) deltas[v] = ToVec3(target.mVertices[v]) - p.positions[v];
        p.morphDeltas.push_back(std::move(deltas));
        weights.push_back(target.mWeight);
      }
      for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        if (face.mNumIndices != 3) continue;
        bool valid = true;
        for (unsigned k = 0; k < 3; ++k) valid = valid && face.mIndices[k] < mesh.mNumVertices;
        if (!valid) continue;
        p.indices.insert(p.indices.end(), {face.mIndices[0], face.mIndices[1], face.mIndices[2]});
      }
      if (p.indices.size() / 3 < mesh.mNumFaces) report_.Warn("points and lines dropped", name);
      ImportMesh out;
      out.name = name;
      out.primitives.push_back(std::move(p));
      out.weights = std::move(weights);
      meshIndex_.push_back(static_cast<int>(meshes_.size()));
      meshes_.push_back(std::move(out));
    }
  }

  // Key times are in ticks; a reader that leaves the rate open gets 25 a second.
  double TicksPerSecond() const {
    for (unsigned a = 0; a < source_.mNumAnimations; ++a)
      if (source_.mAnimations[a]->mTicksPerSecond > 0) return source_.mAnimations[a]->mTicksPerSecond;
    return 25.0;
  }

  // The name of the assimp reader that read the file ("glTF2 Importer", ...).
  std::string Format() const {
    aiString name;
    return source_.mMetaData && source_.mMetaData->Get("SourceAsset_Format", name) ? name.C_Str() : "";
  }

  void ReadCameras() {
    for (unsigned i = 0; i < source_.mNumCameras; ++i) {
      const aiCamera& c = *source_.mCameras[i];
      ImportCamera out;
      out.name = Name(c.mName, "camera " + std::to_string(i));
      if (c.mOrthographicWidth > 0) out.perspective = false;
      // assimp's importers store the whole horizontal angle; the aspect gives the vertical.
      // Its glTF readers take an aspect left open as 1 (the angle is then the vertical
      // one) and copy the camera node's translation into the camera as well.
      const bool gltf = Format().rfind("glTF", 0) == 0;
      float aspect = c.mAspect > 0 ? c.mAspect : gltf ? 1.0f : 4.0f / 3.0f;
      out.aspect = c.mAspect;
      out.yfov = 2 * std::atan(std::tan(c.mHorizontalFOV / 2) / aspect);
      out.znear = c.mClipPlaneNear;
      out.zfar = c.mClipPlaneFar;
      out.position = gltf ? Vec3{0, 0, 0} : ToVec3(c.mPosition);
      out.forward = Normalized(ToVec3(c.mLookAt));
      out.up = Normalized(ToVec3(c.mUp));
      auto target = targets_.find(out.name);
      if (target != targets_.end()) {
        // assimp drops the target; 3DS scenes stand on their z axis. The eye stays
        // in the camera until its node turns out to carry it too (ReadNode).
        out.position = target->second.eye;
        out.hasTarget = true;
        out.target = target->second.target;
        out.roll = target->second.rollDegrees * 3.14159265f / 180;
        for (const RollKey& key : target->second.rollKeys) {
          out.rollTimes.push_back(static_cast<float>(key.frame / TicksPerSecond()));
          out.rolls.push_back(key.degrees * 3.14159265f / 180);
        }
        out.up = {0, 0, 1};
      }
      cameraByName_[out.name] = static_cast<int>(scene_.cameras.size());
      scene_.cameras.push_back(out);
    }
  }

  void ReadLights() {
    for (unsigned i = 0; i < source_.mNumLights; ++i) {
      const aiLight& l = *source_.mLights[i];
      ImportLight out;
      out.name = Name(l.mName, "light " + std::to_string(i));
      switch (l.mType) {
        case aiLightSource_POINT: out.type = LightType::Point; break;
        case aiLightSource_SPOT: out.type = LightType::Spot; break;
        case aiLightSource_DIRECTIONAL: out.type = LightType::Directional; break;
        default:
          report_.Warn("ambient and area lights dropped", out.name);
          continue;
      }
      // assimp folds the intensity into the colour; a colour above 1 is split again.
      Vec3 color{l.mColorDiffuse.r, l.mColorDiffuse.g, l.mColorDiffuse.b};
      float peak = std::max({color.x, color.y, color.z});
      out.intensity = peak > 1 ? peak : 1;
      out.color = color * (1 / out.intensity);
      out.attenuation = {l.mAttenuationConstant, l.mAttenuationLinear, l.mAttenuationQuadratic};
      if (out.attenuation[0] == 0 && out.attenuation[1] == 0 && out.attenuation[2] == 0) out.attenuation = {1, 0, 0};
      out.innerCone = l.mAngleInnerCone / 2;
      out.outerCone = l.mAngleOuterCone / 2;
      out.position = ToVec3(l.mPosition);
      Vec3 direction = Normalized(ToVec3(l.mDirection));
      if (Length(direction) > 0) out.direction = direction;
      lightByName_[out.name] = static_cast<int>(scene_.lights.size());
      scene_.lights.push_back(out);
    }
  }

  void ReadNode(const aiNode* node, int parent) {
    int index = static_cast<int>(scene_.nodes.size());
    scene_.nodes.emplace_back();
    {
      ImportNode& out = scene_.nodes.back();
      out.name = Name(node->mName, "node " + std::to_string(index));
      out.parent = parent;
      const aiMatrix4x4& t = node->mTransformation;
      Mat4 m;
      for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m.m[r][c] = t[r][c];
      if (!Decompose(m, &out.local.translation, &out.local.rotation, &out.local.scale))
        report_.Warn("degenerate node matrix", out.name);
      auto camera = cameraByName_.find(out.name);
      if (camera != cameraByName_.end()) {
        out.camera = camera->second;
        // With a key-framer, assimp gives the eye both to the node and to the camera.
        ImportCamera& c = scene_.cameras[camera->second];
        if (c.hasTarget && Length(out.local.translation) > 0) c.position = {0, 0, 0};
      }
      auto light = lightByName_.find(out.name);
      if (light != lightByName_.end()) out.light = light->second;
    }
    nodeByName_.emplace(scene_.nodes[index].name, index);
    if (parent >= 0) scene_.nodes[parent].children.push_back(index);
    // One mesh per node: several assimp meshes become primitives of one.
    ImportMesh merged;
    for (unsigned k = 0; k < node->mNumMeshes; ++k) {
      if (node->mMeshes[k] >= meshIndex_.size() || meshIndex_[node->mMeshes[k]] < 0) continue;
      const ImportMesh& mesh = meshes_[meshIndex_[node->mMeshes[k]]];
      if (merged.name.empty()) merged.name = mesh.name;
      if (merged.weights.empty()) merged.weights = mesh.weights;
      merged.primitives.insert(merged.primitives.end(), mesh.primitives.begin(), mesh.primitives.end());
    }
    if (!merged.primitives.empty()) {
      scene_.nodes[index].mesh = static_cast<int>(scene_.meshes.size());
      scene_.meshes.push_back(std::move(merged));
    }
    for (unsigned c = 0; c < node->mNumChildren; ++c) ReadNode(node->mChildren[c], index);
  }

  void ResolveBones() {
    for (auto& mesh : scene_.meshes)
      for (auto& p : mesh.primitives)
        for (auto& bone : p.bones) {
          auto node = nodeByName_.find(bone.nodeName);
          if (node != nodeByName_.end()) bone.node = node->second;
          else report_.Warn("bone without a node: its vertices stay in the bind pose", bone.nodeName);
        }
  }

  void ReadAnimations() {
    for (unsigned a = 0; a < source_.mNumAnimations; ++a) {
      const aiAnimation& animation = *source_.mAnimations[a];
      ImportAnimation out;
      out.name = Name(animation.mName, "animation " + std::to_string(a));
      double ticks = animation.mTicksPerSecond > 0 ? animation.mTicksPerSecond : 25.0;
      for (unsigned c = 0; c < animation.mNumChannels; ++c) {
        const aiNodeAnim& channel = *animation.mChannels[c];
        auto node = nodeByName_.find(channel.mNodeName.C_Str());
        if (node == nodeByName_.end()) {
          report_.Warn("animation channel of an unknown node dropped", channel.mNodeName.C_Str());
          continue;
        }
        auto add = [&](ChannelPath path, int width, unsigned count, auto time, auto value) {
          if (count == 0) return;
          ImportChannel ch;
          ch.node = node->second;
          ch.path = path;
          ch.width = width;
          ch.interpolation = Interpolation::Linear;
          for (unsigned k = 0; k < count; ++k) {
            float seconds = static_cast<float>(time(k) / ticks);
            if (!ch.times.empty() && seconds < ch.times.back()) seconds = ch.times.back();
            ch.times.push_back(std::max(seconds, 0.0f));
            value(k, &ch.values);
          }
          out.channels.push_back(std::move(ch));
        };
        add(ChannelPath::Translation, 3, channel.mNumPositionKeys,
            [&](unsigned k) { return channel.mPositionKeys[k].mTime; },
            [&](unsigned k, std::vector<float>* v) {
              const auto& p = channel.mPositionKeys[k].mValue;
              v->insert(v->end(), {p.x, p.y, p.z});
            });
        add(ChannelPath::Rotation, 4, channel.mNumRotationKeys,
            [&](unsigned k) { return channel.mRotationKeys[k].mTime; },
            [&](unsigned k, std::vector<float>* v) {
              const auto& q = channel.mRotationKeys[k].mValue;
              v->insert(v->end(), {q.x, q.y, q.z, q.w});
            });
        add(ChannelPath::Scale, 3, channel.mNumScalingKeys,
            [&](unsigned k) { return channel.mScalingKeys[k].mTime; },
            [&](unsigned k, std::vector<float>* v) {
              const auto& s = channel.mScalingKeys[k].mValue;
              v->insert(v->end(), {s.x, s.y, s.z});
            });
      }
      for (unsigned c = 0; c < animation.mNumMorphMeshChannels; ++c) {
        const aiMeshMorphAnim& channel = *animation.mMorphMeshChannels[c];
        // Named after the node (glTF) or after its mesh (other readers).
        int node = -1;
        auto named = nodeByName_.find(channel.mName.C_Str());
        if (named != nodeByName_.end() && scene_.nodes[named->second].mesh >= 0) node = named->second;
        for (std::size_t n = 0; n < scene_.nodes.size() && node < 0; ++n)
          if (scene_.nodes[n].mesh >= 0 && scene_.meshes[scene_.nodes[n].mesh].name == channel.mName.C_Str())
            node = static_cast<int>(n);
        std::size_t targets = 0;
        if (node >= 0)
          for (const auto& p : scene_.meshes[scene_.nodes[node].mesh].primitives)
            targets = std::max(targets, p.morphDeltas.size());
        if (targets == 0 || channel.mNumKeys == 0) {
          report_.Warn("morph animation of a mesh without morph targets dropped", channel.mName.C_Str());
          continue;
        }
        ImportChannel ch;
        ch.node = node;
        ch.path = ChannelPath::Weights;
        ch.width = static_cast<int>(targets);
        for (unsigned k = 0; k < channel.mNumKeys; ++k) {
          const aiMeshMorphKey& key = channel.mKeys[k];
          float seconds = std::max(static_cast<float>(key.mTime / ticks), ch.times.empty() ? 0.0f : ch.times.back());
          ch.times.push_back(seconds);
          std::vector<float> w(targets, 0.0f);
          for (unsigned i = 0; i < key.mNumValuesAndWeights; ++i)
            if (key.mValues[i] < targets) w[key.mValues[i]] = static_cast<float>(key.mWeights[i]);
          ch.values.insert(ch.values.end(), w.begin(), w.end());
        }
        out.channels.push_back(std::move(ch));
      }
      if (animation.mNumMeshChannels) report_.Warn("vertex animation of this format dropped", out.name);
      scene_.animations.push_back(std::move(out));
    }
  }

  const aiScene& source_;
  std::string folder_;
  std::map<std::string, TargetCamera> targets_;
  std::vector<std::vector<std::vector<Vec3>>> keyframes_;
  std::optional<Mat4> upright_;
  ImportScene& scene_;
  ImportReport& report_;
  std::vector<ImportMesh> meshes_;  // one per assimp mesh, copied into the nodes that use it
  std::vector<int> meshIndex_;      // assimp mesh -> meshes_ (-1 dropped)
  std::map<std::string, int> images_, cameraByName_, lightByName_;
  std::multimap<std::string, int> nodeByName_;
};

// The Quake family's files (MD2, MD3, MDC, and Quake's and 3D GameStudio's MDL up
// to MDL5) hold whole vertex key frames; assimp reads one at a time, the one a
// property names (MD3's frames are read here: assimp ignores its property). Where
// each header keeps its frame count:
struct KeyframeFormat {
  const char* extension;
  const char* magic[4];
  std::size_t countAt;
  const char* property;
};
constexpr KeyframeFormat kKeyframeFormats[] = {
    {".md2", {"IDP2"}, 40, AI_CONFIG_IMPORT_MD2_KEYFRAME},
    {".md3", {"IDP3"}, 76, nullptr},
    {".mdc", {"IDPC"}, 76, AI_CONFIG_IMPORT_MDC_KEYFRAME},
    {".mdl", {"IDPO", "MDL3", "MDL4", "MDL5"}, 68, AI_CONFIG_IMPORT_MDL_KEYFRAME},
};

std::vector<std::vector<std::vector<Vec3>>> ReadKeyframes(const std::string& path, const std::string& ext,
                                                          const aiScene& first, ImportReport* report) {
  constexpr std::int32_t kMaxFrames = 1024;
  std::ifstream in(path, std::ios::binary);
  char header[80] = {};
  in.read(header, sizeof header);
  const KeyframeFormat* format = nullptr;
  for (const auto& f : kKeyframeFormats)
    for (const char* magic : f.magic)
      if (ext == f.extension && magic && in.gcount() >= static_cast<std::streamsize>(f.countAt + 4) &&
          std::memcmp(header, magic, 4) == 0)
        format = &f;
  if (!format) return {};
  std::int32_t frames = 0;
  std::memcpy(&frames, header + format->countAt, 4);
  if (frames < 2) return {};
  if (frames > kMaxFrames) {
    report->Warn("key frames beyond the " + std::to_string(kMaxFrames) + "th dropped", path);
    frames = kMaxFrames;
  }
  if (!format->property) return ReadMd3Frames(path, first, static_cast<std::size_t>(frames));
  std::vector<std::vector<std::vector<Vec3>>> out(first.mNumMeshes);
  for (std::int32_t f = 1; f < frames; ++f) {
    Assimp::Importer importer;
    importer.SetPropertyInteger(format->property, f);
    const aiScene* scene = importer.ReadFile(path, aiProcess_Triangulate | aiProcess_SortByPType | aiProcess_FlipUVs);
    if (!scene || scene->mNumMeshes != first.mNumMeshes) {
      report->Warn("key frames from " + std::to_string(f) + " on could not be read, dropped", path);
      break;
    }
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
      std::vector<Vec3> positions(scene->mMeshes[m]->mNumVertices);
      for (unsigned v = 0; v < positions.size(); ++v) positions[v] = ToVec3(scene->mMeshes[m]->mVertices[v]);
      out[m].push_back(std::move(positions));
    }
  }
  return out;
}

// How the file's axes stand against the y-up ones the importer works in: as its
// metadata names them (FBX), else as its format has it (Blender and 3MF stand on
// z). assimp turns most other formats upright itself, under their root node.
std::optional<Mat4> UprightTurn(const aiScene& source, const std::string& ext) {
  int axis[3], sign[3];  // for x, y and z of the result: the file's axis and its sign
  const char* keys[3][2] = {{"CoordAxis", "CoordAxisSign"}, {"UpAxis", "UpAxisSign"}, {"FrontAxis", "FrontAxisSign"}};
  bool stated = source.mMetaData != nullptr;
  for (int k = 0; k < 3 && stated; ++k) {
    std::int32_t a = -1, s = 0;
    stated = source.mMetaData->Get(keys[k][0], a) && source.mMetaData->Get(keys[k][1], s) && a >= 0 && a < 3 &&
             (s == 1 || s == -1);
    axis[k] = a, sign[k] = s;
  }
  if (stated && (axis[0] == axis[1] || axis[1] == axis[2] || axis[0] == axis[2])) stated = false;
  if (!stated) {
    if (ext != ".blend" && ext != ".3mf") return std::nullopt;
    axis[0] = 0, axis[1] = 2, axis[2] = 1;  // (x, z, -y): z up, the viewer on -y
    sign[0] = 1, sign[1] = 1, sign[2] = -1;
  }
  Mat4 turn;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) turn.m[r][c] = c == axis[r] ? static_cast<float>(sign[r]) : 0.0f;
  if (turn.m == Mat4{}.m) return std::nullopt;
  return turn;
}

}  // namespace

bool ReadWithAssimp(const std::string& path, ImportScene* scene, ImportReport* report, std::string* error) {
  Assimp::Importer importer;
  // Without normals a model keeps smooth shading; assimp must not invent flat ones.
  const aiScene* source = importer.ReadFile(
      path, aiProcess_Triangulate | aiProcess_SortByPType | aiProcess_FlipUVs | aiProcess_GenUVCoords |
                aiProcess_TransformUVCoords | aiProcess_ValidateDataStructure);
  // Without meshes assimp marks the scene incomplete and may add a stand-in mesh of
  // its own; either way there is nothing of the file to draw.
  const bool incomplete = source && (source->mFlags & AI_SCENE_FLAGS_INCOMPLETE);
  if (source && source->mRootNode && (source->mNumMeshes == 0 || (incomplete && !*importer.GetErrorString()))) {
    *error = "the file holds no geometry (" + std::to_string(source->mNumCameras) + " cameras, " +
             std::to_string(source->mNumLights) + " lights): nothing to draw";
    return false;
  }
  if (!source || !source->mRootNode || (source->mFlags & AI_SCENE_FLAGS_INCOMPLETE)) {
    std::string said = importer.GetErrorString();
    if (said.find("bad_alloc") != std::string::npos || said.find("bad_array_new_length") != std::string::npos)
      *error = OutOfMemoryMessage();
    else if (said.find("mNumMeshes is 0") != std::string::npos)
      *error = "the file holds no geometry: nothing to draw";
    else if (said.find("No suitable reader") != std::string::npos)
      *error = "not a model format the importer reads";
    else
      *error = said.empty() ? "the file could not be read as a model" : said;
    return false;
  }
  const std::string ext = text::Lower(std::filesystem::path(path).extension().string());
  std::map<std::string, TargetCamera> targets;
  if (ext == ".3ds") targets = Read3dsCameras(path);
  std::vector<std::vector<std::vector<Vec3>>> keyframes;
  keyframes = ReadKeyframes(path, ext, *source, report);
  AssimpReader(*source, std::filesystem::path(path).parent_path().string(), std::move(targets), std::move(keyframes),
               UprightTurn(*source, ext), scene, report)
      .Read();
  return true;
}

}  // namespace sceneimport
