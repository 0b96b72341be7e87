#include "tools/sceneimport/SceneBuilder.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "tools/sceneimport/AnimationSampler.h"
#include "tools/sceneimport/AxisMapping.h"
#include "tools/sceneimport/MeshBuilder.h"

namespace sceneimport {
namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kUnlimitedRange = 1.0e18f;
// Vertex frames of one buffer may take this much memory in the player.
constexpr std::size_t kMaxFrameBytes = std::size_t{256} << 20;
constexpr std::size_t kMaxKeys = 1000000;

std::uint8_t Channel(float v) {
  if (v >= 1.0f) return 255;
  if (!(v > 0.0f)) return 0;
  return static_cast<std::uint8_t>(v * 255 + 0.5f);
}

std::uint32_t Argb(float r, float g, float b, float a = 1) {
  return static_cast<std::uint32_t>(Channel(a)) << 24 | static_cast<std::uint32_t>(Channel(r)) << 16 |
         static_cast<std::uint32_t>(Channel(g)) << 8 | Channel(b);
}

std::array<float, 3> ToArray(Vec3 v) { return {v.x, v.y, v.z}; }
std::array<float, 4> ToArray(Quat q) { return {q.x, q.y, q.z, q.w}; }

bool Finite(const ImportTransform& t) {
  for (float v : {t.translation.x, t.translation.y, t.translation.z, t.rotation.x, t.rotation.y, t.rotation.z,
                  t.rotation.w, t.scale.x, t.scale.y, t.scale.z})
    if (!std::isfinite(v)) return false;
  return true;
}

bool DefaultFrame(const ImportCamera& c) {
  return c.position == Vec3{0, 0, 0} && Length(c.forward - Vec3{0, 0, -1}) < 1e-6f &&
         Length(c.up - Vec3{0, 1, 0}) < 1e-6f;
}

// The player's light shines along minus the second column of its world matrix, so
// a light node is turned until that column points against the light.
Quat LightRotation(Vec3 sceneDirection) {
  return RotationBetween(Normalized(sceneDirection) * -1.0f, Vec3{0, 1, 0});
}

}  // namespace

SceneBuilder::SceneBuilder(ImportScene scene, const ImportOptions& options, std::string showFolder,
                           std::string textureFolder, ImportReport* report)
    : scene_(std::move(scene)),
      options_(options),
      report_(*report),
      textures_(scene_, std::move(textureFolder), std::move(showFolder),
                std::filesystem::path(options.output).stem().string(), report) {}

std::uint32_t SceneBuilder::Ms(float seconds) const {
  return static_cast<std::uint32_t>(std::lround(static_cast<double>(seconds) * 1000.0));
}

std::string SceneBuilder::Limited(const std::string& name) {
  if (name.size() <= 65535) return name;
  report_.Warn("name longer than 65,535 bytes cut", name.substr(0, 40) + "...");
  return name.substr(0, 65535);
}

scenefile::NodeHeader SceneBuilder::Header(const std::string& name, std::uint32_t parent,
                                           const ImportTransform& t) {
  scenefile::NodeHeader h;
  h.parent = static_cast<std::int32_t>(parent);
  h.name = Limited(name);
  h.position = ToArray(MapPoint(t.translation, options_.scale));
  h.rotation = ToArray(MapRotation(Normalized(t.rotation)));
  h.scale = ToArray(MapScale(t.scale));
  return h;
}

bool SceneBuilder::Build(std::string* error) {
  for (const auto& node : scene_.nodes)
    if (!Finite(node.local)) {
      *error = "node '" + node.name + "' has a transform that is not a finite number";
      return false;
    }
  ComputeBounds(&boundsCentre_, &boundsRadius_);
  if (options_.frame) AddFraming();
  PlanAnimation();

  next_ = 0;
  scenefile::GroupChunk root;
  root.index = next_++;
  root.node.name = "root";
  writer_.Add(root);
  ++report_.counts.nodes;
  for (int node : scene_.roots)
    if (!EmitNode(node, root.index, error)) return false;
  for (std::size_t i = 0; i < scene_.nodes.size(); ++i)
    if (scene_.nodes[i].light >= 0) EmitLight(static_cast<int>(i));
  // Emission colours ride on the material's ambient colour under a white scene ambient.
  writer_.Ambient(needsAmbient_ ? 0xFFFFFFFFu : 0xFF000000u);

  if (report_.counts.cameras == 0)
    report_.Warn("no camera: the player draws nothing of this scene (add one with --frame)");
  else if (cameraNames_.size() > 1)
    for (const auto& name : cameraNames_) report_.Warn("several cameras: the first is active at start", name);
  if (report_.counts.lights == 0)
    report_.Warn("no lights: only self-illumination shows (add one with --frame)");
  if (writer_.Bytes().size() > 0xFFFFFFFFull) {
    *error = "the scene would be larger than 4 GiB";
    return false;
  }
  return true;
}

void SceneBuilder::ComputeBounds(Vec3* centre, float* radius) const {
  Vec3 lo{1e30f, 1e30f, 1e30f}, hi{-1e30f, -1e30f, -1e30f};
  bool any = false;
  std::vector<Vec3> points;
  for (std::size_t i = 0; i < scene_.nodes.size(); ++i) {
    const auto& node = scene_.nodes[i];
    if (node.mesh < 0) continue;
    Mat4 world = WorldAt(static_cast<int>(i), 0);
    for (const auto& p : scene_.meshes[node.mesh].primitives)
      for (Vec3 v : p.positions) {
        Vec3 w = TransformPoint(world, v);
        if (!std::isfinite(w.x) || !std::isfinite(w.y) || !std::isfinite(w.z)) continue;
        lo = {std::min(lo.x, w.x), std::min(lo.y, w.y), std::min(lo.z, w.z)};
        hi = {std::max(hi.x, w.x), std::max(hi.y, w.y), std::max(hi.z, w.z)};
        any = true;
      }
  }
  if (!any) {
    *centre = {0, 0, 0};
    *radius = 1;
    return;
  }
  *centre = (lo + hi) * 0.5f;
  *radius = std::max(Length(hi - lo) * 0.5f, 1e-3f);
}

void SceneBuilder::AddFraming() {
  bool hasCamera = false, hasLight = false;
  for (const auto& node : scene_.nodes) {
    hasCamera = hasCamera || (node.camera >= 0 && scene_.cameras[node.camera].perspective);
    hasLight = hasLight || node.light >= 0;
  }
  const float fov = 0.7853982f;
  const float distance = boundsRadius_ / std::sin(fov / 2);
  Vec3 back = Normalized(Vec3{0, 0.35f, 1});
  if (!hasCamera) {
    ImportCamera camera;
    camera.name = "frame camera";
    camera.yfov = fov;
    camera.aspect = 4.0f / 3.0f;
    camera.znear = std::max(distance - boundsRadius_ * 1.5f, distance * 0.01f);
    camera.zfar = (distance + boundsRadius_) * 2;
    ImportNode node;
    node.name = "frame camera";
    node.local.translation = boundsCentre_ + back * distance;
    node.local.rotation = LookRotation(back * -1.0f, Vec3{0, 1, 0});
    node.camera = static_cast<int>(scene_.cameras.size());
    scene_.cameras.push_back(camera);
    scene_.roots.push_back(static_cast<int>(scene_.nodes.size()));
    scene_.nodes.push_back(node);
  }
  if (!hasLight) {
    ImportLight light;
    light.name = "frame light";
    light.type = LightType::Directional;
    light.attenuation = {1, 0, 0};
    ImportNode node;
    node.name = "frame light node";
    Vec3 from = Normalized(Vec3{-1, 1.5f, 1});
    node.local.translation = boundsCentre_ + from * distance;
    node.local.rotation = LookRotation(from * -1.0f, Vec3{0, 1, 0});
    node.light = static_cast<int>(scene_.lights.size());
    scene_.lights.push_back(light);
    scene_.roots.push_back(static_cast<int>(scene_.nodes.size()));
    scene_.nodes.push_back(node);
  }
  if (hasCamera && hasLight) report_.Warn("--frame: the model has a camera and lights, nothing added");
}

void SceneBuilder::PlanAnimation() {
  float loopSeconds = 0;
  for (const auto& animation : scene_.animations)
    for (const auto& channel : animation.channels) {
      auto& slot = animated_[channel.node].channel[static_cast<int>(channel.path)];
      if (slot) {
        report_.Warn("animation overlapping an earlier one on the same node dropped",
                     animation.name + " on " + scene_.nodes[channel.node].name);
        continue;
      }
      slot = &channel;
      ++report_.counts.channels;
      loopSeconds = std::max(loopSeconds, channel.times.back());
      if (channel.interpolation == Interpolation::Step)
        report_.Warn("step interpolation approximated by keys at --fps", animation.name);
      if (channel.interpolation == Interpolation::CubicSpline)
        report_.Warn("cubic-spline interpolation approximated by keys at --fps", animation.name);
    }
  if (scene_.animations.size() > 1)
    for (const auto& animation : scene_.animations) report_.Warn("several animations play together from time 0", animation.name);
  loopMs_ = std::max<std::uint32_t>(1, static_cast<std::uint32_t>(std::ceil(static_cast<double>(loopSeconds) * 1000.0)));
  // A channel that spans no time is a fixed value: it goes into the node itself.
  for (auto& [node, animation] : animated_) {
    for (int path = 0; path < 4; ++path) {
      const ImportChannel* c = animation.channel[path];
      if (!c || Ms(c->times.back()) > Ms(c->times.front())) continue;
      std::vector<float> v = SampleChannel(*c, c->times.front());
      ImportNode& n = scene_.nodes[node];
      if (c->path == ChannelPath::Translation) n.local.translation = {v[0], v[1], v[2]};
      if (c->path == ChannelPath::Rotation) n.local.rotation = {v[0], v[1], v[2], v[3]};
      if (c->path == ChannelPath::Scale) n.local.scale = {v[0], v[1], v[2]};
      if (c->path == ChannelPath::Weights) n.weights = v;
      animation.channel[path] = nullptr;
    }
  }
}

ImportTransform SceneBuilder::LocalAt(int node, float t) const {
  ImportTransform local = scene_.nodes[node].local;
  auto found = animated_.find(node);
  if (found == animated_.end()) return local;
  for (int path = 0; path < 3; ++path) {
    const ImportChannel* c = found->second.channel[path];
    if (!c) continue;
    std::vector<float> v = SampleChannel(*c, t);
    if (path == 0) local.translation = {v[0], v[1], v[2]};
    if (path == 1) local.rotation = {v[0], v[1], v[2], v[3]};
    if (path == 2) local.scale = {v[0], v[1], v[2]};
  }
  return local;
}

Mat4 SceneBuilder::WorldAt(int node, float t) const {
  ImportTransform local = LocalAt(node, t);
  Mat4 m = Compose(local.translation, local.rotation, local.scale);
  int parent = scene_.nodes[node].parent;
  return parent >= 0 ? Multiply(WorldAt(parent, t), m) : m;
}

bool SceneBuilder::AnimatedChain(int node) const {
  for (int n = node; n >= 0; n = scene_.nodes[n].parent) {
    auto found = animated_.find(n);
    if (found != animated_.end())
      for (int path = 0; path < 3; ++path)
        if (found->second.channel[path]) return true;
  }
  return false;
}

bool SceneBuilder::EmitNode(int nodeIndex, std::uint32_t parentIndex, std::string* error) {
  const ImportNode& node = scene_.nodes[nodeIndex];
  const std::uint32_t index = next_++;
  scenefile::NodeHeader header = Header(node.name, parentIndex, node.local);
  const ImportCamera* camera = node.camera >= 0 ? &scene_.cameras[node.camera] : nullptr;
  if (camera && !camera->perspective) {
    report_.Warn("orthographic camera dropped (the player has perspective cameras only)", camera->name);
    camera = nullptr;
  }
  bool cameraOnNode = camera && DefaultFrame(*camera);
  auto writeCamera = [&](std::uint32_t cameraIndex, scenefile::NodeHeader h, const ImportCamera& c) {
    scenefile::CameraChunk chunk;
    chunk.index = cameraIndex;
    chunk.node = std::move(h);
    float fov = c.yfov;
    if (!(fov > 0.001f && fov < kPi - 0.001f)) {
      report_.Warn("camera field of view out of range, 45 degrees used", c.name);
      fov = 0.7853982f;
    }
    if (c.aspect > 0 && std::abs(c.aspect - 4.0f / 3.0f) > 0.01f)
      report_.Warn("camera aspect ratio replaced by the player's 4:3 (vertical field of view kept)", c.name);
    float znear = c.znear > 0 ? c.znear : 0.1f;
    float zfar = c.zfar;
    if (!(zfar > znear)) {
      // Far enough for the whole model seen from wherever the camera starts.
      Vec3 eye = TransformPoint(WorldAt(nodeIndex, 0), c.position);
      zfar = std::max((Length(eye - boundsCentre_) + boundsRadius_) * 2, znear * 1000);
      report_.Warn("camera without a far clip plane: far clip set to " + std::to_string(zfar * options_.scale), c.name);
    }
    chunk.fov = fov;
    chunk.nearClip = znear * options_.scale;
    chunk.farClip = zfar * options_.scale;
    writer_.Add(chunk);
    ++report_.counts.cameras;
    cameraNames_.push_back(chunk.node.name);
  };
  if (cameraOnNode) {
    writeCamera(index, header, *camera);
  } else {
    writer_.Add(scenefile::GroupChunk{index, 2, header});
  }
  ++report_.counts.nodes;
  EmitNodeController(nodeIndex, index);
  if (camera && !cameraOnNode) {
    ImportTransform frame;
    frame.translation = camera->position;
    frame.rotation = LookRotation(camera->forward, camera->up);
    writeCamera(next_++, Header(camera->name, index, frame), *camera);
    ++report_.counts.nodes;
  }
  if (node.mesh >= 0) {
    bool mirrored = Determinant3(WorldAt(nodeIndex, 0)) < 0;
    if (!EmitMesh(nodeIndex, index, mirrored, error)) return false;
  }
  for (int child : node.children)
    if (!EmitNode(child, index, error)) return false;
  return true;
}

void SceneBuilder::EmitNodeController(int nodeIndex, std::uint32_t index) {
  auto found = animated_.find(nodeIndex);
  if (found == animated_.end()) return;
  const NodeAnimation& animation = found->second;
  float t0 = 1e30f, t1 = -1e30f;
  std::uint32_t flags = 0;
  for (int path = 0; path < 3; ++path)
    if (const ImportChannel* c = animation.channel[path]) {
      t0 = std::min(t0, c->times.front());
      t1 = std::max(t1, c->times.back());
      flags |= 1u << path;
    }
  if (!flags) return;
  scenefile::PRSControllerChunk chunk;
  chunk.index = next_++;
  chunk.node = index;
  std::uint32_t keyStart = Ms(t0), keyEnd = Ms(t1);
  chunk.times = {0, std::max(loopMs_, keyEnd), keyStart, keyEnd};
  chunk.keyFlags = flags;
  std::size_t n = std::max<std::size_t>(2, static_cast<std::size_t>(std::lround((keyEnd - keyStart) / 1000.0 * options_.fps)) + 1);
  n = std::min(n, kMaxKeys);
  const ImportNode& node = scene_.nodes[nodeIndex];
  Quat previous = MapRotation(node.local.rotation);
  bool signFlip = false;
  const float restSign = node.local.scale.x * node.local.scale.y * node.local.scale.z;
  for (std::size_t i = 0; i < n; ++i) {
    double ms = keyStart + static_cast<double>(keyEnd - keyStart) * static_cast<double>(i) / static_cast<double>(n - 1);
    ImportTransform t = LocalAt(nodeIndex, static_cast<float>(ms / 1000.0));
    scenefile::PRSKey key;
    key.position = ToArray(MapPoint(t.translation, options_.scale));
    Quat q = MapRotation(Normalized(t.rotation));
    // Neighbouring keys in one hemisphere, so that no blend takes the long way round.
    if (i > 0 && q.x * previous.x + q.y * previous.y + q.z * previous.z + q.w * previous.w < 0) q = {-q.x, -q.y, -q.z, -q.w};
    previous = q;
    key.rotation = ToArray(q);
    key.scale = ToArray(MapScale(t.scale));
    signFlip = signFlip || (t.scale.x * t.scale.y * t.scale.z) * restSign < 0;
    chunk.keys.push_back(key);
  }
  if (signFlip) report_.Warn("animated mirroring: the winding follows the first frame only", node.name);
  writer_.Add(chunk);
  ++report_.counts.controllers;
}

bool SceneBuilder::EmitMesh(int nodeIndex, std::uint32_t nodeChunk, bool mirrored, std::string* error) {
  const ImportNode& node = scene_.nodes[nodeIndex];
  const ImportMesh& mesh = scene_.meshes[node.mesh];
  MeshMapping mapping;
  mapping.scale = options_.scale;
  mapping.mirrorX = mirrored;
  mapping.staticWeights = !node.weights.empty() ? node.weights : mesh.weights;
  const ImportChannel* weights = nullptr;
  auto found = animated_.find(nodeIndex);
  if (found != animated_.end()) weights = found->second.channel[static_cast<int>(ChannelPath::Weights)];
  std::size_t targets = 0, positions = 0;
  for (const auto& p : mesh.primitives) {
    targets = std::max(targets, p.morphDeltas.size());
    positions += p.positions.size();
  }
  std::uint32_t keyStart = 0, keyEnd = 0;
  std::size_t frames = 0;
  if (weights && targets) {
    keyStart = Ms(weights->times.front());
    keyEnd = Ms(weights->times.back());
    frames = std::max<std::size_t>(2, static_cast<std::size_t>(std::lround((keyEnd - keyStart) / 1000.0 * options_.fps)) + 1);
    if (frames * std::min(positions, kMaxPartVertices) * 12 > kMaxFrameBytes) {
      report_.Warn("morph animation too large for vertex frames, first frame kept", mesh.name);
      mapping.staticWeights = SampleChannel(*weights, weights->times.front());
      frames = 0;
    } else {
      mapping.staticWeights.clear();
      mapping.keepMorphTargets = true;
    }
  } else if (weights) {
    weights = nullptr;
  }
  std::vector<MeshPart> parts = BuildMeshParts(mesh, scene_.materials, mapping, &report_);
  if (parts.size() > 65535) {
    *error = "mesh '" + mesh.name + "' needs more parts than the format allows";
    return false;
  }
  for (std::size_t k = 0; k < parts.size(); ++k) {
    MeshPart& part = parts[k];
    std::uint32_t carrier = nodeChunk;
    if (mirrored || k > 0) {
      // A mirrored node carries its mesh through a child that mirrors once more,
      // so the triangles the player draws have a proper transform and keep their side.
      ImportTransform identity;
      scenefile::NodeHeader h = Header(node.name + (mirrored ? " mirrored" : "") +
                                           (k > 0 ? " part " + std::to_string(k + 1) : ""),
                                       nodeChunk, identity);
      if (mirrored) h.scale = {-1, 1, 1};
      carrier = next_++;
      writer_.Add(scenefile::GroupChunk{carrier, 2, h});
      ++report_.counts.nodes;
    }
    for (const auto& run : part.runs) Material(run.material);
    scenefile::VertexBufferChunk vb;
    vb.index = next_++;
    vb.componentFlags = scenefile::kVertexUv0 | scenefile::kVertexUv1;
    vb.vertices = std::move(part.vertices);
    if (frames) {
      for (std::size_t f = 0; f < frames; ++f) {
        double ms = keyStart + static_cast<double>(keyEnd - keyStart) * static_cast<double>(f) / static_cast<double>(frames - 1);
        std::vector<float> w = SampleChannel(*weights, static_cast<float>(ms / 1000.0));
        std::vector<std::array<float, 3>> frame(vb.vertices.size());
        for (std::size_t v = 0; v < vb.vertices.size(); ++v) {
          Vec3 p{vb.vertices[v].position[0], vb.vertices[v].position[1], vb.vertices[v].position[2]};
          for (std::size_t t = 0; t < part.morphDeltas.size() && t < w.size(); ++t) p = p + part.morphDeltas[t][v] * w[t];
          frame[v] = ToArray(p);
        }
        if (f == 0) {
          for (std::size_t v = 0; v < vb.vertices.size(); ++v) vb.vertices[v].position = frame[v];
        } else {
          vb.extraFrames.push_back(std::move(frame));
        }
      }
    }
    report_.counts.vertices += vb.vertices.size();
    writer_.Add(vb);
    scenefile::IndexBufferChunk ib{next_++, std::move(part.indices)};
    report_.counts.triangles += ib.indices.size() / 3;
    writer_.Add(ib);
    scenefile::MeshChunk chunk;
    chunk.index = next_++;
    chunk.node = carrier;
    chunk.name = Limited(mesh.name);
    chunk.vertexBuffer = vb.index;
    chunk.indexBuffer = ib.index;
    for (const auto& run : part.runs)
      chunk.subMeshes.push_back({run.startIndex, Material(run.material), 0, run.indexCount, 0});
    writer_.Add(chunk);
    ++report_.counts.meshes;
    if (frames) {
      scenefile::VertexControllerChunk controller;
      controller.index = next_++;
      controller.vertexBuffer = vb.index;
      controller.times = {0, std::max(loopMs_, keyEnd), keyStart, keyEnd};
      writer_.Add(controller);
      ++report_.counts.controllers;
    }
  }
  return true;
}

std::uint32_t SceneBuilder::Material(int materialIndex) {
  auto found = materials_.find(materialIndex);
  if (found != materials_.end()) return found->second;
  ImportMaterial m;
  m.name = "default";
  if (materialIndex >= 0) m = scene_.materials[materialIndex];
  scenefile::MaterialChunk chunk;
  const bool transparent = m.alphaMode != AlphaMode::Opaque;
  // Self-illumination: the grey part of the emission (its smallest channel) is the
  // scene's one self-illumination amount, which also makes the surface glow; the
  // coloured rest goes into the ambient colour, lit by a white scene ambient. An
  // emissive texture becomes the add layer with the emission colour baked in.
  float selfIllum = 0;
  Vec3 ambient{0, 0, 0};
  if (std::max({m.emissive.x, m.emissive.y, m.emissive.z}) > 1)
    report_.Warn("emission above full strength clipped", m.name);
  if (m.emissiveTexture.image >= 0) {
    TextureVariant variant;
    variant.tint = {std::clamp(m.emissive.x, 0.0f, 1.0f), std::clamp(m.emissive.y, 0.0f, 1.0f),
                    std::clamp(m.emissive.z, 0.0f, 1.0f)};
    variant.dropAlpha = true;
    chunk.addMap = textures_.Use(m.emissiveTexture.image, variant, &writer_, &next_);
  } else {
    selfIllum = std::clamp(std::min({m.emissive.x, m.emissive.y, m.emissive.z}), 0.0f, 1.0f);
    ambient = {std::clamp(m.emissive.x - selfIllum, 0.0f, 1.0f), std::clamp(m.emissive.y - selfIllum, 0.0f, 1.0f),
               std::clamp(m.emissive.z - selfIllum, 0.0f, 1.0f)};
    if (ambient.x > 0 || ambient.y > 0 || ambient.z > 0) needsAmbient_ = true;
  }
  if (m.baseTexture.image >= 0) {
    TextureVariant variant;
    // The player draws a textured surface with a white diffuse colour: the colour
    // factor is baked into the picture.
    variant.tint = {std::clamp(m.baseColor[0], 0.0f, 1.0f), std::clamp(m.baseColor[1], 0.0f, 1.0f),
                    std::clamp(m.baseColor[2], 0.0f, 1.0f)};
    variant.dropAlpha = !transparent;
    chunk.diffuseMap = textures_.Use(m.baseTexture.image, variant, &writer_, &next_);
  }
  if (m.reflectionMap.image >= 0) chunk.sphereMap = textures_.Use(m.reflectionMap.image, {}, &writer_, &next_);
  if (m.lightMap.image >= 0) chunk.lightMap = textures_.Use(m.lightMap.image, {{1, 1, 1}, true}, &writer_, &next_);
  if (m.specularTexture.image >= 0) chunk.specularMap = textures_.Use(m.specularTexture.image, {{1, 1, 1}, true}, &writer_, &next_);
  // The player multiplies the opacity in more than once (twice with a diffuse
  // texture, three times without), so the stored value is the matching root.
  float alpha = transparent ? std::clamp(m.baseColor[3], 0.0f, 1.0f) : 1.0f;
  float opacity = alpha;
  if (alpha < 1) {
    float root = chunk.diffuseMap != scenefile::kNone ? std::sqrt(alpha) : std::cbrt(alpha);
    if (root <= 0.99f) opacity = root;
  }
  chunk.index = next_++;
  chunk.version = 2;
  chunk.diffuse = Argb(m.baseColor[0], m.baseColor[1], m.baseColor[2], opacity);
  chunk.ambient = Argb(ambient.x, ambient.y, ambient.z, opacity);
  chunk.specular = Argb(m.specularColor.x, m.specularColor.y, m.specularColor.z, opacity);
  chunk.emissive = Argb(selfIllum, selfIllum, selfIllum);
  chunk.power = std::max(m.specularExponent, 0.0f) / 32.0f;
  chunk.specularLevel = std::max(m.specularLevel, 0.0f);
  chunk.blendMode = transparent ? 2 : 0;
  chunk.opacity = opacity;
  writer_.Add(chunk);
  ++report_.counts.materials;
  materials_[materialIndex] = chunk.index;
  return chunk.index;
}

void SceneBuilder::EmitLight(int nodeIndex) {
  const ImportNode& node = scene_.nodes[nodeIndex];
  const ImportLight& light = scene_.lights[node.light];
  auto place = [&](float seconds, Vec3* position, Quat* rotation) {
    Mat4 world = WorldAt(nodeIndex, seconds);
    *position = MapPoint(TransformPoint(world, light.position), options_.scale);
    *rotation = LightRotation(MapDirection(Normalized(TransformDirection(world, light.direction))));
  };
  // Lights hang under the root with their world placement worked out here: the
  // player takes their direction from the inverse of their rotation.
  scenefile::LightChunk chunk;
  chunk.index = next_++;
  chunk.node.parent = 0;
  chunk.node.name = Limited(light.name);
  Vec3 position;
  Quat rotation;
  place(0, &position, &rotation);
  chunk.node.position = ToArray(position);
  chunk.node.rotation = ToArray(rotation);
  chunk.type = light.type == LightType::Point ? 1 : light.type == LightType::Spot ? 2 : 3;
  float peak = std::max({light.color.x, light.color.y, light.color.z});
  float fold = peak > 1 ? peak : 1;
  chunk.color = Argb(light.color.x / fold, light.color.y / fold, light.color.z / fold);
  chunk.intensity = light.intensity * fold;
  // Lengths scale, so the fall-off per unit of length scales with them.
  chunk.attenuation0 = light.attenuation[0];
  chunk.attenuation1 = light.attenuation[1] / options_.scale;
  chunk.attenuation2 = light.attenuation[2] / (options_.scale * options_.scale);
  chunk.range = light.range > 0 ? light.range * options_.scale : kUnlimitedRange;
  if (light.range > 0 && light.type != LightType::Directional)
    report_.Warn("light range cuts off sharply instead of fading", light.name);
  const float toDegrees = 180.0f / kPi;
  chunk.phiDegrees = std::clamp(2 * light.outerCone * toDegrees, 0.0f, 180.0f);
  chunk.thetaDegrees = std::clamp(2 * light.innerCone * toDegrees, 0.0f, chunk.phiDegrees);
  writer_.Add(chunk);
  ++report_.counts.lights;
  ++report_.counts.nodes;
  if (!AnimatedChain(nodeIndex)) return;
  scenefile::PRSControllerChunk controller;
  controller.index = next_++;
  controller.node = chunk.index;
  controller.times = {0, loopMs_, 0, loopMs_};
  controller.keyFlags = scenefile::kKeyPosition | scenefile::kKeyRotation;
  std::size_t n = std::min(kMaxKeys, std::max<std::size_t>(2, static_cast<std::size_t>(std::lround(loopMs_ / 1000.0 * options_.fps)) + 1));
  for (std::size_t i = 0; i < n; ++i) {
    double ms = static_cast<double>(loopMs_) * static_cast<double>(i) / static_cast<double>(n - 1);
    scenefile::PRSKey key;
    place(static_cast<float>(ms / 1000.0), &position, &rotation);
    key.position = ToArray(position);
    key.rotation = ToArray(rotation);
    controller.keys.push_back(key);
  }
  writer_.Add(controller);
  ++report_.counts.controllers;
}

}  // namespace sceneimport
