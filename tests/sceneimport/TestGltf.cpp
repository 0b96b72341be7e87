#include "sceneimport/TestGltf.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

#include "tools/sceneimport/TextureTable.h"

namespace {

std::string Base64(const std::vector<std::uint8_t>& bytes) {
  static const char* k = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    std::uint32_t v = bytes[i] << 16;
    if (i + 1 < bytes.size()) v |= bytes[i + 1] << 8;
    if (i + 2 < bytes.size()) v |= bytes[i + 2];
    out += k[(v >> 18) & 63];
    out += k[(v >> 12) & 63];
    out += i + 1 < bytes.size() ? k[(v >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? k[v & 63] : '=';
  }
  return out;
}

std::string Join(const std::vector<std::string>& items) {
  std::string out;
  for (std::size_t i = 0; i < items.size(); ++i) out += (i ? "," : "") + items[i];
  return out;
}

}  // namespace

int TestGltf::Floats(const std::vector<float>& values, const std::string& type, bool withBounds) {
  while (buffer_.size() % 4) buffer_.push_back(0);
  std::size_t offset = buffer_.size();
  buffer_.resize(offset + values.size() * 4);
  std::memcpy(buffer_.data() + offset, values.data(), values.size() * 4);
  int width = type == "SCALAR" ? 1 : type == "VEC2" ? 2 : type == "VEC3" ? 3 : type == "MAT4" ? 16 : 4;
  views_.push_back("{\"buffer\":0,\"byteOffset\":" + std::to_string(offset) +
                   ",\"byteLength\":" + std::to_string(values.size() * 4) + "}");
  std::ostringstream a;
  a << "{\"bufferView\":" << views_.size() - 1 << ",\"componentType\":5126,\"count\":" << values.size() / width
    << ",\"type\":\"" << type << "\"";
  if (withBounds) {
    std::vector<float> lo(width, 1e30f), hi(width, -1e30f);
    for (std::size_t i = 0; i < values.size(); ++i) {
      lo[i % width] = std::min(lo[i % width], values[i]);
      hi[i % width] = std::max(hi[i % width], values[i]);
    }
    a << ",\"min\":[";
    for (int i = 0; i < width; ++i) a << (i ? "," : "") << lo[i];
    a << "],\"max\":[";
    for (int i = 0; i < width; ++i) a << (i ? "," : "") << hi[i];
    a << "]";
  }
  a << "}";
  accessors_.push_back(a.str());
  return static_cast<int>(accessors_.size() - 1);
}

int TestGltf::Indices(const std::vector<std::uint32_t>& values) {
  return Accessor(values.data(), values.size() * 4, 5125, values.size(), "SCALAR");
}

int TestGltf::Joints(const std::vector<std::uint16_t>& values) {
  return Accessor(values.data(), values.size() * 2, 5123, values.size() / 4, "VEC4");
}

int TestGltf::Accessor(const void* data, std::size_t bytes, int componentType, std::size_t count, const char* type) {
  while (buffer_.size() % 4) buffer_.push_back(0);
  std::size_t offset = buffer_.size();
  buffer_.resize(offset + bytes);
  std::memcpy(buffer_.data() + offset, data, bytes);
  views_.push_back("{\"buffer\":0,\"byteOffset\":" + std::to_string(offset) + ",\"byteLength\":" + std::to_string(bytes) + "}");
  accessors_.push_back("{\"bufferView\":" + std::to_string(views_.size() - 1) + ",\"componentType\":" +
                       std::to_string(componentType) + ",\"count\":" + std::to_string(count) + ",\"type\":\"" + type +
                       "\"}");
  return static_cast<int>(accessors_.size() - 1);
}

std::string TestGltf::DataUri(const std::vector<std::uint8_t>& bytes, const std::string& mime) {
  return "data:" + mime + ";base64," + Base64(bytes);
}

std::string TestGltf::Json() const {
  std::ostringstream j;
  j << "{\"asset\":{\"version\":\"2.0\"}";
  if (!extensionsUsed.empty()) {
    j << ",\"extensionsUsed\":[";
    for (std::size_t i = 0; i < extensionsUsed.size(); ++i) j << (i ? "," : "") << '"' << extensionsUsed[i] << '"';
    j << "]";
  }
  std::vector<int> roots = sceneNodes;
  if (roots.empty())
    for (std::size_t i = 0; i < nodes.size(); ++i) roots.push_back(static_cast<int>(i));
  j << ",\"scene\":0,\"scenes\":[{\"nodes\":[";
  for (std::size_t i = 0; i < roots.size(); ++i) j << (i ? "," : "") << roots[i];
  j << "]}]";
  auto section = [&](const char* name, const std::vector<std::string>& items) {
    if (!items.empty()) j << ",\"" << name << "\":[" << Join(items) << "]";
  };
  section("nodes", nodes);
  section("meshes", meshes);
  section("materials", materials);
  section("textures", textures);
  section("images", images);
  section("cameras", cameras);
  section("animations", animations);
  section("skins", skins);
  if (!lights.empty()) j << ",\"extensions\":{\"KHR_lights_punctual\":{\"lights\":[" << Join(lights) << "]}}";
  if (!buffer_.empty()) {
    j << ",\"buffers\":[{\"byteLength\":" << buffer_.size() << ",\"uri\":\""
      << DataUri(buffer_, "application/octet-stream") << "\"}]";
    section("bufferViews", views_);
    section("accessors", accessors_);
  }
  j << "}";
  return j.str();
}

std::string TestGltf::Save(const TempDir& dir, const std::string& name) const {
  std::string path = dir.file(name);
  std::ofstream(path) << Json();
  return path;
}

std::string MeshJson(int position, int indices, int material, const std::string& more) {
  std::string p = "{\"attributes\":{\"POSITION\":" + std::to_string(position) + more + "}";
  if (indices >= 0) p += ",\"indices\":" + std::to_string(indices);
  if (material >= 0) p += ",\"material\":" + std::to_string(material);
  return "{\"primitives\":[" + p + "}]}";
}

std::vector<std::uint8_t> TinyPng(std::uint32_t rgba, bool withAlpha) {
  std::vector<std::uint8_t> pixels;
  for (int i = 0; i < 4; ++i) {
    pixels.push_back(static_cast<std::uint8_t>(rgba >> 24));
    pixels.push_back(static_cast<std::uint8_t>(rgba >> 16));
    pixels.push_back(static_cast<std::uint8_t>(rgba >> 8));
    if (withAlpha) pixels.push_back(static_cast<std::uint8_t>(rgba));
  }
  return sceneimport::EncodePng(2, 2, withAlpha ? 4 : 3, pixels);
}
