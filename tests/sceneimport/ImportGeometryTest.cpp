// Axes, hierarchy, camera framing, winding, vertex joining and splitting of
// imported glTF scenes, checked with the player's own matrix library.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "sceneimport/ImportTestSupport.h"
#include "sceneimport/PlayerView.h"

namespace {

constexpr float kAspect = 4.0f / 3.0f;

// glTF's own projection of a world point for a camera at `eye` at rest.
std::array<float, 2> GltfScreen(std::array<float, 3> p, std::array<float, 3> eye, float yfov) {
  float x = p[0] - eye[0], y = p[1] - eye[1], z = p[2] - eye[2];
  float t = std::tan(yfov / 2);
  float nx = x / -z / (t * kAspect), ny = y / -z / t;
  return {(nx + 1) / 2 * 1024, (1 - ny) / 2 * 768};
}

TestGltf BoxScene(const std::string& boxNode, float yfov) {
  TestGltf g;
  CubeData cube = Cube(1);
  int pos = g.Floats(cube.positions, "VEC3", true);
  int idx = g.Indices(cube.indices);
  g.meshes.push_back(MeshJson(pos, idx));
  g.cameras.push_back("{\"type\":\"perspective\",\"perspective\":{\"yfov\":" + std::to_string(yfov) +
                      ",\"aspectRatio\":1.3333333,\"znear\":0.5,\"zfar\":50}}");
  g.nodes.push_back("{\"name\":\"eye\",\"camera\":0,\"translation\":[0,0,6]}");
  g.nodes.push_back(boxNode);
  return g;
}

struct Rect {
  float left = 1e9f, top = 1e9f, right = -1e9f, bottom = -1e9f;
  void Add(float x, float y) {
    left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
  }
};

Rect PlayerRect(const SceneFile& file, const std::string& node) {
  Rect r;
  const ReadNode* camera = file.Node("eye");
  for (const ReadMesh* mesh : file.MeshesOf(file.Node(node)->index))
    for (const auto& v : file.vertexBuffers.at(mesh->vertexBuffer).vertices) {
      ScreenPoint s = Project(file, *camera, *file.Node(node), v.position);
      r.Add(s.x, s.y);
    }
  return r;
}

TEST(ImportGeometry, NodesKeepTheirHierarchyAndTransformsInSceneAxes) {
  TempDir dir;
  TestGltf g;
  g.nodes.push_back("{\"name\":\"parent\",\"translation\":[1,2,3],\"rotation\":[0,0.7071068,0,0.7071068],"
                    "\"scale\":[1,2,3],\"children\":[1]}");
  g.nodes.push_back("{\"name\":\"child\",\"matrix\":[1,0,0,0, 0,1,0,0, 0,0,1,0, 4,5,6,1]}");
  g.sceneNodes = {0};
  AddDrawable(g);
  ImportResult r = Import(dir, g);
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_TRUE(r.file.valid) << r.file.problem;
  const ReadNode* root = r.file.Node("root");
  const ReadNode* parent = r.file.Node("parent");
  const ReadNode* child = r.file.Node("child");
  ASSERT_TRUE(root && parent && child);
  EXPECT_EQ(root->parent, -1);
  EXPECT_EQ(parent->parent, static_cast<std::int32_t>(root->index));
  EXPECT_EQ(child->parent, static_cast<std::int32_t>(parent->index));
  // y and z trade places; the parent's scale moves into the child's position.
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(parent->position[k], (std::array<float, 3>{1, 3, 2})[k], 1e-5);
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(parent->scale[k], 1, 1e-5);
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(child->position[k], (std::array<float, 3>{4, 18, 10})[k], 1e-4);
  // The child's origin lands where glTF puts it, axes traded: the parent turns a
  // quarter about +y (x -> -z): parent + R(S(4, 5, 6)).
  D3DXMATRIX world = WorldMatrix(r.file, *child);
  D3DXVECTOR3 local(0, 0, 0), out;
  D3DXVec3TransformCoord(&out, &local, &world);
  // glTF: child origin (4,5,6) scaled (4,10,18), turned about y: (18, 10, -4), moved: (19, 12, -1).
  EXPECT_NEAR(out.x, 19, 1e-4);
  EXPECT_NEAR(out.y, -1, 1e-4);
  EXPECT_NEAR(out.z, 12, 1e-4);
}

TEST(ImportGeometry, CameraAtRestSeesTheBoxWhereTheGltfCameraSeesIt) {
  TempDir dir;
  const float yfov = 0.8f;
  TestGltf g = BoxScene("{\"name\":\"box\",\"mesh\":0,\"translation\":[1.5,0.5,0]}", yfov);
  ImportResult r = Import(dir, g);
  ASSERT_EQ(r.status, 0) << r.err;
  const ReadNode* eye = r.file.Node("eye");
  ASSERT_TRUE(eye);
  EXPECT_EQ(eye->type, 4);
  EXPECT_EQ(eye->rotation, (std::array<float, 4>{0, 0, 0, 1}));  // at rest stays at rest
  EXPECT_FLOAT_EQ(eye->fov, yfov);
  EXPECT_FLOAT_EQ(eye->nearClip, 0.5f);
  EXPECT_FLOAT_EQ(eye->farClip, 50);
  // glTF's rectangle: the box's eight corners through glTF's projection.
  Rect expected;
  for (float x : {0.5f, 2.5f})
    for (float y : {-0.5f, 1.5f})
      for (float z : {-1.0f, 1.0f}) {
        auto s = GltfScreen({x, y, z}, {0, 0, 6}, yfov);
        expected.Add(s[0], s[1]);
      }
  Rect actual = PlayerRect(r.file, "box");
  EXPECT_NEAR(actual.left, expected.left, 0.5);
  EXPECT_NEAR(actual.right, expected.right, 0.5);
  EXPECT_NEAR(actual.top, expected.top, 0.5);
  EXPECT_NEAR(actual.bottom, expected.bottom, 0.5);
  EXPECT_GT(actual.left, 512);  // right of centre, not mirrored
  EXPECT_LT(actual.top, 384);   // above centre
}

TEST(ImportGeometry, TurnedCameraLooksWhereTheGltfCameraLooks) {
  TempDir dir;
  // A quarter turn about +y: the glTF camera then looks along -x.
  TestGltf g = BoxScene("{\"name\":\"box\",\"mesh\":0,\"translation\":[-6,0.5,0]}", 0.8f);
  g.nodes[0] = "{\"name\":\"eye\",\"camera\":0,\"rotation\":[0,0.7071068,0,0.7071068]}";
  ImportResult r = Import(dir, g);
  ASSERT_EQ(r.status, 0) << r.err;
  Rect actual = PlayerRect(r.file, "box");
  // Box centre straight ahead horizontally, a little above.
  EXPECT_NEAR((actual.left + actual.right) / 2, 512, 1.0);
  EXPECT_LT(actual.top, 384);
  EXPECT_GT(actual.bottom, 384);
}

// Centroids (scene world) of the triangles the player draws: clockwise on screen
// survives the player's counter-clockwise culling.
std::vector<std::array<float, 3>> PlayerFrontFaces(const SceneFile& file, const ReadNode& node, bool* outward) {
  std::vector<std::array<float, 3>> out;
  const ReadNode* camera = file.Node("eye");
  D3DXMATRIX world = WorldMatrix(file, node), inverse, normalMatrix;
  D3DXMatrixInverse(&inverse, nullptr, &world);
  D3DXMatrixTranspose(&normalMatrix, &inverse);
  D3DXVECTOR3 centre(0, 0, 0), worldCentre;
  D3DXVec3TransformCoord(&worldCentre, &centre, &world);
  for (const ReadMesh* mesh : file.MeshesOf(node.index)) {
    const auto& vb = file.vertexBuffers.at(mesh->vertexBuffer).vertices;
    const auto& ib = file.indexBuffers.at(mesh->indexBuffer);
    for (std::size_t t = 0; t + 2 < ib.size(); t += 3) {
      ScreenPoint s[3];
      D3DXVECTOR3 w[3];
      for (int k = 0; k < 3; ++k) {
        const auto& p = vb[ib[t + k]].position;
        s[k] = Project(file, *camera, node, p);
        D3DXVECTOR3 local(p[0], p[1], p[2]);
        D3DXVec3TransformCoord(&w[k], &local, &world);
      }
      // The face normal the player computes in the mesh's own space, taken to the world.
      const auto& a = vb[ib[t]].position;
      const auto& b = vb[ib[t + 1]].position;
      const auto& c = vb[ib[t + 2]].position;
      D3DXVECTOR3 e1(b[0] - a[0], b[1] - a[1], b[2] - a[2]), e2(c[0] - a[0], c[1] - a[1], c[2] - a[2]), n, wn;
      D3DXVec3Cross(&n, &e1, &e2);
      D3DXVec3TransformNormal(&wn, &n, &normalMatrix);
      D3DXVECTOR3 mid = (w[0] + w[1] + w[2]) / 3.0f, away = mid - worldCentre;
      if (D3DXVec3Dot(&wn, &away) <= 0) *outward = false;
      float area = (s[1].x - s[0].x) * (s[2].y - s[0].y) - (s[2].x - s[0].x) * (s[1].y - s[0].y);
      if (area > 0) out.push_back({mid.x, mid.y, mid.z});
    }
  }
  std::sort(out.begin(), out.end());
  return out;
}

// The same for glTF: counter-clockwise on screen is front, clockwise under a mirror.
std::vector<std::array<float, 3>> GltfFrontFaces(float mirrorX, std::array<float, 3> offset) {
  std::vector<std::array<float, 3>> out;
  CubeData cube = Cube(1);
  for (std::size_t t = 0; t < cube.indices.size(); t += 3) {
    std::array<float, 3> w[3];
    std::array<float, 2> s[3];
    for (int k = 0; k < 3; ++k) {
      const float* p = &cube.positions[cube.indices[t + k] * 3];
      w[k] = {p[0] * mirrorX + offset[0], p[1] + offset[1], p[2] + offset[2]};
      s[k] = GltfScreen(w[k], {0, 0, 6}, 0.8f);
    }
    float area = (s[1][0] - s[0][0]) * (s[2][1] - s[0][1]) - (s[2][0] - s[0][0]) * (s[1][1] - s[0][1]);
    bool front = mirrorX > 0 ? area < 0 : area > 0;  // y down: negative area is counter-clockwise
    std::array<float, 3> mid{};
    for (int a = 0; a < 3; ++a) mid[a] = (w[0][a] + w[1][a] + w[2][a]) / 3;
    if (front) out.push_back({mid[0], mid[2], mid[1]});  // to scene axes
  }
  std::sort(out.begin(), out.end());
  return out;
}

void ExpectSameFaces(const std::vector<std::array<float, 3>>& a, const std::vector<std::array<float, 3>>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i)
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(a[i][k], b[i][k], 1e-4) << "face " << i;
}

TEST(ImportGeometry, FrontFacesStayFrontFacingAlsoUnderAMirroringNode) {
  for (float mirror : {1.0f, -1.0f}) {
    SCOPED_TRACE(mirror);
    TempDir dir;
    TestGltf g = BoxScene("{\"name\":\"box\",\"mesh\":0,\"translation\":[1.5,0.5,0],\"scale\":[" +
                              std::to_string(mirror) + ",1,1]}",
                          0.8f);
    ImportResult r = Import(dir, g);
    ASSERT_EQ(r.status, 0) << r.err;
    const ReadNode* carrier = r.file.Node("box");
    ASSERT_TRUE(carrier);
    bool outward = true;
    auto player = PlayerFrontFaces(r.file, *carrier, &outward);
    EXPECT_EQ(player.size(), 4u);  // the front and the inner side face
    ExpectSameFaces(player, GltfFrontFaces(mirror, {1.5f, 0.5f, 0}));
    EXPECT_TRUE(outward) << "the recomputed normals must point out of the box";
  }
}

TEST(ImportGeometry, IdenticalVerticesAreJoinedAndDistinctOnesKept) {
  TempDir dir;
  TestGltf g;
  // Two unindexed triangles sharing an edge (same normals): 6 corners, 4 vertices.
  std::vector<float> pos = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 0, 0, 1, 1, 0, 0, 1, 0};
  std::vector<float> nrm(18, 0);
  for (std::size_t i = 2; i < 18; i += 3) nrm[i] = 1;
  int p = g.Floats(pos, "VEC3", true);
  int n = g.Floats(nrm, "VEC3");
  g.meshes.push_back(MeshJson(p, -1, -1, ",\"NORMAL\":" + std::to_string(n)));
  // The same without normals: glTF asks for flat faces, so nothing is shared.
  g.meshes.push_back(MeshJson(p, -1));
  g.nodes.push_back("{\"name\":\"smooth\",\"mesh\":0}");
  g.nodes.push_back("{\"name\":\"flat\",\"mesh\":1}");
  ImportResult r = Import(dir, g);
  ASSERT_EQ(r.status, 0) << r.err;
  auto smooth = r.file.MeshesOf(r.file.Node("smooth")->index);
  auto flat = r.file.MeshesOf(r.file.Node("flat")->index);
  ASSERT_EQ(smooth.size(), 1u);
  ASSERT_EQ(flat.size(), 1u);
  EXPECT_EQ(r.file.vertexBuffers.at(smooth[0]->vertexBuffer).vertices.size(), 4u);
  EXPECT_EQ(r.file.indexBuffers.at(smooth[0]->indexBuffer).size(), 6u);
  EXPECT_EQ(r.file.vertexBuffers.at(flat[0]->vertexBuffer).vertices.size(), 6u);
  EXPECT_TRUE(r.report.Mentions("drawn flat"));
}

TEST(ImportGeometry, MeshOfSeventyThousandVerticesIsSplitIntoSixteenBitParts) {
  TempDir dir;
  TestGltf g;
  // 70,002 distinct vertices in separate triangles, two materials.
  const std::uint32_t triangles = 23334;
  std::vector<float> pos;
  std::vector<std::uint32_t> idx;
  for (std::uint32_t t = 0; t < triangles; ++t) {
    float x = static_cast<float>(t % 200), y = static_cast<float>(t / 200);
    pos.insert(pos.end(), {x, y, 0, x + 0.5f, y, 0, x, y + 0.5f, 0});
    idx.insert(idx.end(), {3 * t, 3 * t + 1, 3 * t + 2});
  }
  std::vector<float> nrm(pos.size(), 0);
  for (std::size_t i = 2; i < nrm.size(); i += 3) nrm[i] = 1;
  int p = g.Floats(pos, "VEC3", true);
  int n = g.Floats(nrm, "VEC3");
  int half = g.Indices(std::vector<std::uint32_t>(idx.begin(), idx.begin() + idx.size() / 2));
  int rest = g.Indices(std::vector<std::uint32_t>(idx.begin() + idx.size() / 2, idx.end()));
  g.materials = {"{\"name\":\"a\"}", "{\"name\":\"b\"}"};
  std::string attrs = "{\"POSITION\":" + std::to_string(p) + ",\"NORMAL\":" + std::to_string(n) + "}";
  g.meshes.push_back("{\"primitives\":[{\"attributes\":" + attrs + ",\"indices\":" + std::to_string(half) +
                     ",\"material\":0},{\"attributes\":" + attrs + ",\"indices\":" + std::to_string(rest) +
                     ",\"material\":1}]}");
  g.nodes.push_back("{\"name\":\"big\",\"mesh\":0}");
  ImportResult r = Import(dir, g);
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_TRUE(r.file.valid) << r.file.problem;
  ASSERT_EQ(r.file.meshes.size(), 2u);
  std::size_t totalTriangles = 0, totalVertices = 0;
  for (const auto& mesh : r.file.meshes) {
    const auto& vb = r.file.vertexBuffers.at(mesh.vertexBuffer);
    const auto& ib = r.file.indexBuffers.at(mesh.indexBuffer);
    EXPECT_LE(vb.vertices.size(), 65535u);
    for (std::uint32_t i : ib) ASSERT_LT(i, vb.vertices.size());
    std::uint32_t covered = 0;
    for (const auto& s : mesh.subMeshes) {
      EXPECT_EQ(s.startIndex, covered);
      covered += s.indexCount;
    }
    EXPECT_EQ(covered, ib.size());
    totalTriangles += ib.size() / 3;
    totalVertices += vb.vertices.size();
    // The extra part hangs under the node with an identity transform.
    const ReadNode* carrier = r.file.NodeByIndex(mesh.node);
    ASSERT_TRUE(carrier);
    EXPECT_EQ(carrier->position, (std::array<float, 3>{0, 0, 0}));
  }
  EXPECT_EQ(totalTriangles, triangles);
  EXPECT_EQ(totalVertices, triangles * 3);
  // Both materials appear, the part boundary falls inside the second one.
  EXPECT_EQ(r.file.meshes[0].subMeshes.size(), 2u);
  EXPECT_EQ(r.file.meshes[1].subMeshes.size(), 1u);
}

}  // namespace
