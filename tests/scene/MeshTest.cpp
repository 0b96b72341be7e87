// Meshes and buffers: adjacency, face and smooth vertex normals (stored normals
// replaced, unused vertices zero), ComputeRadius's truncated sum of squares, the
// upload of both buffers at link time, and the fatal ends for damaged references.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "scene/SceneRenderSupport.h"
#include "support/HResult.h"

namespace {

class MeshTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(scene.ok()); }
  VertexBuffer* Vertices(const std::vector<D3DXVECTOR3>& positions) {
    VertexBuffer* buffer =
        scene.graph->Create<VertexBuffer>(scene.graph->NextId(), std::uint32_t(positions.size()));
    for (std::size_t i = 0; i < positions.size(); ++i) {
      std::memcpy(buffer->vertices[i].position, &positions[i], 12);
      buffer->vertices[i].normal[0] = 9;  // what the file said; never kept
    }
    return buffer;
  }
  IndexBuffer* Indices(const std::vector<std::uint16_t>& indices) {
    IndexBuffer* buffer = scene.graph->Create<IndexBuffer>(scene.graph->NextId());
    buffer->indices = indices;
    buffer->triangleCount = std::uint32_t(indices.size() / 3);
    return buffer;
  }
  static D3DXVECTOR3 Normal(const VertexBuffer& buffer, int vertex) {
    const float* n = buffer.vertices[vertex].normal;
    return {n[0], n[1], n[2]};
  }
  static void ExpectVector(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-6f);
    EXPECT_NEAR(actual.y, expected.y, 1e-6f);
    EXPECT_NEAR(actual.z, expected.z, 1e-6f);
  }

  HeadlessScene scene;
};

TEST_F(MeshTest, VerticesOfASharedEdgeGetTheNormalisedSumOfBothFaces) {
  // Two triangles folded along the edge 1-2 (the z axis): one in the plane y = 0, one
  // in the plane x = 0; vertex 4 is used by none.
  VertexBuffer* buffer = Vertices({{1, 0, 0}, {0, 0, 0}, {0, 0, 1}, {0, 1, 0}, {5, 5, 5}});
  IndexBuffer* indices = Indices({0, 1, 2, 1, 3, 2});
  buffer->BuildAdjacency(*indices);
  buffer->ComputeFaceNormals();
  buffer->ComputeVertexNormals();
  // (p1 - p0) x (p2 - p0): (-1, 0, 0) x (-1, 0, 1) = (0, 1, 0); (0, 1, 0) x (0, 0, 1) = (1, 0, 0).
  ExpectVector(buffer->triangles[0].normal, {0, 1, 0});
  ExpectVector(buffer->triangles[1].normal, {1, 0, 0});
  const float half = std::sqrt(0.5f);
  ExpectVector(Normal(*buffer, 1), {half, half, 0});
  ExpectVector(Normal(*buffer, 2), {half, half, 0});
  ExpectVector(Normal(*buffer, 0), {0, 1, 0});
  ExpectVector(Normal(*buffer, 3), {1, 0, 0});
  ExpectVector(Normal(*buffer, 4), {0, 0, 0});  // no triangle: zero, not NaN
  ExpectVector(buffer->vertexNormals[1], {half, half, 0});
  // Per vertex, the triangles that use it, in triangle order.
  auto uses = [&](std::uint32_t v) {
    return std::vector<std::uint32_t>(buffer->adjacencyTriangles.begin() + buffer->adjacencyStart[v],
                                      buffer->adjacencyTriangles.begin() + buffer->adjacencyStart[v + 1]);
  };
  EXPECT_EQ(uses(1), (std::vector<std::uint32_t>{0, 1}));
  EXPECT_EQ(uses(3), (std::vector<std::uint32_t>{1}));
  EXPECT_TRUE(uses(4).empty());
}

TEST_F(MeshTest, ADegenerateTriangleAddsNothingToItsVertices) {
  VertexBuffer* buffer = Vertices({{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {2, 0, 0}});
  IndexBuffer* indices = Indices({0, 2, 1, 0, 1, 3});  // the second lies on a line
  buffer->BuildAdjacency(*indices);
  buffer->ComputeFaceNormals();
  buffer->ComputeVertexNormals();
  ExpectVector(buffer->triangles[1].normal, {0, 0, 0});
  ExpectVector(Normal(*buffer, 3), {0, 0, 0});
  ExpectVector(Normal(*buffer, 0), {0, 1, 0});  // (0, 0, 1) x (1, 0, 0), the first face alone
}

TEST_F(MeshTest, RadiusIsTheSumOfSquaredTruncatedExtremes) {
  auto cube = [&](float h) {
    std::vector<D3DXVECTOR3> corners;
    for (int i = 0; i < 8; ++i) corners.push_back({i & 1 ? h : -h, i & 2 ? h : -h, i & 4 ? h : -h});
    return Vertices(corners);
  };
  EXPECT_EQ(cube(0.5f)->ComputeRadius(), 0.0f);
  EXPECT_EQ(cube(10)->ComputeRadius(), 300.0f);
  // Truncation toward zero per axis, the largest magnitude each: 1, 2, 0 -> 5.
  EXPECT_EQ(Vertices({{1.9f, -0.2f, 0.99f}, {-1.2f, -2.7f, -0.5f}})->ComputeRadius(), 5.0f);
  EXPECT_EQ(Vertices({})->ComputeRadius(), 0.0f);
}

TEST_F(MeshTest, AMultiBufferMeasuresEveryFrameButNotItsVertices) {
  MultiVertexBuffer* buffer = scene.graph->Create<MultiVertexBuffer>(scene.graph->NextId(), 2u);
  buffer->vertices[0].position[0] = 50;  // frame 0 as the file also stores it: not used
  buffer->frames = {{{{1, 0, 0}}, {{0, 0, 0}}}, {{{0, 0, 0}}, {{0, -3.5f, 2}}}};
  EXPECT_EQ(buffer->ComputeRadius(), 1.0f + 9.0f + 4.0f);
  buffer->frames.clear();
  EXPECT_EQ(buffer->ComputeRadius(), 0.0f);
}

TEST_F(MeshTest, LinkUploadsBothBuffersWithFreshNormalsAndStoresTheRadius) {
  Group* node = scene.Quad(scene.Root(), scene.ColorMaterial({1, 1, 1, 1}), -10, -10, 10, 10, 2.5f);
  Mesh* mesh = node->mesh;
  mesh->Link();
  EXPECT_EQ(mesh->radiusSq, 100.0f + 4.0f + 100.0f);
  VertexBuffer& vertices = *mesh->vertexBuffer.Resolve();
  IndexBuffer& indices = *mesh->indexBuffer.Resolve();
  void* data = nullptr;
  ASSERT_HR(vertices.deviceBuffer->Lock(0, 0, &data, D3DLOCK_READONLY));
  EXPECT_EQ(std::memcmp(data, vertices.vertices.data(), 4 * 40), 0);
  const float* normal = static_cast<const SceneVertex*>(data)[3].normal;
  EXPECT_EQ(normal[1], 1.0f);  // the quad faces +y
  vertices.deviceBuffer->Unlock();
  ASSERT_HR(indices.deviceBuffer->Lock(0, 0, &data, D3DLOCK_READONLY));
  EXPECT_EQ(std::memcmp(data, indices.indices.data(), 12), 0);
  indices.deviceBuffer->Unlock();

  // The vertex controller's path: new positions, Upload, fresh normals.
  vertices.vertices[3].position[1] = 12.5f;
  vertices.Upload();
  EXPECT_LT(vertices.vertices[3].normal[1], 1.0f);
  EXPECT_GT(vertices.vertices[3].normal[1], 0.0f);
}

TEST_F(MeshTest, MeshesHaveNoControlFieldsAndASubMeshWithoutMaterialIsOpaque) {
  Group* node = scene.Quad(scene.Root(), nullptr, -1, -1, 1, 1);
  EXPECT_FALSE(node->mesh->subMeshes[0]->IsTransparent());
  Mesh* mesh = node->mesh;
  EXPECT_EXIT(mesh->GetControlField("VISTRACK"), ::testing::ExitedWithCode(0),
              "Error: Mesh: Invalid control field!");
}

using MeshDeathTest = MeshTest;

TEST_F(MeshDeathTest, AnIndexPastTheVerticesEndsTheShowNamingIt) {
  VertexBuffer* buffer = Vertices({{0, 0, 0}, {1, 0, 0}, {0, 0, 1}});
  IndexBuffer* indices = Indices({0, 1, 2, 2, 1, 3});
  EXPECT_EXIT(buffer->BuildAdjacency(*indices), ::testing::ExitedWithCode(0),
              "Error: Index buffer [0-9]+: index 3 at position 5 points past the 3 vertices of "
              "vertex buffer [0-9]+");
}

TEST_F(MeshDeathTest, FewerIndicesThanTrianglesEndTheShow) {
  VertexBuffer* buffer = Vertices({{0, 0, 0}, {1, 0, 0}, {0, 0, 1}});
  IndexBuffer* indices = Indices({0, 1, 2});
  indices->triangleCount = 2;
  EXPECT_EXIT(buffer->BuildAdjacency(*indices), ::testing::ExitedWithCode(0),
              "Error: Index buffer [0-9]+ holds 3 indices, fewer than its 2 triangles need");
}

TEST_F(MeshDeathTest, MissingOrMistypedBuffersEndTheShow) {
  Group* node = scene.Quad(scene.Root(), nullptr, -1, -1, 1, 1);
  Mesh* mesh = node->mesh;
  const std::int32_t vertices = mesh->vertexBuffer.id;
  mesh->vertexBuffer.Set(9999);
  EXPECT_EXIT(mesh->Link(), ::testing::ExitedWithCode(0),
              "Error: Mesh vertex buffer: scene object 9999 does not exist");
  mesh->vertexBuffer.Set(vertices);
  mesh->indexBuffer.Set(vertices);
  EXPECT_EXIT(mesh->Link(), ::testing::ExitedWithCode(0),
              "Error: Scene object [0-9]+ is used as a index buffer but is another kind of object");
}

TEST_F(MeshDeathTest, AnEmptyVertexBufferCannotBeCreated) {
  Group* node = scene.Node(scene.Root(), 0, 0, 0);
  scene.AttachMesh(node, Vertices({}), Indices({}), {});
  EXPECT_EXIT(node->mesh->Link(), ::testing::ExitedWithCode(0),
              "Error: Vertex buffer creation failed!");
}

}  // namespace
