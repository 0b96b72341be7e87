#include "sceneimport/SceneFileReader.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "scene/loading/SceneFileFormat.h"

using scenefile::ChunkType;
using scenefile::Code;

namespace {

class Cursor {
 public:
  Cursor(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool ok() const { return ok_; }
  std::size_t left() const { return size_ - pos_; }
  template <typename T>
  T Get() {
    T v{};
    if (!ok_ || size_ - pos_ < sizeof v) {
      ok_ = false;
      return v;
    }
    std::memcpy(&v, data_ + pos_, sizeof v);
    pos_ += sizeof v;
    return v;
  }
  std::string String() {
    auto n = Get<std::uint16_t>();
    if (!ok_ || size_ - pos_ < n) {
      ok_ = false;
      return {};
    }
    std::string s(reinterpret_cast<const char*>(data_ + pos_), n);
    pos_ += n;
    return s;
  }
  void Skip(std::size_t n) {
    if (size_ - pos_ < n) ok_ = false;
    else pos_ += n;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_, pos_ = 0;
  bool ok_ = true;
};

void Header(Cursor& c, ReadNode* n, std::uint16_t threshold) {
  n->parent = c.Get<std::int32_t>();
  n->name = c.String();
  for (float& v : n->position) v = c.Get<float>();
  for (float& v : n->rotation) v = c.Get<float>();
  for (float& v : n->scale) v = c.Get<float>();
  c.String();
  c.Get<std::uint8_t>();
  c.Get<std::uint8_t>();
  if (n->version > threshold) c.Get<float>();
}

}  // namespace

const ReadNode* SceneFile::Node(const std::string& name) const {
  for (const auto& n : nodes)
    if (n.name == name) return &n;
  return nullptr;
}

const ReadNode* SceneFile::NodeByIndex(std::uint32_t index) const {
  for (const auto& n : nodes)
    if (n.index == index) return &n;
  return nullptr;
}

const ReadMaterial* SceneFile::Material(std::uint32_t index) const {
  for (const auto& m : materials)
    if (m.index == index) return &m;
  return nullptr;
}

std::vector<const ReadMesh*> SceneFile::MeshesOf(std::uint32_t nodeIndex) const {
  std::vector<const ReadMesh*> out;
  for (const auto& m : meshes)
    if (m.node == nodeIndex) out.push_back(&m);
  return out;
}

SceneFile ReadSceneFile(const std::string& path) {
  SceneFile file;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    file.problem = "cannot open " + path;
    return file;
  }
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::size_t offset = 0;
  while (offset < bytes.size()) {
    if (bytes.size() - offset < 12) {
      file.problem = "truncated chunk header";
      return file;
    }
    Cursor h(bytes.data() + offset, 12);
    auto type = h.Get<std::uint16_t>();
    auto version = h.Get<std::uint16_t>();
    auto index = h.Get<std::uint32_t>();
    auto length = h.Get<std::uint32_t>();
    if (bytes.size() - offset - 12 < length) {
      file.problem = "chunk runs past the end";
      return file;
    }
    Cursor c(bytes.data() + offset + 12, length);
    switch (static_cast<ChunkType>(type)) {
      case ChunkType::Ambient:
        file.ambient.push_back(c.Get<std::uint32_t>());
        break;
      case ChunkType::Group: case ChunkType::Camera: case ChunkType::Light: {
        ReadNode n;
        n.type = type, n.version = version, n.index = index;
        Header(c, &n, type == Code(ChunkType::Camera) ? 2 : 1);
        if (type == Code(ChunkType::Camera)) {
          n.fov = c.Get<float>(), n.nearClip = c.Get<float>(), n.farClip = c.Get<float>();
          if (version >= 2) {
            auto count = c.Get<std::uint32_t>();
            if (count) c.Skip(count * 4 + 8);
          }
        } else if (type == Code(ChunkType::Light)) {
          n.lightType = c.Get<std::uint8_t>();
          n.color = c.Get<std::uint32_t>();
          n.intensity = c.Get<float>();
          for (float& a : n.attenuation) a = c.Get<float>();
          n.range = c.Get<float>(), n.theta = c.Get<float>(), n.phi = c.Get<float>();
          c.Get<std::uint8_t>();
          c.Get<std::uint32_t>();
        }
        file.nodes.push_back(n);
        break;
      }
      case ChunkType::Mesh: {
        ReadMesh m;
        m.index = index;
        m.node = c.Get<std::uint32_t>();
        c.String();
        m.vertexBuffer = c.Get<std::uint32_t>();
        m.indexBuffer = c.Get<std::uint32_t>();
        auto count = c.Get<std::uint16_t>();
        for (int i = 0; i < count && c.ok(); ++i) {
          ReadSubMesh s;
          s.startIndex = c.Get<std::uint32_t>();
          s.material = c.Get<std::uint32_t>();
          c.Get<std::uint32_t>();
          s.indexCount = c.Get<std::uint32_t>();
          c.Get<std::uint8_t>();
          m.subMeshes.push_back(s);
        }
        file.meshes.push_back(m);
        break;
      }
      case ChunkType::VertexBuffer: {
        ReadVertexBuffer vb;
        vb.index = index;
        vb.frames = c.Get<std::uint32_t>();
        vb.flags = c.Get<std::uint32_t>();
        c.Skip(2);
        auto count = c.Get<std::uint32_t>();
        if (count > c.left() / 12) {
          file.problem = "vertex count beyond the chunk";
          return file;
        }
        for (std::uint32_t v = 0; v < count && c.ok(); ++v) {
          ReadVertex r;
          for (float& f : r.position) f = c.Get<float>();
          if (vb.flags & scenefile::kVertexNormal) c.Skip(12);
          if (vb.flags & scenefile::kVertexUv0) r.uv0 = {c.Get<float>(), c.Get<float>()};
          if (vb.flags & scenefile::kVertexUv1) r.uv1 = {c.Get<float>(), c.Get<float>()};
          vb.vertices.push_back(r);
        }
        for (std::uint32_t f = 1; f < vb.frames && c.ok(); ++f) {
          std::vector<std::array<float, 3>> frame(count);
          for (auto& p : frame)
            for (float& v : p) v = c.Get<float>();
          vb.extraFrames.push_back(std::move(frame));
        }
        file.vertexBuffers[index] = std::move(vb);
        break;
      }
      case ChunkType::IndexBuffer: {
        auto count = c.Get<std::uint32_t>();
        if (count > c.left() / 4) {
          file.problem = "index count beyond the chunk";
          return file;
        }
        std::vector<std::uint32_t> indices(count);
        for (auto& i : indices) i = c.Get<std::uint32_t>();
        file.indexBuffers[index] = std::move(indices);
        break;
      }
      case ChunkType::Material: {
        ReadMaterial m;
        m.index = index;
        m.diffuse = c.Get<std::uint32_t>(), m.specular = c.Get<std::uint32_t>();
        m.ambient = c.Get<std::uint32_t>(), m.emissive = c.Get<std::uint32_t>();
        m.power = c.Get<float>(), m.level = c.Get<float>();
        m.blendMode = c.Get<std::uint8_t>();
        m.opacity = c.Get<float>();
        m.diffuseMap = c.Get<std::uint32_t>(), m.sphereMap = c.Get<std::uint32_t>();
        m.lightMap = c.Get<std::uint32_t>(), m.specularMap = c.Get<std::uint32_t>();
        m.addMap = version >= 2 ? c.Get<std::uint32_t>() : scenefile::kNone;
        file.materials.push_back(m);
        break;
      }
      case ChunkType::Texture:
        file.textures[index] = c.String();
        break;
      case ChunkType::PRSController: {
        ReadPRS p;
        p.index = index;
        p.node = c.Get<std::uint32_t>();
        for (auto& t : p.times) t = c.Get<std::uint32_t>();
        p.flags = c.Get<std::uint32_t>();
        auto count = c.Get<std::uint32_t>();
        std::size_t keySize = (p.flags & scenefile::kKeyPosition ? 12 : 0) + (p.flags & scenefile::kKeyRotation ? 16 : 0) + (p.flags & scenefile::kKeyScale ? 12 : 0);
        if (keySize && count > c.left() / keySize) {
          file.problem = "key count beyond the chunk";
          return file;
        }
        for (std::uint32_t k = 0; k < count && c.ok(); ++k) {
          ReadKey key;
          if (p.flags & scenefile::kKeyPosition) for (float& v : key.position) v = c.Get<float>();
          if (p.flags & scenefile::kKeyRotation) for (float& v : key.rotation) v = c.Get<float>();
          if (p.flags & scenefile::kKeyScale) for (float& v : key.scale) v = c.Get<float>();
          p.keys.push_back(key);
        }
        file.controllers.push_back(p);
        break;
      }
      case ChunkType::VertexController: {
        ReadVertexController v;
        v.index = index;
        v.vertexBuffer = c.Get<std::uint32_t>();
        for (auto& t : v.times) t = c.Get<std::uint32_t>();
        file.vertexControllers.push_back(v);
        break;
      }
      default:
        file.problem = "unexpected chunk type " + std::to_string(type);
        return file;
    }
    if (!c.ok()) {
      file.problem = "chunk of type " + std::to_string(type) + " shorter than its fields";
      return file;
    }
    if (c.left() != 0) {
      file.problem = "chunk of type " + std::to_string(type) + " longer than its fields";
      return file;
    }
    offset += 12 + length;
  }
  file.valid = true;
  return file;
}
