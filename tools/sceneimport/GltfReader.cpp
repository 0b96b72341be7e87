#include "tools/sceneimport/GltfReader.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

namespace sceneimport {
namespace {

// No accessor may ask for more values than this (a lying count without a buffer).
constexpr std::size_t kMaxAccessorValues = std::size_t{1} << 28;
// An accessor without a buffer (zeros, perhaps with sparse values) has no size to check against.
constexpr std::size_t kMaxZeroAccessorElements = std::size_t{1} << 22;

const char* const kDracoMessage =
    "the file uses Draco mesh compression (KHR_draco_mesh_compression), which is not supported: "
    "export it without Draco";

// Keeps the encoded picture bytes instead of decoding them: the player decodes.
bool KeepImageBytes(tinygltf::Image* image, const int, std::string*, std::string*, int, int,
                    const unsigned char* bytes, int size, void*) {
  if (bytes && size > 0) image->image.assign(bytes, bytes + size);
  image->as_is = true;
  return true;
}

std::string UriDecode(const std::string& uri) {
  std::string out;
  for (std::size_t i = 0; i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size() && std::isxdigit(static_cast<unsigned char>(uri[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(uri[i + 2]))) {
      out += static_cast<char>(std::stoi(uri.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += uri[i];
    }
  }
  return out;
}

class GltfReader {
 public:
  GltfReader(const tinygltf::Model& model, ImportScene* scene, ImportReport* report)
      : model_(model), scene_(*scene), report_(*report) {}

  bool Read(std::string* error) {
    if (!CheckExtensions(error)) return false;
    ReadImages();
    ReadMaterials();
    for (std::size_t i = 0; i < model_.meshes.size(); ++i)
      if (!ReadMesh(model_.meshes[i], error)) return false;
    ReadCameras();
    ReadLights();
    ReadNodes();
    for (const auto& animation : model_.animations)
      if (!ReadAnimation(animation, error)) return false;
    return true;
  }

 private:
  bool CheckExtensions(std::string* error) {
    static const std::set<std::string> kSupported = {
        "KHR_lights_punctual", "KHR_materials_emissive_strength", "KHR_materials_unlit",
        "KHR_mesh_quantization"};
    static const std::set<std::string> kApproximated = {"KHR_texture_transform"};
    for (const auto& names : {model_.extensionsRequired, model_.extensionsUsed})
      if (std::find(names.begin(), names.end(), "KHR_draco_mesh_compression") != names.end()) {
        *error = kDracoMessage;
        return false;
      }
    for (const auto& name : model_.extensionsRequired) {
      if (kSupported.count(name)) continue;
      if (kApproximated.count(name)) {
        report_.Warn("required extension approximated", name);
        continue;
      }
      *error = "the file requires the extension " + name + ", which is not supported";
      return false;
    }
    for (const auto& name : model_.extensionsUsed)
      if (!kSupported.count(name)) report_.Warn("glTF extension ignored", name);
    return true;
  }

  // Values of an accessor as floats (normalized integers mapped to 0..1 or -1..1),
  // `width` per element. False when the accessor does not fit its buffers.
  bool ReadFloats(int index, int expectedWidth, std::vector<float>* out, std::string* error) {
    if (index < 0 || static_cast<std::size_t>(index) >= model_.accessors.size()) {
      *error = "an accessor index is out of range";
      return false;
    }
    const auto& accessor = model_.accessors[index];
    int width = tinygltf::GetNumComponentsInType(static_cast<std::uint32_t>(accessor.type));
    if (width <= 0 || (expectedWidth > 0 && width != expectedWidth)) {
      *error = "accessor " + std::to_string(index) + " has the wrong type";
      return false;
    }
    if (accessor.count > kMaxAccessorValues / static_cast<std::size_t>(width)) {
      *error = "accessor " + std::to_string(index) + " is too large";
      return false;
    }
    // A count the buffers cannot hold fails before anything is allocated for it.
    int size = tinygltf::GetComponentSizeInBytes(static_cast<std::uint32_t>(accessor.componentType));
    bool fits = size > 0;
    if (fits && accessor.bufferView >= 0) {
      fits = static_cast<std::size_t>(accessor.bufferView) < model_.bufferViews.size() &&
             accessor.count <= model_.bufferViews[accessor.bufferView].byteLength / (static_cast<std::size_t>(size) * width);
    } else if (fits) {
      fits = accessor.count <= kMaxZeroAccessorElements;
    }
    if (!fits) {
      *error = "accessor " + std::to_string(index) + " runs past its buffer";
      return false;
    }
    out->assign(accessor.count * static_cast<std::size_t>(width), 0.0f);
    if (accessor.bufferView >= 0 &&
        !ReadElements(accessor.bufferView, accessor.byteOffset, accessor.componentType,
                      accessor.normalized, width, accessor.count, out->data())) {
      *error = "accessor " + std::to_string(index) + " runs past its buffer";
      return false;
    }
    if (accessor.sparse.isSparse) {
      std::size_t n = static_cast<std::size_t>(std::max(accessor.sparse.count, 0));
      std::vector<float> indices(n), values(n * static_cast<std::size_t>(width));
      if (!ReadElements(accessor.sparse.indices.bufferView,
                        static_cast<std::size_t>(std::max(accessor.sparse.indices.byteOffset, 0)),
                        accessor.sparse.indices.componentType, false, 1, n,
                        indices.data()) ||
          !ReadElements(accessor.sparse.values.bufferView,
                        static_cast<std::size_t>(std::max(accessor.sparse.values.byteOffset, 0)),
                        accessor.componentType, accessor.normalized, width, n,
                        values.data())) {
        *error = "the sparse part of accessor " + std::to_string(index) + " runs past its buffer";
        return false;
      }
      for (std::size_t i = 0; i < n; ++i) {
        auto target = static_cast<std::size_t>(indices[i]);
        if (target >= accessor.count) {
          *error = "a sparse index of accessor " + std::to_string(index) + " is out of range";
          return false;
        }
        std::copy_n(values.begin() + static_cast<std::ptrdiff_t>(i * width), width,
                    out->begin() + static_cast<std::ptrdiff_t>(target * width));
      }
    }
    return true;
  }

  bool ReadElements(int viewIndex, std::size_t offset, int componentType, bool normalized,
                    int width, std::size_t count, float* out) const {
    if (count == 0) return true;
    if (viewIndex < 0 || static_cast<std::size_t>(viewIndex) >= model_.bufferViews.size())
      return false;
    const auto& view = model_.bufferViews[viewIndex];
    if (view.buffer < 0 || static_cast<std::size_t>(view.buffer) >= model_.buffers.size())
      return false;
    const auto& data = model_.buffers[view.buffer].data;
    int size = tinygltf::GetComponentSizeInBytes(static_cast<std::uint32_t>(componentType));
    if (size <= 0) return false;
    std::size_t element = static_cast<std::size_t>(size) * static_cast<std::size_t>(width);
    std::size_t stride = view.byteStride ? view.byteStride : element;
    if (view.byteOffset > data.size() || view.byteLength > data.size() - view.byteOffset)
      return false;
    if (offset > view.byteLength || element > view.byteLength - offset) return false;
    if ((count - 1) > (view.byteLength - offset - element) / stride) return false;
    const unsigned char* base = data.data() + view.byteOffset + offset;
    for (std::size_t i = 0; i < count; ++i) {
      const unsigned char* p = base + i * stride;
      for (int c = 0; c < width; ++c) out[i * width + c] = Component(p + c * size, componentType, normalized);
    }
    return true;
  }

  static float Component(const unsigned char* p, int type, bool normalized) {
    switch (type) {
      case TINYGLTF_COMPONENT_TYPE_FLOAT: {
        float v;
        std::memcpy(&v, p, 4);
        return v;
      }
      case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
        return normalized ? p[0] / 255.0f : p[0];
      case TINYGLTF_COMPONENT_TYPE_BYTE: {
        auto v = static_cast<std::int8_t>(p[0]);
        return normalized ? std::max(v / 127.0f, -1.0f) : v;
      }
      case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
        std::uint16_t v;
        std::memcpy(&v, p, 2);
        return normalized ? v / 65535.0f : v;
      }
      case TINYGLTF_COMPONENT_TYPE_SHORT: {
        std::int16_t v;
        std::memcpy(&v, p, 2);
        return normalized ? std::max(v / 32767.0f, -1.0f) : v;
      }
      case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT: {
        std::uint32_t v;
        std::memcpy(&v, p, 4);
        return static_cast<float>(v);
      }
      default:
        return 0;
    }
  }

  // Indices are read exactly (floats would round above 2^24).
  bool ReadIndices(int index, std::vector<std::uint32_t>* out, std::string* error) {
    if (index < 0 || static_cast<std::size_t>(index) >= model_.accessors.size()) {
      *error = "an index accessor is out of range";
      return false;
    }
    const auto& accessor = model_.accessors[index];
    int size = tinygltf::GetComponentSizeInBytes(static_cast<std::uint32_t>(accessor.componentType));
    bool integral = accessor.componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE ||
                    accessor.componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT ||
                    accessor.componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
    if (!integral || accessor.type != TINYGLTF_TYPE_SCALAR || accessor.sparse.isSparse ||
        accessor.bufferView < 0 || static_cast<std::size_t>(accessor.bufferView) >= model_.bufferViews.size() ||
        accessor.count > kMaxAccessorValues) {
      *error = "index accessor " + std::to_string(index) + " is not a plain list of integers";
      return false;
    }
    const auto& view = model_.bufferViews[static_cast<std::size_t>(accessor.bufferView)];
    const auto* data = view.buffer >= 0 && static_cast<std::size_t>(view.buffer) < model_.buffers.size()
                           ? &model_.buffers[view.buffer].data
                           : nullptr;
    std::size_t stride = view.byteStride ? view.byteStride : static_cast<std::size_t>(size);
    std::size_t need = accessor.count ? accessor.byteOffset + (accessor.count - 1) * stride + size : 0;
    if (!data || view.byteOffset > data->size() || view.byteLength > data->size() - view.byteOffset ||
        need > view.byteLength) {
      *error = "index accessor " + std::to_string(index) + " runs past its buffer";
      return false;
    }
    out->resize(accessor.count);
    const unsigned char* base = data->data() + view.byteOffset + accessor.byteOffset;
    for (std::size_t i = 0; i < accessor.count; ++i) {
      const unsigned char* p = base + i * stride;
      std::uint32_t v = 0;
      if (size == 1) v = p[0];
      else if (size == 2) { std::uint16_t s; std::memcpy(&s, p, 2); v = s; }
      else std::memcpy(&v, p, 4);
      (*out)[i] = v;
    }
    return true;
  }

  void ReadImages() {
    for (std::size_t i = 0; i < model_.images.size(); ++i) {
      const auto& image = model_.images[i];
      ImportImage out;
      bool external = !image.uri.empty() && image.uri.rfind("data:", 0) != 0;
      if (external) {
        out.name = std::filesystem::path(UriDecode(image.uri)).filename().string();
        out.origin = UriDecode(image.uri);
      } else {
        out.origin = image.name.empty() ? "image " + std::to_string(i) : image.name;
      }
      out.bytes = image.image;
      if (out.bytes.empty()) report_.Warn("picture could not be read, texture dropped", out.origin);
      scene_.images.push_back(std::move(out));
    }
  }

  ImportTextureRef TextureRef(int textureIndex, int texCoord, const std::string& material,
                              const tinygltf::ExtensionMap& extensions) {
    ImportTextureRef ref;
    if (textureIndex < 0 || static_cast<std::size_t>(textureIndex) >= model_.textures.size()) return ref;
    const auto& texture = model_.textures[textureIndex];
    if (texture.source < 0 || static_cast<std::size_t>(texture.source) >= model_.images.size()) {
      report_.Warn("texture without a picture the player can read, dropped",
                   texture.name.empty() ? material : texture.name);
      return ref;
    }
    if (texture.sampler >= 0 && static_cast<std::size_t>(texture.sampler) < model_.samplers.size()) {
      const auto& sampler = model_.samplers[texture.sampler];
      if (sampler.wrapS != TINYGLTF_TEXTURE_WRAP_REPEAT || sampler.wrapT != TINYGLTF_TEXTURE_WRAP_REPEAT)
        report_.Warn("texture clamp or mirror addressing drawn as repeat", material);
      if (sampler.magFilter == TINYGLTF_TEXTURE_FILTER_NEAREST)
        report_.Warn("nearest texture filtering drawn as linear", material);
    }
    if (extensions.count("KHR_texture_transform"))
      report_.Warn("KHR_texture_transform dropped", material);
    ref.image = texture.source;
    ref.texCoord = std::clamp(texCoord, 0, 1);
    if (texCoord > 1) report_.Warn("texture coordinate sets above the second dropped", material);
    return ref;
  }

  void ReadMaterials() {
    for (std::size_t i = 0; i < model_.materials.size(); ++i) {
      const auto& m = model_.materials[i];
      ImportMaterial out;
      out.name = m.name.empty() ? "material " + std::to_string(i) : m.name;
      const auto& pbr = m.pbrMetallicRoughness;
      for (std::size_t c = 0; c < 4 && c < pbr.baseColorFactor.size(); ++c)
        out.baseColor[c] = static_cast<float>(pbr.baseColorFactor[c]);
      out.baseTexture = TextureRef(pbr.baseColorTexture.index, pbr.baseColorTexture.texCoord,
                                   out.name, pbr.baseColorTexture.extensions);
      float strength = 1;
      auto es = m.extensions.find("KHR_materials_emissive_strength");
      if (es != m.extensions.end() && es->second.Has("emissiveStrength"))
        strength = static_cast<float>(es->second.Get("emissiveStrength").GetNumberAsDouble());
      if (m.emissiveFactor.size() == 3)
        out.emissive = Vec3{static_cast<float>(m.emissiveFactor[0]), static_cast<float>(m.emissiveFactor[1]),
                            static_cast<float>(m.emissiveFactor[2])} * strength;
      out.emissiveTexture = TextureRef(m.emissiveTexture.index, m.emissiveTexture.texCoord, out.name,
                                       m.emissiveTexture.extensions);
      if (m.extensions.count("KHR_materials_unlit")) {
        // Unlit: the base colour shows as it is, which the scene says as emission.
        out.emissive = Vec3{out.baseColor[0], out.baseColor[1], out.baseColor[2]};
        report_.Warn("unlit material drawn as self-illuminated (lights still add to it)", out.name);
      }
      // Metallic-roughness as a Blinn-Phong highlight: F0 colour, fading with roughness.
      float metallic = static_cast<float>(pbr.metallicFactor);
      float roughness = std::clamp(static_cast<float>(pbr.roughnessFactor), 0.0f, 1.0f);
      float alpha = std::max(roughness * roughness, 0.05f);
      Vec3 base{out.baseColor[0], out.baseColor[1], out.baseColor[2]};
      out.specularColor = Vec3{0.04f, 0.04f, 0.04f} * (1 - metallic) + base * metallic;
      out.specularLevel = (1 - roughness) * (1 - roughness);
      out.specularExponent = std::min(2 / (alpha * alpha) - 2, 512.0f);
      if (pbr.metallicRoughnessTexture.index >= 0)
        report_.Warn("metallic-roughness texture dropped", out.name);
      if (m.normalTexture.index >= 0) report_.Warn("normal map dropped", out.name);
      if (m.occlusionTexture.index >= 0) report_.Warn("occlusion map dropped", out.name);
      if (m.alphaMode == "BLEND") {
        out.alphaMode = AlphaMode::Blend;
      } else if (m.alphaMode == "MASK") {
        out.alphaMode = AlphaMode::Mask;
        report_.Warn("alpha mask drawn with alpha blending", out.name);
      }
      out.doubleSided = m.doubleSided;
      scene_.materials.push_back(std::move(out));
    }
  }

  bool ReadMesh(const tinygltf::Mesh& mesh, std::string* error) {
    ImportMesh out;
    out.name = mesh.name.empty() ? "mesh " + std::to_string(scene_.meshes.size()) : mesh.name;
    out.flatWithoutNormals = true;
    for (double w : mesh.weights) out.weights.push_back(static_cast<float>(w));
    for (const auto& primitive : mesh.primitives) {
      int mode = primitive.mode < 0 ? TINYGLTF_MODE_TRIANGLES : primitive.mode;
      if (mode != TINYGLTF_MODE_TRIANGLES && mode != TINYGLTF_MODE_TRIANGLE_STRIP &&
          mode != TINYGLTF_MODE_TRIANGLE_FAN) {
        report_.Warn("points and lines dropped", out.name);
        continue;
      }
      auto position = primitive.attributes.find("POSITION");
      if (position == primitive.attributes.end()) {
        report_.Warn("primitive without positions dropped", out.name);
        continue;
      }
      ImportPrimitive p;
      p.material = primitive.material;
      if (p.material >= static_cast<int>(model_.materials.size())) {
        *error = "mesh '" + out.name + "' names a material that does not exist";
        return false;
      }
      std::vector<float> values;
      if (!ReadFloats(position->second, 3, &values, error)) return false;
      std::size_t n = values.size() / 3;
      p.positions.resize(n);
      for (std::size_t i = 0; i < n; ++i) p.positions[i] = {values[3 * i], values[3 * i + 1], values[3 * i + 2]};
      auto normal = primitive.attributes.find("NORMAL");
      if (normal != primitive.attributes.end()) {
        if (!ReadFloats(normal->second, 3, &values, error)) return false;
        if (values.size() / 3 == n) {
          p.normals.resize(n);
          for (std::size_t i = 0; i < n; ++i) p.normals[i] = {values[3 * i], values[3 * i + 1], values[3 * i + 2]};
        }
      }
      for (int set = 0; set < 2; ++set) {
        auto uv = primitive.attributes.find("TEXCOORD_" + std::to_string(set));
        if (uv == primitive.attributes.end()) continue;
        if (!ReadFloats(uv->second, 2, &values, error)) return false;
        if (values.size() / 2 != n) continue;
        p.uvs[set].resize(n);
        for (std::size_t i = 0; i < n; ++i) p.uvs[set][i] = {values[2 * i], values[2 * i + 1]};
      }
      if (primitive.attributes.count("TEXCOORD_2")) report_.Warn("texture coordinate sets above the second dropped", out.name);
      if (primitive.attributes.count("COLOR_0")) report_.Warn("vertex colours dropped", out.name);
      if (primitive.attributes.count("JOINTS_0"))
        report_.Warn("skinning not supported: mesh drawn in its bind pose", out.name);
      for (const auto& target : primitive.targets) {
        std::vector<Vec3> deltas(n);
        auto tp = target.find("POSITION");
        if (tp != target.end()) {
          if (!ReadFloats(tp->second, 3, &values, error)) return false;
          if (values.size() / 3 != n) {
            *error = "a morph target of mesh '" + out.name + "' has the wrong vertex count";
            return false;
          }
          for (std::size_t i = 0; i < n; ++i) deltas[i] = {values[3 * i], values[3 * i + 1], values[3 * i + 2]};
        }
        p.morphDeltas.push_back(std::move(deltas));
      }
      std::vector<std::uint32_t> raw;
      if (primitive.indices >= 0) {
        if (!ReadIndices(primitive.indices, &raw, error)) return false;
      } else {
        raw.resize(n);
        for (std::size_t i = 0; i < n; ++i) raw[i] = static_cast<std::uint32_t>(i);
      }
      for (std::uint32_t index : raw)
        if (index >= n) {
          *error = "mesh '" + out.name + "' has an index beyond its vertices";
          return false;
        }
      if (mode == TINYGLTF_MODE_TRIANGLES) {
        raw.resize(raw.size() / 3 * 3);
        p.indices = std::move(raw);
      } else {
        for (std::size_t i = 2; i < raw.size(); ++i) {
          if (mode == TINYGLTF_MODE_TRIANGLE_FAN) {
            p.indices.insert(p.indices.end(), {raw[0], raw[i - 1], raw[i]});
          } else if (i % 2 == 0) {
            p.indices.insert(p.indices.end(), {raw[i - 2], raw[i - 1], raw[i]});
          } else {
            p.indices.insert(p.indices.end(), {raw[i - 1], raw[i - 2], raw[i]});
          }
        }
      }
      out.primitives.push_back(std::move(p));
    }
    scene_.meshes.push_back(std::move(out));
    return true;
  }

  void ReadCameras() {
    for (std::size_t i = 0; i < model_.cameras.size(); ++i) {
      const auto& c = model_.cameras[i];
      ImportCamera out;
      out.name = c.name.empty() ? "camera " + std::to_string(i) : c.name;
      if (c.type == "perspective") {
        out.yfov = static_cast<float>(c.perspective.yfov);
        out.aspect = static_cast<float>(c.perspective.aspectRatio);
        out.znear = static_cast<float>(c.perspective.znear);
        out.zfar = static_cast<float>(c.perspective.zfar);
      } else {
        out.perspective = false;
        out.znear = static_cast<float>(c.orthographic.znear);
        out.zfar = static_cast<float>(c.orthographic.zfar);
      }
      scene_.cameras.push_back(out);
    }
  }

  void ReadLights() {
    for (std::size_t i = 0; i < model_.lights.size(); ++i) {
      const auto& l = model_.lights[i];
      ImportLight out;
      out.name = l.name.empty() ? "light " + std::to_string(i) : l.name;
      if (l.type == "spot") out.type = LightType::Spot;
      else if (l.type == "directional") out.type = LightType::Directional;
      if (l.color.size() == 3)
        out.color = {static_cast<float>(l.color[0]), static_cast<float>(l.color[1]), static_cast<float>(l.color[2])};
      out.intensity = static_cast<float>(l.intensity);
      out.range = static_cast<float>(l.range);
      // Punctual lights fall off with the inverse square of the distance.
      out.attenuation = {0, 0, 1};
      if (out.type == LightType::Directional) out.attenuation = {1, 0, 0};
      out.innerCone = static_cast<float>(l.spot.innerConeAngle);
      out.outerCone = static_cast<float>(l.spot.outerConeAngle);
      scene_.lights.push_back(out);
    }
  }

  void ReadNodes() {
    scene_.nodes.resize(model_.nodes.size());
    for (std::size_t i = 0; i < model_.nodes.size(); ++i) {
      const auto& n = model_.nodes[i];
      ImportNode& out = scene_.nodes[i];
      out.name = n.name.empty() ? "node " + std::to_string(i) : n.name;
      if (n.matrix.size() == 16) {
        Mat4 m;
        for (int col = 0; col < 4; ++col)
          for (int row = 0; row < 4; ++row) m.m[row][col] = static_cast<float>(n.matrix[col * 4 + row]);
        if (!Decompose(m, &out.local.translation, &out.local.rotation, &out.local.scale))
          report_.Warn("degenerate node matrix", out.name);
      } else {
        if (n.translation.size() == 3)
          out.local.translation = {static_cast<float>(n.translation[0]), static_cast<float>(n.translation[1]),
                                   static_cast<float>(n.translation[2])};
        if (n.rotation.size() == 4)
          out.local.rotation = Normalized(Quat{static_cast<float>(n.rotation[0]), static_cast<float>(n.rotation[1]),
                                               static_cast<float>(n.rotation[2]), static_cast<float>(n.rotation[3])});
        if (n.scale.size() == 3)
          out.local.scale = {static_cast<float>(n.scale[0]), static_cast<float>(n.scale[1]), static_cast<float>(n.scale[2])};
      }
      if (n.mesh >= 0 && static_cast<std::size_t>(n.mesh) < scene_.meshes.size()) out.mesh = n.mesh;
      if (n.camera >= 0 && static_cast<std::size_t>(n.camera) < scene_.cameras.size()) out.camera = n.camera;
      auto light = n.extensions.find("KHR_lights_punctual");
      if (light != n.extensions.end() && light->second.Has("light")) {
        int index = light->second.Get("light").GetNumberAsInt();
        if (index >= 0 && static_cast<std::size_t>(index) < scene_.lights.size()) out.light = index;
      }
      for (double w : n.weights) out.weights.push_back(static_cast<float>(w));
      if (n.skin >= 0) {
        out.skinned = true;
        report_.Warn("skinning not supported: mesh drawn in its bind pose", out.name);
      }
    }
    // Children; a node listed twice or in a cycle keeps its first parent only.
    for (std::size_t i = 0; i < model_.nodes.size(); ++i)
      for (int child : model_.nodes[i].children) {
        if (child < 0 || static_cast<std::size_t>(child) >= scene_.nodes.size() ||
            scene_.nodes[child].parent >= 0 || static_cast<std::size_t>(child) == i) {
          report_.Warn("node listed under two parents or itself, extra link dropped",
                       child >= 0 && static_cast<std::size_t>(child) < scene_.nodes.size() ? scene_.nodes[child].name : "?");
          continue;
        }
        scene_.nodes[child].parent = static_cast<int>(i);
        scene_.nodes[i].children.push_back(child);
      }
    BreakCycles();
    std::vector<int> roots;
    int sceneIndex = model_.defaultScene >= 0 ? model_.defaultScene : 0;
    if (static_cast<std::size_t>(sceneIndex) < model_.scenes.size()) {
      for (int node : model_.scenes[sceneIndex].nodes)
        if (node >= 0 && static_cast<std::size_t>(node) < scene_.nodes.size() && scene_.nodes[node].parent < 0)
          roots.push_back(node);
      if (model_.scenes.size() > 1) report_.Warn("only the default scene imported", model_.scenes[sceneIndex].name);
    } else {
      for (std::size_t i = 0; i < scene_.nodes.size(); ++i)
        if (scene_.nodes[i].parent < 0) roots.push_back(static_cast<int>(i));
    }
    scene_.roots = roots;
  }

  // A cycle of parent links (damaged file) is cut where it closes.
  void BreakCycles() {
    for (std::size_t i = 0; i < scene_.nodes.size(); ++i) {
      std::size_t steps = 0;
      for (int p = scene_.nodes[i].parent; p >= 0; p = scene_.nodes[p].parent) {
        if (++steps > scene_.nodes.size()) {
          int parent = scene_.nodes[i].parent;
          auto& siblings = scene_.nodes[parent].children;
          siblings.erase(std::remove(siblings.begin(), siblings.end(), static_cast<int>(i)), siblings.end());
          scene_.nodes[i].parent = -1;
          report_.Warn("cycle in the node hierarchy cut", scene_.nodes[i].name);
          break;
        }
      }
    }
  }

  bool ReadAnimation(const tinygltf::Animation& animation, std::string* error) {
    ImportAnimation out;
    out.name = animation.name.empty() ? "animation " + std::to_string(scene_.animations.size()) : animation.name;
    for (const auto& channel : animation.channels) {
      if (channel.target_node < 0 || static_cast<std::size_t>(channel.target_node) >= scene_.nodes.size()) continue;
      if (channel.sampler < 0 || static_cast<std::size_t>(channel.sampler) >= animation.samplers.size()) {
        *error = "animation '" + out.name + "' names a sampler that does not exist";
        return false;
      }
      const auto& sampler = animation.samplers[channel.sampler];
      ImportChannel c;
      c.node = channel.target_node;
      if (channel.target_path == "translation") c.path = ChannelPath::Translation, c.width = 3;
      else if (channel.target_path == "rotation") c.path = ChannelPath::Rotation, c.width = 4;
      else if (channel.target_path == "scale") c.path = ChannelPath::Scale, c.width = 3;
      else if (channel.target_path == "weights") c.path = ChannelPath::Weights, c.width = 0;
      else {
        report_.Warn("animation channel of an unknown kind dropped", channel.target_path);
        continue;
      }
      if (sampler.interpolation == "STEP") c.interpolation = Interpolation::Step;
      else if (sampler.interpolation == "CUBICSPLINE") c.interpolation = Interpolation::CubicSpline;
      if (!ReadFloats(sampler.input, 1, &c.times, error)) return false;
      if (!ReadFloats(sampler.output, c.width == 0 ? 1 : c.width, &c.values, error)) return false;
      std::size_t perKey = c.interpolation == Interpolation::CubicSpline ? 3 : 1;
      if (c.path == ChannelPath::Weights) {
        std::size_t denominator = c.times.size() * perKey;
        c.width = denominator ? static_cast<int>(c.values.size() / denominator) : 0;
      }
      if (c.times.empty() || c.width <= 0 || c.values.size() != c.times.size() * perKey * c.width) {
        *error = "animation '" + out.name + "' has a sampler whose output does not match its input";
        return false;
      }
      for (std::size_t i = 1; i < c.times.size(); ++i)
        if (!(c.times[i] >= c.times[i - 1])) {
          *error = "animation '" + out.name + "' has key times that are not ascending";
          return false;
        }
      if (!(c.times.front() >= 0) || !(c.times.back() < 4.0e6f)) {
        *error = "animation '" + out.name + "' has key times outside 0 .. 4,000,000 seconds";
        return false;
      }
      out.channels.push_back(std::move(c));
    }
    scene_.animations.push_back(std::move(out));
    return true;
  }

  const tinygltf::Model& model_;
  ImportScene& scene_;
  ImportReport& report_;
};

bool IsBinary(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char magic[4] = {};
  in.read(magic, 4);
  return in && std::memcmp(magic, "glTF", 4) == 0;
}

// The file's JSON text (of a .glb, its first chunk), at most 64 MiB of it.
std::string JsonText(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : 0;
  in.seekg(0);
  auto read = [&](std::size_t bytes) {
    std::string text(std::min<std::size_t>(bytes, std::size_t{64} << 20), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return text;
  };
  std::string head = read(20);
  if (head.size() == 20 && head.compare(0, 4, "glTF") == 0) {
    std::uint32_t length = 0;
    std::memcpy(&length, head.data() + 12, 4);
    return read(length);
  }
  return head + read(size > 20 ? static_cast<std::size_t>(size - 20) : 0);
}

}  // namespace

bool IsGltfVersion1(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char head[8] = {};
  in.read(head, 8);
  if (in.gcount() == 8 && std::memcmp(head, "glTF", 4) == 0) {
    std::uint32_t version = 0;
    std::memcpy(&version, head + 4, 4);
    return version == 1;
  }
  std::string json = JsonText(path);
  std::size_t asset = json.find("\"asset\"");
  if (asset == std::string::npos) return json.find('{') != std::string::npos && json.find("\"meshes\"") != std::string::npos;
  std::size_t version = json.find("\"version\"", asset);
  if (version == std::string::npos) return false;
  std::size_t quote = json.find('"', json.find(':', version + 9) + 1);
  return quote != std::string::npos && quote + 1 < json.size() && json[quote + 1] == '1';
}

bool GltfHasSkins(const std::string& path) { return JsonText(path).find("\"skins\"") != std::string::npos; }

bool ReadGltf(const std::string& path, ImportScene* scene, ImportReport* report, std::string* error) {
  tinygltf::TinyGLTF loader;
  loader.SetImageLoader(KeepImageBytes, nullptr);
  tinygltf::Model model;
  std::string err, warn;
  bool ok = IsBinary(path) ? loader.LoadBinaryFromFile(&model, &err, &warn, path)
                           : loader.LoadASCIIFromFile(&model, &err, &warn, path);
  if (!ok && JsonText(path).find("KHR_draco_mesh_compression") != std::string::npos) {
    *error = kDracoMessage;
    return false;
  }
  if (!ok) {
    *error = err.empty() ? "not a readable glTF file" : err;
    while (!error->empty() && (error->back() == '\n' || error->back() == ' ')) error->pop_back();
    return false;
  }
  std::size_t start = 0;
  while (start < warn.size()) {
    std::size_t end = warn.find('\n', start);
    if (end == std::string::npos) end = warn.size();
    if (end > start) report->Warn("glTF reader", warn.substr(start, end - start));
    start = end + 1;
  }
  return GltfReader(model, scene, report).Read(error);
}

}  // namespace sceneimport
