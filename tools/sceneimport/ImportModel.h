// The in-memory scene both front ends fill and the back end maps to a scene file.
// Everything here keeps the source's conventions: right-handed, +y up, a camera at
// rest looking along -z with +y up, triangles front-facing counter-clockwise,
// texture coordinates with v running down the picture, times in seconds.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/sceneimport/ImportMath.h"

namespace sceneimport {

struct ImportTransform {
  Vec3 translation{0, 0, 0};
  Quat rotation{0, 0, 0, 1};
  Vec3 scale{1, 1, 1};
};

using Uv = std::array<float, 2>;

// One bone of a skinned primitive: the node whose movement its vertices follow.
struct ImportBone {
  std::string nodeName;
  int node = -1;  // resolved from the name once the nodes are read
  Mat4 offset;    // from the mesh's space into the bone's space in the bind pose
  std::vector<std::pair<std::uint32_t, float>> weights;  // vertex, weight
};

// Triangles of one material. Normals are used only to decide which vertices may be
// shared (the player recomputes them).
struct ImportPrimitive {
  int material = -1;  // -1: the default material
  std::vector<Vec3> positions;
  std::vector<Vec3> normals;  // empty or one per position
  std::array<std::vector<Uv>, 2> uvs;  // each empty or one per position
  std::vector<std::uint32_t> indices;  // three per triangle
  std::vector<std::vector<Vec3>> morphDeltas;  // per target, one per position
  std::vector<ImportBone> bones;               // empty: not skinned
  // Whole vertex key frames (MD2, MD3, MDC, MDL), one position per vertex each, kKeyframeSeconds apart;
  // the first is `positions`.
  std::vector<std::vector<Vec3>> keyframes;
};

constexpr float kKeyframeSeconds = 0.1f;  // Quake's ten frames a second

struct ImportMesh {
  std::string name;
  std::vector<ImportPrimitive> primitives;
  std::vector<float> weights;  // default morph weights, one per target
  // Without normals the source asks for flat faces (glTF) or leaves it open.
  bool flatWithoutNormals = false;
};

struct ImportTextureRef {
  int image = -1;
  int texCoord = 0;  // which uv set of the primitive
};

struct ImportImage {
  std::string name;  // file name to write (no folder), or empty to invent one
  std::string origin;  // where it came from, for the report
  std::vector<std::uint8_t> bytes;  // the encoded picture file; empty when unreadable
};

enum class AlphaMode { Opaque, Mask, Blend };

struct ImportMaterial {
  std::string name;
  std::array<float, 4> baseColor{1, 1, 1, 1};
  ImportTextureRef baseTexture;
  Vec3 emissive{0, 0, 0};  // strength already applied
  ImportTextureRef emissiveTexture;
  Vec3 specularColor{0, 0, 0};
  float specularLevel = 0;
  float specularExponent = 0;  // Blinn-Phong exponent
  ImportTextureRef specularTexture;
  ImportTextureRef lightMap;
  ImportTextureRef reflectionMap;
  AlphaMode alphaMode = AlphaMode::Opaque;
  bool doubleSided = false;
};

struct ImportCamera {
  std::string name;
  bool perspective = true;
  float yfov = 0.7853982f;  // vertical, radians
  float aspect = 0;        // 0: not given
  float znear = 0.1f;
  float zfar = 0;  // 0: infinite
  // The camera's frame within its node (glTF: at the origin, looking along -z).
  Vec3 position{0, 0, 0};
  Vec3 forward{0, 0, -1};
  Vec3 up{0, 1, 0};
  // A target camera looks from its node at this point of the scene, turned about
  // its line of sight by `roll` radians, with `up` as the scene's up.
  bool hasTarget = false;
  Vec3 target{0, 0, 0};
  float roll = 0;
  // An animated roll: radians at these times (seconds), linear between them.
  std::vector<float> rollTimes, rolls;
};

enum class LightType { Point, Spot, Directional };

struct ImportLight {
  std::string name;
  LightType type = LightType::Point;
  Vec3 color{1, 1, 1};
  float intensity = 1;
  float range = 0;  // 0: unlimited
  std::array<float, 3> attenuation{0, 0, 1};  // constant, linear, quadratic
  float innerCone = 0;          // half angles, radians
  float outerCone = 0.7853982f;
  Vec3 position{0, 0, 0};       // within the node
  Vec3 direction{0, 0, -1};     // within the node
};

struct ImportNode {
  std::string name;
  int parent = -1;
  std::vector<int> children;
  ImportTransform local;
  int mesh = -1;
  int camera = -1;
  int light = -1;
  std::vector<float> weights;  // morph weights of this node's mesh, when given
  bool skinned = false;
};

enum class ChannelPath { Translation, Rotation, Scale, Weights };
enum class Interpolation { Linear, Step, CubicSpline };

struct ImportChannel {
  int node = -1;
  ChannelPath path = ChannelPath::Translation;
  Interpolation interpolation = Interpolation::Linear;
  std::vector<float> times;   // seconds, ascending
  std::vector<float> values;  // per time: width floats (three times that for cubic)
  int width = 3;              // 3, 4, or the number of morph targets
};

struct ImportAnimation {
  std::string name;
  std::vector<ImportChannel> channels;
};

struct ImportScene {
  std::vector<ImportNode> nodes;
  std::vector<int> roots;
  std::vector<ImportMesh> meshes;
  std::vector<ImportMaterial> materials;
  std::vector<ImportImage> images;
  std::vector<ImportCamera> cameras;
  std::vector<ImportLight> lights;
  std::vector<ImportAnimation> animations;
};

}  // namespace sceneimport
