// Damaged scene files: cut at every byte, chunks whose payload is cut at every
// field, counts that cannot fit, unknown chunk types, references looked up at
// once that name nothing or the wrong kind of object, and parent cycles. Each
// must end with a message naming the file and what is wrong ("Error", status 0),
// never a fault. Sweeps catch the fatal box in-process; death tests check the
// real exit on one case of each kind.
#include <algorithm>
#include <cstring>

#include "SceneLoaderFixture.h"
#include "scene/Mesh.h"

namespace {

using scenefile::kNone;
using PSKSceneLoaderDamageTest = SceneLoaderTest;

struct RawChunk {
  std::uint16_t type, version;
  std::uint32_t index;
  Bytes payload;
};

std::vector<RawChunk> Split(const Bytes& file) {
  std::vector<RawChunk> chunks;
  std::size_t p = 0;
  while (p + 12 <= file.size()) {
    RawChunk c;
    c.type = static_cast<std::uint16_t>(file[p] | file[p + 1] << 8);
    c.version = static_cast<std::uint16_t>(file[p + 2] | file[p + 3] << 8);
    std::memcpy(&c.index, &file[p + 4], 4);
    std::uint32_t length;
    std::memcpy(&length, &file[p + 8], 4);
    c.payload.assign(file.begin() + static_cast<std::ptrdiff_t>(p + 12),
                     file.begin() + static_cast<std::ptrdiff_t>(p + 12 + length));
    chunks.push_back(c);
    p += 12 + length;
  }
  return chunks;
}

// A small scene with one chunk of each still kind, and where its chunks start.
Bytes SmallScene(const std::string& texturePath, std::vector<std::size_t>* starts = nullptr) {
  scenefile::SceneWriter w;
  auto mark = [&] {
    if (starts) starts->push_back(w.Bytes().size());
  };
  mark();
  w.Ambient(0xFF101010);
  mark();
  w.Add(GroupAt(0, -1, "root", "speed = 2\n"));
  mark();
  scenefile::CameraChunk camera;
  camera.index = 1;
  camera.node.parent = 0;
  camera.node.name = "cam";
  w.Add(camera);
  mark();
  scenefile::LightChunk light;
  light.index = 2;
  light.node.parent = 0;
  w.Add(light);
  mark();
  w.Add(scenefile::TextureChunk{3, texturePath});
  mark();
  scenefile::MaterialChunk material;
  material.index = 4;
  material.diffuseMap = 3;
  w.Add(material);
  mark();
  scenefile::VertexBufferChunk vertices;
  vertices.index = 5;
  vertices.vertices.resize(3);
  vertices.vertices[1].position = {1, 0, 0};
  vertices.vertices[2].position = {0, 1, 0};
  vertices.extraFrames = {{{0, 0, 1}, {1, 0, 1}, {0, 1, 1}}};
  w.Add(vertices);
  mark();
  w.Add(scenefile::IndexBufferChunk{6, {0, 1, 2}});
  mark();
  scenefile::MeshChunk mesh;
  mesh.index = 7;
  mesh.node = 0;
  mesh.vertexBuffer = 5;
  mesh.indexBuffer = 6;
  mesh.subMeshes.push_back({0, 4, 0, 3, 0});
  w.Add(mesh);
  return w.Bytes();
}

class DamageSweep : public PSKSceneLoaderDamageTest {
 protected:
  void SetUp() override {
    PSKSceneLoaderDamageTest::SetUp();
    texture = dir.file("grey.bmp");
    ASSERT_TRUE(SaveBytes(texture, SolidBmp(2, 2, 128, 128, 128)));
  }
  std::optional<OsMessageBoxRecord> TryLoad(const Bytes& bytes) {
    graph = std::make_unique<SceneGraph>(device);
    return CatchFatal([&] { Load(bytes); });
  }
  TempDir dir;
  std::string texture;
};

TEST_F(DamageSweep, FileCutAtEveryByte) {
  std::vector<std::size_t> starts;
  const Bytes whole = SmallScene(texture, &starts);
  ASSERT_EQ(TryLoad(whole), std::nullopt);
  for (std::size_t cut = 0; cut < whole.size(); ++cut) {
    SCOPED_TRACE("cut at byte " + std::to_string(cut));
    const Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
    auto box = TryLoad(part);
    const bool atBoundary = std::find(starts.begin(), starts.end(), cut) != starts.end();
    if (atBoundary) {
      EXPECT_EQ(box, std::nullopt);  // a shorter file of whole chunks is sound
      continue;
    }
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->caption, "Error");
    EXPECT_EQ(box->text.rfind("Damaged scene file (scene in memory): chunk ", 0), 0u) << box->text;
    const std::size_t inChunk = cut - *(std::upper_bound(starts.begin(), starts.end(), cut) - 1);
    EXPECT_NE(box->text.find(inChunk < 12 ? "has a header of" : "payload bytes, but only"),
              std::string::npos)
        << box->text;
  }
}

TEST_F(DamageSweep, ChunkPayloadCutAtEveryByte) {
  const std::vector<RawChunk> chunks = Split(SmallScene(texture));
  for (std::size_t which = 0; which < chunks.size(); ++which) {
    for (std::size_t keep = 0; keep < chunks[which].payload.size(); ++keep) {
      SCOPED_TRACE("chunk " + std::to_string(which) + " keeps " + std::to_string(keep) + " bytes");
      scenefile::SceneWriter w;
      for (std::size_t i = 0; i < chunks.size(); ++i) {
        Bytes payload = chunks[i].payload;
        if (i == which) payload.resize(keep);
        w.Raw(chunks[i].type, chunks[i].version, chunks[i].index, payload);
      }
      auto box = TryLoad(w.Bytes());
      ASSERT_TRUE(box.has_value());
      const std::string where = "Damaged scene file (scene in memory), chunk " +
                                std::to_string(which) + " (type " +
                                std::to_string(chunks[which].type) + ")";
      EXPECT_EQ(box->text.rfind(where, 0), 0u) << box->text;
      EXPECT_TRUE(box->text.find("runs past the end of the chunk") != std::string::npos ||
                  box->text.find("cannot fit") != std::string::npos)
          << box->text;
    }
  }
}

TEST_F(PSKSceneLoaderDamageTest, CountsThatCannotFit) {
  struct Case {
    const char* name;
    scenefile::SceneWriter file;
    std::string message;
  };
  std::vector<Case> cases;
  auto add = [&](const char* name, const std::string& message) -> scenefile::SceneWriter& {
    cases.push_back({name, {}, message});
    return cases.back().file;
  };
  const Bytes u32Huge{0, 0, 0, 0x40};
  {
    Bytes payload = u32Huge;
    payload.insert(payload.end(), {1, 0, 0, 0, 2, 0, 0, 0});
    add("index count", "index count of 1073741824 cannot fit in the 8 bytes left in the chunk")
        .Raw(scenefile::ChunkType::IndexBuffer, 1, 0, payload);
  }
  {
    // One frame, all components, 2^30 vertices, one vertex's worth of bytes.
    Bytes payload{1, 0, 0, 0, 0x0D, 0, 0, 0, 0, 0, 0, 0, 0, 0x40};
    payload.resize(payload.size() + 40);
    add("vertex count", "vertex count of 1073741824 cannot fit in the 40 bytes left in the chunk")
        .Raw(scenefile::ChunkType::VertexBuffer, 1, 0, payload);
  }
  {
    // 2^32 - 1 frames of one vertex: the frame bytes would overflow 32 bits.
    Bytes payload{0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
    payload.resize(payload.size() + 24);
    add("frame count", "frame count of 4294967295 with 1 vertices cannot fit in the 24 bytes left")
        .Raw(scenefile::ChunkType::VertexBuffer, 1, 0, payload);
  }
  add("empty frames", "frame count of 100000 with 0 vertices cannot fit")
      .Raw(scenefile::ChunkType::VertexBuffer, 1, 0, {0xA0, 0x86, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  // No frames and 2^20 + 1 zeroed vertices, with no bytes to bound them.
  add("no frames", "vertex count of 1048577 without any frame is more than 1048576")
      .Raw(scenefile::ChunkType::VertexBuffer, 1, 0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0x10, 0});
  {
    scenefile::SceneWriter& w = add("sub-meshes", "sub-meshes runs past the end of the chunk (17000 bytes needed, 17 left)");
    w.Add(GroupAt(0, -1, "n"));
    scenefile::MeshChunk mesh;
    mesh.index = 1;
    mesh.subMeshes.resize(1);
    scenefile::SceneWriter one;
    one.Add(mesh);
    Bytes payload(one.Bytes().begin() + 12, one.Bytes().end());
    // The count sits after node (4), name (2), two buffers (8).
    payload[14] = 0xE8;
    payload[15] = 0x03;
    w.Raw(scenefile::ChunkType::Mesh, 1, 1, payload);
  }
  {
    scenefile::SceneWriter& w = add("string length", "name runs past the end of the chunk (65535 bytes needed");
    Bytes payload{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'x'};
    w.Raw(scenefile::ChunkType::Group, 2, 0, payload);
  }
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    graph = std::make_unique<SceneGraph>(device);
    auto box = CatchFatal([&] { Load(c.file); });
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->caption, "Error");
    EXPECT_NE(box->text.find(c.message), std::string::npos) << box->text;
    EXPECT_EQ(box->text.rfind("Damaged scene file (scene in memory), chunk ", 0), 0u) << box->text;
  }
}

TEST_F(PSKSceneLoaderDamageTest, EmptyVertexBufferWithSeveralFramesIsSound) {
  scenefile::SceneWriter w;
  scenefile::VertexBufferChunk c;
  c.extraFrames = {{}, {}};
  w.Add(c);
  Load(w);
  ASSERT_NE(At<MultiVertexBuffer>(0), nullptr);
  EXPECT_EQ(At<MultiVertexBuffer>(0)->frames.size(), 3u);
}

TEST_F(PSKSceneLoaderDamageTest, LyingIndexCountEndsTheShow) {
  scenefile::SceneWriter w;
  w.Raw(scenefile::ChunkType::IndexBuffer, 1, 0, {0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0});
  EXPECT_EXIT(Load(w), testing::ExitedWithCode(0),
              LiterallyText("Error: Damaged scene file (scene in memory), chunk 0 (type 7) at "
                            "byte 0: index count of 4294967295 cannot fit in the 4 bytes left"));
}

TEST_F(PSKSceneLoaderDamageTest, ChunkPastTheEndOfTheFileEndsTheShow) {
  scenefile::SceneWriter w;
  w.Add(GroupAt(0, -1, "fine"));
  w.RawWithLength(scenefile::ChunkType::Group, 2, 1, 1000, {1, 2, 3});
  EXPECT_EXIT(Load(w), testing::ExitedWithCode(0),
              LiterallyText("declares 1000 payload bytes, but only 3 are left in the file"));
}

TEST_F(PSKSceneLoaderDamageTest, UnknownChunkTypeEndsTheShow) {
  scenefile::SceneWriter w;
  w.Add(GroupAt(0, -1, "fine"));
  w.Raw(14, 1, 1, {});
  EXPECT_EXIT(Load(w), testing::ExitedWithCode(0), "Error: Unknown chunk in file!");
  scenefile::SceneWriter zero;
  zero.Raw(0, 1, 0, {});
  auto box = CatchFatal([&] { Load(zero); });
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, "Unknown chunk in file!");
}

scenefile::SceneWriter MeshOn(std::uint32_t nodeIndex, bool nodeFirst, bool nodeIsMaterial) {
  scenefile::SceneWriter w;
  scenefile::MeshChunk mesh;
  mesh.index = 1;
  mesh.node = nodeIndex;
  if (nodeIsMaterial) {
    w.Add(scenefile::MaterialChunk{});
  } else if (nodeFirst) {
    w.Add(GroupAt(0, -1, "n"));
  }
  w.Add(mesh);
  if (!nodeFirst && !nodeIsMaterial) w.Add(GroupAt(0, -1, "n"));
  return w;
}

TEST_F(PSKSceneLoaderDamageTest, AtOnceReferenceMustNameAnEarlierObjectOfItsKind) {
  Load(MeshOn(0, true, false));
  ASSERT_NE(At<Mesh>(1), nullptr);
  EXPECT_EQ(At<Mesh>(1)->group, At<Group>(0));

  graph = std::make_unique<SceneGraph>(device);
  auto later = CatchFatal([&] { Load(MeshOn(0, false, false)); });
  ASSERT_TRUE(later.has_value());
  EXPECT_EQ(later->text,
            "Damaged scene file (scene in memory), chunk 0 (type 3) at byte 0: the mesh's node "
            "names object 0, which no earlier chunk defines");

  graph = std::make_unique<SceneGraph>(device);
  auto none = CatchFatal([&] { Load(MeshOn(kNone, true, false)); });
  ASSERT_TRUE(none.has_value());
  EXPECT_NE(none->text.find("names object 4294967295, which no earlier chunk defines"),
            std::string::npos);
}

TEST_F(PSKSceneLoaderDamageTest, AtOnceReferenceToTheWrongKindEndsTheShow) {
  EXPECT_EXIT(Load(MeshOn(0, true, true)), testing::ExitedWithCode(0),
              LiterallyText("Error: Damaged scene file (scene in memory), chunk 1 (type 3) at "
                            "byte 61: the mesh's node names object 0, which is not a node"));
}

TEST_F(PSKSceneLoaderDamageTest, MissingReferenceEndsTheShow) {
  EXPECT_EXIT(Load(MeshOn(3, true, false)), testing::ExitedWithCode(0),
              "names object 3, which no earlier chunk defines");
}

TEST_F(PSKSceneLoaderDamageTest, NodeAmongItsOwnParentsIsRefused) {
  scenefile::SceneWriter w;
  w.Add(GroupAt(0, -1, "root"));
  w.Add(GroupAt(1, 2, "a"));
  w.Add(GroupAt(2, 3, "b"));
  w.Add(GroupAt(3, 1, "c"));
  auto box = CatchFatal([&] { Load(w); });
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text.rfind("Damaged scene file (scene in memory): node '", 0), 0u) << box->text;
  EXPECT_NE(box->text.find("is among its own parents"), std::string::npos);

  graph = std::make_unique<SceneGraph>(device);
  scenefile::SceneWriter self;
  self.Add(GroupAt(0, 0, "self"));
  EXPECT_EXIT(Load(self), testing::ExitedWithCode(0),
              LiterallyText("node 'self' (scene id 1) is among its own parents"));
}

TEST_F(PSKSceneLoaderDamageTest, LongParentChainIsNoCycle) {
  scenefile::SceneWriter w;
  w.Add(GroupAt(0, -1, "root"));
  for (std::uint32_t i = 1; i < 2000; ++i)
    w.Add(GroupAt(i, static_cast<std::int32_t>(i - 1), "n"));
  EXPECT_EQ(CatchFatal([&] { Load(w); }), std::nullopt);
}

}  // namespace
