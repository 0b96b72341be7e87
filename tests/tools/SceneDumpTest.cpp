// scenedump on a small scene (every field printed, references with the ids the
// loader would give them) and on damaged files (reported, never a fault).
#include <gtest/gtest.h>

#include <sstream>

#include "tools/scenedump/SceneDump.h"
#include "tools/scenewriter/SceneWriter.h"

namespace {

using namespace scenefile;

struct Dump {
  int damage;
  std::string text;
};

Dump DumpOf(const std::vector<std::uint8_t>& bytes) {
  std::ostringstream out;
  int damage = DumpScene(bytes.data(), bytes.size(), out);
  return {damage, out.str()};
}

void ExpectLine(const Dump& dump, const std::string& line) {
  EXPECT_NE(dump.text.find(line + "\n"), std::string::npos) << "missing: " << line << "\n" << dump.text;
}

TEST(SceneDump, SmallSceneIsPrintedFieldByField) {
  SceneWriter w;
  GroupChunk root;
  root.index = 7;
  root.node.name = "root";
  root.node.properties = "skybox\n";
  w.Add(root);
  MeshChunk mesh;
  mesh.index = 2;
  mesh.node = 7;
  mesh.vertexBuffer = 9;
  mesh.indexBuffer = 10;
  mesh.subMeshes.push_back({0, 11, 0, 3, 0});
  w.Add(mesh);
  VertexBufferChunk v;
  v.index = 9;
  v.componentFlags = scenefile::kVertexUv0;
  v.vertices.resize(1);
  v.vertices[0].position = {1, 2, 3};
  v.vertices[0].uv0 = {0.5f, 0.25f};
  w.Add(v);
  w.Add(IndexBufferChunk{10, {0, 0, 70000}});
  MaterialChunk m;
  m.index = 11;
  m.version = 1;
  w.Add(m);
  const Dump dump = DumpOf(w.Bytes());
  EXPECT_EQ(dump.damage, 0) << dump.text;
  ExpectLine(dump, "chunk 0 at byte 0: type 2 (group), version 2, index 7, payload 65 bytes");
  ExpectLine(dump, "  scene id 1");
  ExpectLine(dump, "  name \"root\"");
  ExpectLine(dump, "  properties \"skybox\\n\"");
  // The mesh's buffers are met before their chunks: ids in the order of first sight.
  ExpectLine(dump, "  node index 7 -> id 1");
  ExpectLine(dump, "  vertex buffer index 9 -> id 3 (not defined yet)");
  ExpectLine(dump, "  index buffer index 10 -> id 4 (not defined yet)");
  ExpectLine(dump, "  sub-mesh 0 (id 5): start 0, 3 indices, material index 11 -> id 6 (not defined yet)");
  ExpectLine(dump, "  1 vertices, 1 frame(s), components: position, uv0");
  ExpectLine(dump, "  vertex 0: position 1 2 3, uv0 0.5 0.25");
  ExpectLine(dump, "  3 indices (1 triangles): 0 0 4464");
  ExpectLine(dump, "  1 indices above 65535 lose their upper 16 bits");
  ExpectLine(dump, "  diffuse map none (id 7)");  // "none" is mapped like any index
  EXPECT_EQ(dump.text.find("add map"), std::string::npos);  // version 1 has none
  ExpectLine(dump, "5 chunks, 8 scene ids, 0 damage reports");
}

TEST(SceneDump, TruncatedFileIsReportedAtEveryByte) {
  SceneWriter w;
  GroupChunk g;
  g.node.name = "g";
  w.Add(g);
  const std::size_t boundary = w.Bytes().size();
  w.Add(IndexBufferChunk{1, {0, 1, 2}});
  const std::vector<std::uint8_t> whole = w.Bytes();
  for (std::size_t cut = 1; cut < whole.size(); ++cut) {
    if (cut == boundary) continue;
    const Dump dump = DumpOf(std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)));
    EXPECT_EQ(dump.damage, 1) << "cut at " << cut << "\n" << dump.text;
    EXPECT_NE(dump.text.find("DAMAGE: "), std::string::npos);
  }
  EXPECT_EQ(DumpOf(std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(boundary))).damage, 0);
}

TEST(SceneDump, LyingCountsUnknownTypesAndBadReferences) {
  SceneWriter w;
  w.Raw(scenefile::ChunkType::IndexBuffer, 1, 0, {0xFF, 0xFF, 0xFF, 0x0F, 1, 2});  // an index count far beyond the bytes
  w.Raw(99, 1, 1, {1, 2, 3});                    // a type the loader does not know
  MeshChunk mesh;
  mesh.index = 2;
  mesh.node = 0;  // names the index buffer, not a node
  w.Add(mesh);
  SpriteChunk sprite;
  sprite.index = 3;
  sprite.node = 50;  // names nothing
  w.Add(sprite);
  GroupChunk after;
  after.index = 4;
  after.node.name = "after";
  w.Add(after);
  const Dump dump = DumpOf(w.Bytes());
  EXPECT_EQ(dump.damage, 4) << dump.text;
  ExpectLine(dump, "  DAMAGE: index count of 268435455 cannot fit in the 2 bytes left in the chunk");
  ExpectLine(dump, "  DAMAGE: unknown chunk type 99 (the loader stops: \"Unknown chunk in file!\")");
  ExpectLine(dump, "  DAMAGE: the mesh's node names object 0 (type 7, index buffer), which is not a node");
  ExpectLine(dump, "  DAMAGE: the sprite's node names object 50, which no earlier chunk defines");
  // The walk goes on after damage that leaves the chunk lengths intact.
  ExpectLine(dump, "  name \"after\"");
}

TEST(SceneDump, ChunkRunningPastTheFileEndStopsTheWalk) {
  SceneWriter w;
  w.RawWithLength(scenefile::ChunkType::Group, 2, 0, 0xFFFFFFFF, {1, 2, 3});
  const Dump dump = DumpOf(w.Bytes());
  EXPECT_EQ(dump.damage, 1);
  ExpectLine(dump, "  DAMAGE: payload runs past the end of the file (4294967295 bytes declared, 3 left)");
}

TEST(SceneDump, ZeroFramesLightTypesAndNoneLoadAsTheLoaderLoadsThem) {
  SceneWriter w;
  w.Raw(scenefile::ChunkType::VertexBuffer, 1, 0, std::vector<std::uint8_t>(14, 0));
  LightChunk light;
  light.index = 1;
  light.type = 0;
  w.Add(light);
  w.Add(SpriteChunk{2, 1, scenefile::kNone, 1.0f, 0});
  w.Add(GroupChunk{3, 2, {}});
  const Dump dump = DumpOf(w.Bytes());
  EXPECT_EQ(dump.damage, 0) << dump.text;
  ExpectLine(dump, "  no frames: the vertices stay zeroed");
  ExpectLine(dump, "  light type 0 is not 1, 2 or 3: the device refuses it and shows what the index "
                   "held before, or its default light");
  // "None" takes id 4 of its own, so the group after it gets 5.
  ExpectLine(dump, "  texture none (id 4)");
  ExpectLine(dump, "  scene id 5");
}

}  // namespace
