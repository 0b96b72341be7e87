#include "tools/sceneimport/SceneBuilder.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>

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

// The player's light shines along minus the second column of its world matrix, so
// a light node is turned until that column points against the light.
Quat LightRotation(Vec3 sceneDirection) {
  return RotationBetween(Normalized(sceneDirection) * -1.0f, Vec3{0, 1, 0});
}

bool IsIdentity(const Mat4& m) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      if (std::abs(m.m[r][c] - (r == c ? 1.0f : 0.0f)) > 1e-6f) return false;
  return true;
}

// The mesh with `k` applied to its vertices; a mirroring `k` also turns its triangles
// round so that they keep their front side.
ImportMesh BakedMesh(const ImportMesh& source, const Mat4& k) {
  ImportMesh mesh = source;
  const bool mirror = Determinant3(k) < 0;
  for (auto& p : mesh.primitives) {
    for (Vec3& v : p.positions) v = TransformPoint(k, v);
    // Normals only decide which vertices are shared: any fixed map keeps that.
    for (Vec3& n : p.normals) n = Normalized(TransformDirection(k, n));
    for (auto& target : p.morphDeltas)
      for (Vec3& d : target) d = TransformDirection(k, d);
    if (mirror)
      for (std::size_t i = 0; i + 2 < p.indices.size(); i += 3) std::swap(p.indices[i + 1], p.indices[i + 2]);
  }
  return mesh;
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
  PlanAnimation();
  ComputeBounds(&boundsCentre_, &boundsRadius_);
  if (options_.frame) AddFraming();
  ScaleLights();

  next_ = 0;
  scenefile::GroupChunk root;
  root.index = next_++;
  root.node.name = "root";
  writer_.Add(root);
  ++report_.counts.nodes;
  // Cameras come first, the starting one before all: the player starts with the
  // first camera it loads.
  if (!EmitCameras(error)) return false;
  for (int node : scene_.roots)
    if (!EmitNode(node, root.index, error)) return false;
  for (std::size_t i = 0; i < scene_.nodes.size(); ++i)
    if (scene_.nodes[i].light >= 0) EmitLight(static_cast<int>(i));
  // Emission colours ride on the material's ambient colour under a white scene ambient.
  writer_.Ambient(needsAmbient_ ? 0xFFFFFFFFu : 0xFF000000u);

  if (report_.counts.cameras == 0)
    report_.Warn("no camera: the player draws nothing of this scene (add one with --frame)");
  else if (cameraNames_.size() > 1)
    for (std::size_t i = 1; i < cameraNames_.size(); ++i)
      report_.Warn("several cameras: '" + cameraNames_.front() + "' starts, the others by name with setactivecamera",
                   cameraNames_[i]);
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
  // Over the whole animation: a model that walks must stay in the picture.
  const int samples = animated_.empty() ? 1 : 24;
  for (int k = 0; k < samples; ++k) {
    float t = samples == 1 ? 0 : static_cast<float>(loopMs_) / 1000 * static_cast<float>(k) / (samples - 1);
    for (std::size_t i = 0; i < scene_.nodes.size(); ++i) {
      const auto& node = scene_.nodes[i];
      if (node.mesh < 0) continue;
      if (k > 0 && !AnimatedChain(static_cast<int>(i))) continue;
      Mat4 world = WorldAt(static_cast<int>(i), t);
      for (const auto& p : scene_.meshes[node.mesh].primitives)
        for (Vec3 v : p.positions) {
          Vec3 w = TransformPoint(world, v);
          if (!std::isfinite(w.x) || !std::isfinite(w.y) || !std::isfinite(w.z)) continue;
          lo = {std::min(lo.x, w.x), std::min(lo.y, w.y), std::min(lo.z, w.z)};
          hi = {std::max(hi.x, w.x), std::max(hi.y, w.y), std::max(hi.z, w.z)};
          any = true;
        }
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
  bool hasLight = false;
  for (const auto& node : scene_.nodes) hasLight = hasLight || node.light >= 0;
  const float fov = 0.7853982f;
  const float distance = boundsRadius_ / std::sin(fov / 2);
  Vec3 back = Normalized(Vec3{0, 0.35f, 1});
  ImportCamera camera;
  camera.name = "frame camera";
  camera.yfov = fov;
  camera.aspect = 4.0f / 3.0f;
  camera.znear = std::max(distance - boundsRadius_ * 1.5f, distance * 0.01f);
  camera.zfar = (distance + boundsRadius_) * 2;
  ImportNode cameraNode;
  cameraNode.name = "frame camera";
  cameraNode.local.translation = boundsCentre_ + back * distance;
  cameraNode.local.rotation = LookRotation(back * -1.0f, Vec3{0, 1, 0});
  cameraNode.camera = static_cast<int>(scene_.cameras.size());
  scene_.cameras.push_back(camera);
  framingCamera_ = static_cast<int>(scene_.nodes.size());
  scene_.roots.push_back(framingCamera_);
  scene_.nodes.push_back(cameraNode);
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
}

void SceneBuilder::ScaleLights() {
  // What a light gives a surface facing it at the model, in the player's terms
  // (intensity times colour over its attenuation), at least a model's radius away.
  float brightest = 0;
  for (std::size_t i = 0; i < scene_.nodes.size(); ++i) {
    if (scene_.nodes[i].light < 0) continue;
    const ImportLight& light = scene_.lights[scene_.nodes[i].light];
    float strength = light.intensity * std::max({light.color.x, light.color.y, light.color.z});
    if (light.type != LightType::Directional) {
      Vec3 at = TransformPoint(WorldAt(static_cast<int>(i), 0), light.position);
      float d = std::max(Length(at - boundsCentre_), boundsRadius_);
      float falloff = light.attenuation[0] + light.attenuation[1] * d + light.attenuation[2] * d * d;
      strength = falloff > 0 ? strength / falloff : strength * 1e6f;
    }
    if (std::isfinite(strength)) brightest = std::max(brightest, strength);
  }
  float factor = 1;
  if (brightest > 1.0f) factor = 1.0f / brightest;
  if (brightest > 0 && brightest < 0.5f) factor = 0.5f / brightest;
  if (factor != 1)
    report_.Warn("light intensities scaled by " + std::to_string(factor) +
                 " so that the brightest light reaches the model between half and full strength");
  for (auto& light : scene_.lights) light.intensity *= factor * options_.lightScale;
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
  for (const auto& mesh : scene_.meshes)
    for (const auto& p : mesh.primitives)
      if (p.keyframes.size() > 1)
        loopSeconds = std::max(loopSeconds, static_cast<float>(p.keyframes.size() - 1) * kKeyframeSeconds);
  if (scene_.animations.size() > 1)
    for (const auto& animation : scene_.animations) report_.Warn("several animations play together from time 0", animation.name);
  loopMs_ = std::max<std::uint32_t>(1, static_cast<std::uint32_t>(std::ceil(static_cast<double>(loopSeconds) * 1000.0 - 0.01)));
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

bool SceneBuilder::ScaleAnimated(int node) const {
  for (int n = node; n >= 0; n = scene_.nodes[n].parent) {
    auto found = animated_.find(n);
    if (found != animated_.end() && found->second.channel[static_cast<int>(ChannelPath::Scale)]) return true;
  }
  return false;
}

Mat4 SceneBuilder::PlacedWorld(int node, float t) const {
  Vec3 translation, scale;
  Quat rotation;
  Decompose(WorldAt(node, t), &translation, &rotation, &scale);
  Vec3 ratio{1, 1, 1};
  if (ScaleAnimated(node)) {
    Vec3 t0, s0;
    Quat r0;
    Decompose(WorldAt(node, 0), &t0, &r0, &s0);
    auto divide = [](float a, float b) { return std::abs(b) > 1e-12f ? a / b : 1.0f; };
    ratio = {divide(scale.x, s0.x), divide(scale.y, s0.y), divide(scale.z, s0.z)};
  }
  return Compose(translation, rotation, ratio);
}

ImportTransform SceneBuilder::PlacedLocal(int node, float t) const {
  int parent = scene_.nodes[node].parent;
  Mat4 local = PlacedWorld(node, t);
  if (parent >= 0) local = Multiply(InverseAffine(PlacedWorld(parent, t)), local);
  ImportTransform out;
  Decompose(local, &out.translation, &out.rotation, &out.scale);
  return out;
}

Mat4 SceneBuilder::Baked(int node) const {
  return Multiply(InverseAffine(PlacedWorld(node, 0)), WorldAt(node, 0));
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

bool SceneBuilder::EmitCameras(std::string* error) {
  std::vector<int> order;
  for (std::size_t i = 0; i < scene_.nodes.size(); ++i) {
    int camera = scene_.nodes[i].camera;
    if (camera < 0) continue;
    if (!scene_.cameras[camera].perspective) {
      report_.Warn("orthographic camera dropped (the player has perspective cameras only)", scene_.cameras[camera].name);
      continue;
    }
    order.push_back(static_cast<int>(i));
  }
  int start = framingCamera_;
  if (!options_.camera.empty()) {
    std::string names;
    for (int node : order) {
      const std::string& name = scene_.nodes[node].name;
      if (name == options_.camera || scene_.cameras[scene_.nodes[node].camera].name == options_.camera) start = node;
      names += (names.empty() ? "'" : ", '") + name + "'";
    }
    if (start < 0) {
      *error = "the model has no camera named '" + options_.camera + "' (" +
               (names.empty() ? std::string("it has no cameras") : "its cameras: " + names) + ")";
      return false;
    }
  }
  if (start >= 0) std::stable_partition(order.begin(), order.end(), [&](int node) { return node == start; });
  for (int node : order) EmitCamera(node);
  return true;
}

void SceneBuilder::EmitCamera(int nodeIndex) {
  const ImportNode& node = scene_.nodes[nodeIndex];
  const ImportCamera& c = scene_.cameras[node.camera];
  if (c.hasTarget && c.rolls.empty() && animated_.count(nodeIndex) &&
      animated_.at(nodeIndex).channel[static_cast<int>(ChannelPath::Rotation)])
    report_.Warn("turning of a target camera's node not kept (it looks at its target with its roll)", node.name);
  auto rollAt = [&](float seconds) {
    if (c.rolls.empty()) return c.roll;
    std::size_t k = 0;
    while (k + 1 < c.rollTimes.size() && c.rollTimes[k + 1] <= seconds) ++k;
    if (k + 1 >= c.rollTimes.size() || seconds <= c.rollTimes[k]) return c.rolls[k];
    float f = (seconds - c.rollTimes[k]) / (c.rollTimes[k + 1] - c.rollTimes[k]);
    return c.rolls[k] + (c.rolls[k + 1] - c.rolls[k]) * f;
  };
  // Cameras hang under the root with their world placement worked out here, so
  // that a target camera can look at its target from wherever its eye moves.
  auto place = [&](float seconds, Vec3* position, Quat* rotation) {
    Mat4 world = WorldAt(nodeIndex, seconds);
    Vec3 eye = TransformPoint(world, c.position);
    Vec3 forward, up;
    if (c.hasTarget) {
      // The target and its up are stated in the file's own axes: those of the
      // top node, which turns the file upright.
      int top = nodeIndex;
      while (scene_.nodes[top].parent >= 0) top = scene_.nodes[top].parent;
      const Mat4 file = WorldAt(top, seconds);
      forward = Normalized(TransformPoint(file, c.target) - eye);
      if (Length(forward) == 0) forward = {0, 0, -1};
      up = Normalized(TransformDirection(file, c.up));
      if (Length(Cross(forward, up)) < 1e-4f) up = Length(Cross(forward, Vec3{0, 1, 0})) < 1e-4f ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
      Vec3 right = Normalized(Cross(forward, up));
      up = Normalized(Cross(right, forward));
      const float roll = rollAt(seconds);
      up = up * std::cos(roll) + right * std::sin(roll);
    } else {
      forward = Normalized(TransformDirection(world, c.forward));
      up = Normalized(TransformDirection(world, c.up));
    }
    *position = MapPoint(eye, options_.scale);
    *rotation = MapRotation(LookRotation(forward, up));
  };
  scenefile::CameraChunk chunk;
  chunk.index = next_++;
  chunk.node.parent = 0;
  chunk.node.name = Limited(node.name.empty() ? c.name : node.name);
  Vec3 position;
  Quat rotation;
  place(0, &position, &rotation);
  chunk.node.position = ToArray(position);
  chunk.node.rotation = ToArray(rotation);
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
  ++report_.counts.nodes;
  cameraNames_.push_back(chunk.node.name);
  if (AnimatedChain(nodeIndex) || c.rolls.size() > 1) EmitPlacedController(chunk.index, place);
}

void SceneBuilder::EmitPlacedController(std::uint32_t chunkIndex,
                                        const std::function<void(float, Vec3*, Quat*)>& place) {
  scenefile::PRSControllerChunk controller;
  controller.index = next_++;
  controller.node = chunkIndex;
  controller.times = {0, loopMs_, 0, loopMs_};
  controller.keyFlags = scenefile::kKeyPosition | scenefile::kKeyRotation;
  std::size_t n = std::min(kMaxKeys, std::max<std::size_t>(2, static_cast<std::size_t>(std::lround(loopMs_ / 1000.0 * options_.fps)) + 1));
  Quat previous;
  for (std::size_t i = 0; i < n; ++i) {
    double ms = static_cast<double>(loopMs_) * static_cast<double>(i) / static_cast<double>(n - 1);
    scenefile::PRSKey key;
    Vec3 position;
    Quat q;
    place(static_cast<float>(ms / 1000.0), &position, &q);
    if (i > 0 && q.x * previous.x + q.y * previous.y + q.z * previous.z + q.w * previous.w < 0) q = {-q.x, -q.y, -q.z, -q.w};
    previous = q;
    key.position = ToArray(position);
    key.rotation = ToArray(q);
    controller.keys.push_back(key);
  }
  writer_.Add(controller);
  ++report_.counts.controllers;
}

bool SceneBuilder::EmitNode(int nodeIndex, std::uint32_t parentIndex, std::string* error) {
  const ImportNode& node = scene_.nodes[nodeIndex];
  // A camera's node that carries nothing else is the camera itself, already written.
  if (node.camera >= 0 && node.mesh < 0 && node.children.empty()) return true;
  const std::uint32_t index = next_++;
  scenefile::NodeHeader header = Header(node.name, parentIndex, PlacedLocal(nodeIndex, 0));
  writer_.Add(scenefile::GroupChunk{index, 2, header});
  ++report_.counts.nodes;
  EmitNodeController(nodeIndex, index);
  if (node.mesh >= 0) {
    bool mirrored = Determinant3(PlacedWorld(nodeIndex, 0)) < 0;
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
  const ImportTransform rest = PlacedLocal(nodeIndex, 0);
  Quat previous = MapRotation(rest.rotation);
  bool signFlip = false;
  const float restSign = rest.scale.x * rest.scale.y * rest.scale.z;
  for (std::size_t i = 0; i < n; ++i) {
    double ms = keyStart + static_cast<double>(keyEnd - keyStart) * static_cast<double>(i) / static_cast<double>(n - 1);
    ImportTransform t = PlacedLocal(nodeIndex, static_cast<float>(ms / 1000.0));
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

bool SceneBuilder::Skinned(const ImportMesh& mesh) const {
  for (const auto& p : mesh.primitives)
    for (const auto& bone : p.bones)
      if (bone.node >= 0) return true;
  return false;
}

ImportMesh SceneBuilder::SkinnedMesh(int nodeIndex, std::size_t* frameCount) {
  const ImportNode& node = scene_.nodes[nodeIndex];
  ImportMesh mesh = scene_.meshes[node.mesh];
  bool animated = AnimatedChain(nodeIndex);
  // Morph targets shape the mesh before its bones move it.
  const ImportChannel* weightChannel = nullptr;
  if (auto found = animated_.find(nodeIndex); found != animated_.end())
    weightChannel = found->second.channel[static_cast<int>(ChannelPath::Weights)];
  animated = animated || weightChannel;
  const std::vector<float> restWeights = !node.weights.empty() ? node.weights : mesh.weights;
  std::size_t vertices = 0;
  for (const auto& p : mesh.primitives) {
    vertices += p.positions.size();
    for (const auto& bone : p.bones) animated = animated || (bone.node >= 0 && AnimatedChain(bone.node));
  }
  std::size_t frames = 1;
  if (animated) {
    frames = std::max<std::size_t>(2, static_cast<std::size_t>(std::lround(loopMs_ / 1000.0 * options_.fps)) + 1);
    // The player keeps every vertex frame of a buffer in memory (and the import all of them).
    std::size_t most = std::max<std::size_t>(2, kMaxFrameBytes / (std::max<std::size_t>(1, vertices) * 12));
    if (frames > most) {
      report_.Warn("skinned animation sampled at fewer frames than --fps asks (" + std::to_string(most) +
                       " in all, the most vertex frames the player holds)", mesh.name);
      frames = most;
    }
  }
  // Vertices follow their bones in the world; the node's own placement is taken out.
  for (auto& p : mesh.primitives) {
    std::vector<std::vector<Vec3>> framePositions(frames);
    for (std::size_t f = 0; f < frames; ++f) {
      float t = frames == 1 ? 0 : static_cast<float>(loopMs_) / 1000 * static_cast<float>(f) / static_cast<float>(frames - 1);
      Mat4 toNode = InverseAffine(PlacedWorld(nodeIndex, t));
      Mat4 rest = Multiply(toNode, WorldAt(nodeIndex, t));
      std::vector<Vec3> shaped = p.positions;
      if (!p.morphDeltas.empty()) {
        std::vector<float> w = weightChannel ? SampleChannel(*weightChannel, t) : restWeights;
        for (std::size_t k = 0; k < p.morphDeltas.size() && k < w.size(); ++k)
          if (w[k] != 0)
            for (std::size_t v = 0; v < shaped.size(); ++v) shaped[v] = shaped[v] + p.morphDeltas[k][v] * w[k];
      }
      std::vector<Vec3> sum(p.positions.size(), Vec3{0, 0, 0});
      std::vector<float> total(p.positions.size(), 0.0f);
      for (const auto& bone : p.bones) {
        if (bone.node < 0) continue;
        Mat4 m = Multiply(toNode, Multiply(WorldAt(bone.node, t), bone.offset));
        for (const auto& [v, w] : bone.weights) {
          sum[v] = sum[v] + TransformPoint(m, shaped[v]) * w;
          total[v] += w;
        }
      }
      auto& out = framePositions[f];
      out.resize(p.positions.size());
      for (std::size_t v = 0; v < out.size(); ++v)
        out[v] = total[v] > 0 ? sum[v] * (1 / total[v]) : TransformPoint(rest, shaped[v]);
    }
    p.positions = framePositions[0];
    p.morphDeltas.clear();
    for (std::size_t f = 1; f < frames; ++f) {
      std::vector<Vec3> delta(p.positions.size());
      for (std::size_t v = 0; v < delta.size(); ++v) delta[v] = framePositions[f][v] - p.positions[v];
      p.morphDeltas.push_back(std::move(delta));
    }
    p.bones.clear();
  }
  *frameCount = frames;
  return mesh;
}

bool SceneBuilder::KeyframedMesh(int nodeIndex, ImportMesh* out, std::size_t* frameCount) {
  const ImportMesh& source = scene_.meshes[scene_.nodes[nodeIndex].mesh];
  std::size_t frames = 0, vertices = 0;
  for (const auto& p : source.primitives) {
    if (p.keyframes.size() < 2) return false;
    frames = frames ? std::min(frames, p.keyframes.size()) : p.keyframes.size();
    vertices += p.positions.size();
  }
  if (frames < 2) return false;
  std::size_t most = std::max<std::size_t>(2, kMaxFrameBytes / (std::max<std::size_t>(1, vertices) * 12));
  if (frames > most) {
    report_.Warn("key frames beyond the " + std::to_string(most) + "th dropped (the most vertex frames the player holds)",
                 source.name);
    frames = most;
  }
  const Mat4 baked = Baked(nodeIndex);
  *out = BakedMesh(source, baked);
  for (auto& p : out->primitives) {
    p.morphDeltas.clear();
    for (std::size_t f = 1; f < frames; ++f) {
      std::vector<Vec3> delta(p.positions.size());
      for (std::size_t v = 0; v < delta.size(); ++v) delta[v] = TransformPoint(baked, p.keyframes[f][v]) - p.positions[v];
      p.morphDeltas.push_back(std::move(delta));
    }
    p.keyframes.clear();
  }
  *frameCount = frames;
  return true;
}

bool SceneBuilder::EmitMesh(int nodeIndex, std::uint32_t nodeChunk, bool mirrored, std::string* error) {
  const ImportNode& node = scene_.nodes[nodeIndex];
  const Mat4 baked = Baked(nodeIndex);
  ImportMesh bakedCopy;
  std::size_t skinFrames = 0;
  std::uint32_t frameSpanMs = loopMs_;
  if (Skinned(scene_.meshes[node.mesh])) {
    bakedCopy = SkinnedMesh(nodeIndex, &skinFrames);
  } else if (KeyframedMesh(nodeIndex, &bakedCopy, &skinFrames)) {
    frameSpanMs = Ms(static_cast<float>(skinFrames - 1) * kKeyframeSeconds);
  } else if (!IsIdentity(baked)) {
    bakedCopy = BakedMesh(scene_.meshes[node.mesh], baked);
  }
  const bool copied = skinFrames > 0 || !IsIdentity(baked);
  const ImportMesh& mesh = copied ? bakedCopy : scene_.meshes[node.mesh];
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
  // The weights of the targets at each vertex frame: sampled morph weights, or for
  // a skinned mesh each frame its own target (frame 0 is the mesh itself).
  std::function<std::vector<float>(std::size_t)> frameWeights;
  if (skinFrames > 1) {
    weights = nullptr;
    frames = skinFrames;
    keyEnd = frameSpanMs;
    mapping.staticWeights.clear();
    mapping.keepMorphTargets = true;
    frameWeights = [targets](std::size_t f) {
      std::vector<float> w(targets, 0.0f);
      if (f > 0) w[f - 1] = 1;
      return w;
    };
  } else if (skinFrames == 1) {
    weights = nullptr;
    mapping.staticWeights.clear();
  } else if (weights && targets) {
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
      frameWeights = [&, keyStart, keyEnd, frames](std::size_t f) {
        double ms = keyStart + static_cast<double>(keyEnd - keyStart) * static_cast<double>(f) / static_cast<double>(frames - 1);
        return SampleChannel(*weights, static_cast<float>(ms / 1000.0));
      };
    }
  } else if (weights) {
    weights = nullptr;
  }
  std::vector<MeshPart> parts = BuildMeshParts(mesh, scene_.materials, mapping, &report_);
  if (parts.size() > 65535) {
    *error = "mesh '" + mesh.name + "' needs more parts than the format allows";
    return false;
  }
  std::size_t bytes = 0;
  for (const MeshPart& part : parts)
    bytes += part.vertices.size() * (28 + 12 * (frames > 1 ? frames - 1 : 0)) + part.indices.size() * 4 + 256;
  writer_.Reserve(bytes);
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
        std::vector<float> w = frameWeights(f);
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
  if (AnimatedChain(nodeIndex)) EmitPlacedController(chunk.index, place);
}

}  // namespace sceneimport
