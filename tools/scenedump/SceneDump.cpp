#include "tools/scenedump/SceneDump.h"

#include <cstring>
#include <iomanip>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string>

#include "scene/loading/SceneFileFormat.h"

namespace {

using scenefile::ChunkType;
using scenefile::Code;
using scenefile::kNone;

const char* TypeName(std::uint16_t type) {
  switch (static_cast<ChunkType>(type)) {
    case ChunkType::Ambient: return "ambient colour";
    case ChunkType::Group: return "group";
    case ChunkType::Mesh: return "mesh";
    case ChunkType::Camera: return "camera";
    case ChunkType::Light: return "light";
    case ChunkType::VertexBuffer: return "vertex buffer";
    case ChunkType::IndexBuffer: return "index buffer";
    case ChunkType::Material: return "material";
    case ChunkType::Texture: return "texture";
    case ChunkType::PRSController: return "position/rotation/scale controller";
    case ChunkType::VertexController: return "vertex controller";
    case ChunkType::SampleFloatController: return "sampled float controller";
    case ChunkType::Sprite: return "sprite";
    default: return "unknown";
  }
}

// A field that does not fit: the chunk's dump stops there.
struct Damage {
  std::string what;
};

class Fields {
 public:
  Fields(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}

  std::size_t Left() const { return size - position; }
  void Need(std::size_t bytes, const char* field) const {
    if (bytes > Left())
      throw Damage{std::string(field) + " runs past the end of the chunk (" +
                   std::to_string(bytes) + " bytes needed, " + std::to_string(Left()) + " left)"};
  }
  std::uint8_t U8(const char* field) {
    Need(1, field);
    return data[position++];
  }
  std::uint16_t U16(const char* field) {
    Need(2, field);
    std::uint16_t v = static_cast<std::uint16_t>(data[position] | data[position + 1] << 8);
    position += 2;
    return v;
  }
  std::uint32_t U32(const char* field) {
    Need(4, field);
    const std::uint8_t* p = data + position;
    position += 4;
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
  }
  float F32(const char* field) {
    std::uint32_t bits = U32(field);
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
  }
  std::string String(const char* field) {
    std::uint16_t length = U16(field);
    Need(length, field);
    std::string text(reinterpret_cast<const char*>(data + position), length);
    position += length;
    return text;
  }
  void Skip(std::size_t bytes, const char* field) {
    Need(bytes, field);
    position += bytes;
  }
  // A count whose items of `itemBytes` must fit in what is left.
  std::uint64_t Fit(std::uint64_t count, std::uint64_t itemBytes, const char* field) const {
    if (itemBytes && count > Left() / itemBytes)
      throw Damage{std::string(field) + " of " + std::to_string(count) + " cannot fit in the " +
                   std::to_string(Left()) + " bytes left in the chunk"};
    return count;
  }

 private:
  const std::uint8_t* data;
  std::size_t size;
  std::size_t position = 0;
};

std::string Quoted(const std::string& text) {
  std::ostringstream s;
  s << '"';
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') s << '\\' << c;
    else if (c == '\n') s << "\\n";
    else if (c == '\r') s << "\\r";
    else if (c < 32 || c > 126) s << "\\x" << std::hex << std::setw(2) << std::setfill('0') << int{c} << std::dec;
    else s << c;
  }
  s << '"';
  return s.str();
}

std::string Argb(std::uint32_t argb) {
  std::ostringstream s;
  s << "0x" << std::hex << std::setw(8) << std::setfill('0') << argb << std::dec << " (a "
    << (argb >> 24) << ", r " << (argb >> 16 & 0xFF) << ", g " << (argb >> 8 & 0xFF) << ", b "
    << (argb & 0xFF) << ")";
  return s.str();
}

class Dumper {
 public:
  explicit Dumper(std::ostream& out) : out(out) {}

  int Run(const std::uint8_t* bytes, std::size_t length) {
    std::size_t position = 0;
    std::uint32_t chunk = 0;
    for (; position < length; ++chunk) {
      const std::size_t left = length - position;
      if (left < 12) {
        Report("chunk " + std::to_string(chunk) + " at byte " + std::to_string(position) +
               ": header cut short (" + std::to_string(left) + " of 12 bytes)");
        break;
      }
      Fields header(bytes + position, 12);
      const std::uint16_t type = header.U16("type");
      const std::uint16_t version = header.U16("version");
      const std::uint32_t index = header.U32("index");
      const std::uint32_t payload = header.U32("length");
      out << "chunk " << chunk << " at byte " << position << ": type " << type << " ("
          << TypeName(type) << "), version " << version << ", index " << IndexText(index)
          << ", payload " << payload << " bytes\n";
      if (payload > left - 12) {
        Report("payload runs past the end of the file (" + std::to_string(payload) +
               " bytes declared, " + std::to_string(left - 12) + " left)");
        break;
      }
      Fields fields(bytes + position + 12, payload);
      try {
        Chunk(type, version, index, fields);
        if (fields.Left())
          out << "  (" << fields.Left() << " further payload bytes, skipped by the loader)\n";
      } catch (const Damage& damage) {
        Report(damage.what);
      }
      position += 12 + std::size_t{payload};
    }
    out << chunk << " chunks, " << nextId << " scene ids, " << damaged << " damage reports\n";
    return damaged;
  }

 private:
  void Report(const std::string& what) {
    out << "  DAMAGE: " << what << '\n';
    ++damaged;
  }

  std::string IndexText(std::uint32_t index) {
    if (index == kNone) return "none";
    return std::to_string(index);
  }
  // The scene id of a file index as the loader hands them out (first sight).
  std::int32_t Map(std::uint32_t index) {
    auto found = ids.find(index);
    if (found != ids.end()) return found->second;
    ids.emplace(index, nextId);
    return nextId++;
  }
  std::string Ref(std::uint32_t index) {
    const std::int32_t id = Map(index);  // "none" takes an id like any index
    if (index == kNone && !defined.count(index)) return "none (id " + std::to_string(id) + ")";
    return "index " + std::to_string(index) + " -> id " + std::to_string(id) +
           (defined.count(index) ? "" : " (not defined yet)");
  }
  // An at-once reference: the loader needs the object to exist already.
  // `types` lists the chunk types whose objects fit.
  std::string Required(std::uint32_t index, const char* what,
                       std::initializer_list<ChunkType> types, const char* kind) {
    auto found = defined.find(index);
    if (found == defined.end())
      throw Damage{std::string(what) + " names object " + IndexText(index) +
                   ", which no earlier chunk defines"};
    bool fits = false;
    for (ChunkType type : types) fits = fits || Code(type) == found->second;
    if (!fits)
      throw Damage{std::string(what) + " names object " + IndexText(index) + " (type " +
                   std::to_string(found->second) + ", " + TypeName(found->second) +
                   "), which is not a " + kind};
    return Ref(index);
  }
  void Own(ChunkType type, std::uint32_t index) {
    std::int32_t id = Map(index);
    // The first object of an index is the one lookups find.
    defined.emplace(index, Code(type));
    out << "  scene id " << id << '\n';
  }
  std::string Time(Fields& f, const char* field) { return std::to_string(f.U32(field)) + " ms"; }

  void Chunk(std::uint16_t type, std::uint16_t version, std::uint32_t index, Fields& f) {
    switch (static_cast<ChunkType>(type)) {
      case ChunkType::Ambient: out << "  colour " << Argb(f.U32("colour")) << '\n'; break;
      case ChunkType::Group: Own(ChunkType::Group, index); Node(f, version > 1); break;
      case ChunkType::Mesh: Mesh(index, f); break;
      case ChunkType::Camera: Camera(index, version, f); break;
      case ChunkType::Light: Light(index, version, f); break;
      case ChunkType::VertexBuffer: VertexBuffer(index, f); break;
      case ChunkType::IndexBuffer: IndexBuffer(index, f); break;
      case ChunkType::Material: Material(index, version, f); break;
      case ChunkType::Texture:
        Own(ChunkType::Texture, index);
        out << "  file " << Quoted(f.String("file name")) << '\n';
        break;
      case ChunkType::PRSController: Prs(f); break;
      case ChunkType::VertexController:
        out << "  vertex buffer " << Required(f.U32("vertex buffer"), "the vertex buffer", {ChunkType::VertexBuffer}, "vertex buffer") << '\n';
        Times(f);
        break;
      case ChunkType::SampleFloatController: Sampled(f); break;
      case ChunkType::Sprite: Sprite(index, f); break;
      default: throw Damage{"unknown chunk type " + std::to_string(type) + " (the loader stops: \"Unknown chunk in file!\")"};
    }
  }

  void Node(Fields& f, bool withVisibility) {
    std::int32_t parent = static_cast<std::int32_t>(f.U32("parent"));
    out << "  parent " << (parent == -1 ? "none (the file's top level)"
                                        : Ref(static_cast<std::uint32_t>(parent))) << '\n';
    out << "  name " << Quoted(f.String("name")) << '\n';
    float t[10];
    for (float& v : t) v = f.F32("transform");
    out << "  position " << t[0] << ' ' << t[1] << ' ' << t[2] << ", rotation " << t[3] << ' '
        << t[4] << ' ' << t[5] << ' ' << t[6] << ", scale " << t[7] << ' ' << t[8] << ' ' << t[9]
        << '\n';
    std::string properties = f.String("properties");
    if (!properties.empty()) out << "  properties " << Quoted(properties) << '\n';
    int flag1 = f.U8("shadow flag 1"), flag2 = f.U8("shadow flag 2");
    out << "  shadow flags " << flag1 << ' ' << flag2 << '\n';
    if (withVisibility) out << "  visibility " << f.F32("visibility") << '\n';
  }

  void Mesh(std::uint32_t index, Fields& f) {
    Own(ChunkType::Mesh, index);
    out << "  node " << Required(f.U32("node"), "the mesh's node", {ChunkType::Group, ChunkType::Camera, ChunkType::Light}, "node") << '\n';
    out << "  name " << Quoted(f.String("name")) << '\n';
    out << "  vertex buffer " << Ref(f.U32("vertex buffer")) << '\n';
    out << "  index buffer " << Ref(f.U32("index buffer")) << '\n';
    std::uint16_t count = f.U16("sub-mesh count");
    f.Fit(count, 17, "sub-mesh count");
    for (std::uint16_t i = 0; i < count; ++i) {
      std::int32_t id = nextId++;
      std::uint32_t start = f.U32("start index");
      std::string material = Ref(f.U32("material"));
      f.U32("unused");
      std::uint32_t indices = f.U32("index count");
      f.U8("ignored");
      out << "  sub-mesh " << i << " (id " << id << "): start " << start << ", " << indices
          << " indices, material " << material << '\n';
    }
  }

  void Camera(std::uint32_t index, std::uint16_t version, Fields& f) {
    Own(ChunkType::Camera, index);
    Node(f, version > 2);
    float fov = f.F32("field of view"), nearClip = f.F32("near clip"), farClip = f.F32("far clip");
    out << "  fov " << fov << " rad, near " << nearClip << ", far " << farClip;
    if (nearClip < 0.00001f) out << " (near becomes " << farClip * 0.00001f << ")";
    out << '\n';
    if (version < 2) return;
    std::uint32_t count = f.U32("activation count");
    if (count == 0) {
      out << "  no activations\n";
      return;
    }
    f.Fit(count, 4, "activation count");
    out << "  activations at";
    for (std::uint32_t i = 0; i < count; ++i) out << ' ' << f.U32("activation time");
    out << " ms (used as given)\n";
    out << "  activation start " << Time(f, "activation start");
    out << ", end " << Time(f, "activation end") << " (before the file's offset and scale)\n";
  }

  void Light(std::uint32_t index, std::uint16_t version, Fields& f) {
    Own(ChunkType::Light, index);
    Node(f, version > 1);
    int type = f.U8("light type");
    out << "  light type " << type
        << (type == 1 ? " (point)" : type == 2 ? " (spot)" : type == 3 ? " (directional)" : "")
        << '\n';
    out << "  colour " << Argb(f.U32("colour")) << ", intensity " << f.F32("intensity") << '\n';
    float a0 = f.F32("attenuation 0"), a1 = f.F32("attenuation 1"), a2 = f.F32("attenuation 2");
    out << "  attenuation " << a0 << ' ' << a1 << ' ' << a2 << ", range " << f.F32("range") << '\n';
    float theta = f.F32("theta"), phi = f.F32("phi");
    out << "  theta " << theta << " deg, phi " << phi << " deg\n";
    int casts = f.U8("casts shadows");
    out << "  casts shadows " << casts << ", shadow colour " << Argb(f.U32("shadow colour")) << '\n';
    if (type < 1 || type > 3)
      out << "  light type " << type << " is not 1, 2 or 3: the device refuses it and shows what the index held before, or its default light\n";
  }

  void VertexBuffer(std::uint32_t index, Fields& f) {
    Own(ChunkType::VertexBuffer, index);
    std::uint32_t frames = f.U32("frame count");
    std::uint32_t flags = f.U32("component flags");
    f.Skip(2, "unused bytes");
    std::uint32_t count = f.U32("vertex count");
    out << "  " << count << " vertices, " << frames << " frame(s), components: position"
        << (flags & scenefile::kVertexNormal ? ", normal" : "")
        << (flags & scenefile::kVertexUv0 ? ", uv0" : "") << (flags & scenefile::kVertexUv1 ? ", uv1" : "")
        << '\n';
    if (frames == 0) {
      out << "  no frames: the vertices stay zeroed\n";
      return;
    }
    std::uint64_t vertexBytes = 12 + (flags & scenefile::kVertexNormal ? 12 : 0) +
                                (flags & scenefile::kVertexUv0 ? 8 : 0) + (flags & scenefile::kVertexUv1 ? 8 : 0);
    f.Fit(count, vertexBytes, "vertex count");
    if (count) f.Fit(std::uint64_t{frames} - 1, 12 * std::uint64_t{count} , "frame count");
    const std::uint32_t shown = count < 4 ? count : 4;
    for (std::uint32_t v = 0; v < count; ++v) {
      float p[3];
      for (float& x : p) x = f.F32("position");
      std::ostringstream line;
      line << "  vertex " << v << ": position " << p[0] << ' ' << p[1] << ' ' << p[2];
      if (flags & scenefile::kVertexNormal) {
        float n[3];
        for (float& x : n) x = f.F32("normal");
        line << ", normal " << n[0] << ' ' << n[1] << ' ' << n[2];
      }
      if (flags & scenefile::kVertexUv0) {
        float a = f.F32("uv0"), b = f.F32("uv0");
        line << ", uv0 " << a << ' ' << b;
      }
      if (flags & scenefile::kVertexUv1) {
        float a = f.F32("uv1"), b = f.F32("uv1");
        line << ", uv1 " << a << ' ' << b;
      }
      if (v < shown) out << line.str() << '\n';
    }
    if (count > shown) out << "  ... " << count - shown << " more vertices\n";
    if (frames > 1) {
      f.Skip(std::size_t{12} * count * (frames - 1), "position frames");
      out << "  " << frames - 1 << " further position frame(s)\n";
    }
  }

  void IndexBuffer(std::uint32_t index, Fields& f) {
    Own(ChunkType::IndexBuffer, index);
    std::uint32_t count = f.U32("index count");
    f.Fit(count, 4, "index count");
    out << "  " << count << " indices (" << count / 3 << " triangles)";
    std::uint32_t truncated = 0;
    std::ostringstream first;
    for (std::uint32_t i = 0; i < count; ++i) {
      std::uint32_t value = f.U32("index");
      if (value > 0xFFFF) ++truncated;
      if (i < 12) first << ' ' << (value & 0xFFFF);
    }
    if (count) out << ":" << first.str() << (count > 12 ? " ..." : "");
    out << '\n';
    if (truncated) out << "  " << truncated << " indices above 65535 lose their upper 16 bits\n";
  }

  void Material(std::uint32_t index, std::uint16_t version, Fields& f) {
    Own(ChunkType::Material, index);
    out << "  diffuse " << Argb(f.U32("diffuse")) << '\n';
    out << "  specular " << Argb(f.U32("specular")) << '\n';
    out << "  ambient " << Argb(f.U32("ambient")) << '\n';
    out << "  emissive " << Argb(f.U32("emissive")) << '\n';
    float power = f.F32("power"), level = f.F32("specular level");
    out << "  power " << power << ", specular level " << level << '\n';
    int blend = f.U8("blend mode");
    out << "  blend mode " << blend << ", opacity " << f.F32("opacity") << '\n';
    const char* names[] = {"diffuse map", "sphere map", "light map", "specular map"};
    for (const char* name : names) out << "  " << name << ' ' << Ref(f.U32(name)) << '\n';
    if (version >= 2) out << "  add map " << Ref(f.U32("add map")) << '\n';
  }

  void Times(Fields& f) {
    out << "  anim start " << Time(f, "anim start");
    out << ", anim end " << Time(f, "anim end");
    out << ", key start " << Time(f, "key start");
    out << ", key end " << Time(f, "key end") << " (before the file's offset and scale)\n";
  }

  void Prs(Fields& f) {
    out << "  node " << Required(f.U32("node"), "the controller's node", {ChunkType::Group, ChunkType::Camera, ChunkType::Light}, "node") << '\n';
    Times(f);
    std::uint32_t flags = f.U32("key flags");
    std::uint32_t count = f.U32("key count");
    const bool position = flags & scenefile::kKeyPosition;
    const bool rotation = flags & scenefile::kKeyRotation;
    const bool scale = flags & scenefile::kKeyScale;
    std::uint64_t keyBytes = (position ? 12 : 0) + (rotation ? 16 : 0) + (scale ? 12 : 0);
    f.Fit(count, keyBytes, "key count");
    out << "  " << count << " keys with" << (position ? " position" : "")
        << (rotation ? " rotation" : "") << (scale ? " scale" : "") << '\n';
    f.Skip(keyBytes * count, "keys");
  }

  void Sampled(Fields& f) {
    out << "  target " << Required(f.U32("target"), "the controller's target", {ChunkType::Group, ChunkType::Mesh, ChunkType::Camera, ChunkType::Light, ChunkType::Material, ChunkType::Texture, ChunkType::Sprite}, "animatable object") << '\n';
    out << "  field " << Quoted(f.String("field")) << '\n';
    Times(f);
    std::uint32_t count = f.U32("sample count");
    f.Fit(count, 4, "sample count");
    out << "  " << count << " samples:";
    for (std::uint32_t i = 0; i < count; ++i) {
      float v = f.F32("sample");
      if (i < 8) out << ' ' << v;
    }
    out << (count > 8 ? " ...\n" : "\n");
  }

  void Sprite(std::uint32_t index, Fields& f) {
    Own(ChunkType::Sprite, index);
    out << "  node " << Required(f.U32("node"), "the sprite's node", {ChunkType::Group, ChunkType::Camera, ChunkType::Light}, "node") << '\n';
    out << "  texture " << Ref(f.U32("texture")) << '\n';
    float size = f.F32("size");
    int skip = f.U8("skip in glow pass");
    out << "  size " << size << ", skip in glow pass " << skip << '\n';
  }

  std::ostream& out;
  std::map<std::uint32_t, std::int32_t> ids;
  std::map<std::uint32_t, std::uint16_t> defined;  // index -> chunk type
  std::int32_t nextId = 1;  // id 0 is the loader's own
  int damaged = 0;
};

}  // namespace

int DumpScene(const std::uint8_t* bytes, std::size_t length, std::ostream& out) {
  return Dumper(out).Run(bytes, length);
}
