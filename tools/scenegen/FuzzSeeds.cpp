#include "tools/scenegen/FuzzSeeds.h"

#include <filesystem>
#include <fstream>

#include "tools/scenegen/SampleScene.h"

namespace {

using namespace scenefile;

bool SaveText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out.flush());
}

GroupChunk Node(std::uint32_t index, std::int32_t parent, const std::string& properties = "") {
  GroupChunk g;
  g.index = index;
  g.node.parent = parent;
  g.node.name = std::to_string(index);
  g.node.name.insert(0, 1, 'n');
  g.node.properties = properties;
  return g;
}

// A node carrying a triangle whose material has a texture.
void Triangle(SceneWriter& w, std::uint32_t node, std::uint32_t first, const std::string& texture,
              std::uint32_t frames = 1) {
  VertexBufferChunk v;
  v.index = first;
  v.vertices.resize(3);
  v.vertices[1].position = {2, 0, 0};
  v.vertices[2].position = {0, 0, 2};
  for (std::uint32_t f = 1; f < frames; ++f) v.extraFrames.push_back({{0, 0, 0}, {3, 0, 0}, {0, 0, 3}});
  w.Add(v);
  w.Add(IndexBufferChunk{first + 1, {0, 1, 2}});
  w.Add(TextureChunk{first + 2, texture});
  MaterialChunk m;
  m.index = first + 3;
  m.diffuseMap = first + 2;
  m.emissive = 0xFF808080;
  w.Add(m);
  MeshChunk mesh;
  mesh.index = first + 4;
  mesh.node = node;
  mesh.vertexBuffer = first;
  mesh.indexBuffer = first + 1;
  mesh.subMeshes.push_back({0, first + 3, 0, 3, 0});
  w.Add(mesh);
}

SceneWriter Everything() {
  SceneWriter w;
  w.Ambient(0xFF202020);
  w.Add(Node(0, -1));
  CameraChunk c;
  c.index = 1;
  c.node.parent = 0;
  c.node.name = "cam";
  c.node.position = {0, 10, 0};
  c.switchTimes = {100, 50};
  c.animEnd = 1000;
  w.Add(c);
  LightChunk l;
  l.index = 2;
  l.node.parent = 0;
  l.castsShadows = 1;
  w.Add(l);
  w.Add(Node(3, 0, "animations = 1\na0.field = VISTRACK\na0.keyframes = 2\na0.kf0 = 0 1\na0.kf1 = 500 0\n"));
  Triangle(w, 3, 10, "t.bmp", 3);
  PRSControllerChunk prs;
  prs.node = 3;
  prs.times = {0, 1000, 0, 1000};
  prs.keys.resize(2);
  prs.keys[1].position = {1, 0, 0};
  w.Add(prs);
  w.Add(VertexControllerChunk{0, 10, {0, 1000, 0, 1000}});
  w.Add(SampleFloatControllerChunk{0, 13, "OPACITY", {0, 1000, 0, 1000}, {1, 0.5f, 0}});
  w.Add(Node(4, 0));
  w.Add(SpriteChunk{20, 4, 12, 2.0f, 1});
  return w;
}

}  // namespace

bool WriteFuzzSeeds(const std::string& folder) {
  const std::string scenes = folder + "/scene_file", texts = folder + "/property_text";
  std::filesystem::create_directories(scenes);
  std::filesystem::create_directories(texts);
  bool ok = true;
  ok &= Everything().Save(scenes + "/everything.psk");
  {
    SceneWriter w;
    w.Add(Node(0, -1, "loader = 1\nfilename = n.psk\nanimoffset = 100\nanimscale = 2\nlooping = 1\n"));
    w.Add(Node(1, 0, "Skybox\n"));
    Triangle(w, 1, 10, "a.bmp");
    CameraChunk c;
    c.index = 2;
    c.node.parent = 0;
    w.Add(c);
    ok &= w.Save(scenes + "/nested-skybox-animated.psk");
  }
  {
    SceneWriter w;
    w.Add(Node(0, -1, "loader\nfilename = main.psk\n"));
    ok &= w.Save(scenes + "/self-nesting.psk");
  }
  {
    SceneBuilder sample;
    AddSampleWorld(sample);
    ok &= sample.writer.Save(scenes + "/sample-world.psk");
  }
  ok &= SaveText(texts + "/keys.txt",
                 "# comment\n  #not a comment = 1\nSpeed = 2 = 3\n===\nSkybox\nanimations = 2\n"
                 "a0.field = VISTRACK\na0.looping = 1\na0.keyframes = 3\na0.kf0 = 0 1\n"
                 "a0.kf1 = 500\na0.kf2 =  1000   0.5 \na1.field = Nope\na1.keyframes = 1\n"
                 "a1.kf0 = 1 1\nA0.LOOPING = 0\r\n");
  ok &= SaveText(texts + "/numbers.txt",
                 "animscale = -1.5e3x\nlooping = +12abc\nanimoffset = .5\nanimations = 2147483647\n"
                 "a2147483646.field = VISTRACK\na2147483646.keyframes = 1\na2147483646.kf0 = 5\n");
  return ok;
}
