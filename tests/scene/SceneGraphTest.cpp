// The scene graph: ids and lookups, the active camera, controllers, the frame's
// render order over the root only, preparation (once, shadow flags, links, the
// first transform pass, the pipelines) and the order of destruction.
#include <memory>
#include <string>
#include <vector>

#include "SceneModelFixture.h"
#include "scene/Camera.h"
#include "scene/DefaultProcessor.h"
#include "scene/Light.h"
#include "scene/StateCache.h"

namespace {

using Log = std::vector<std::string>;

// A pipeline that logs each call of the frame and what it was handed.
class LoggingProcessor : public Processor {
 public:
  LoggingProcessor(std::int32_t id, SceneGraph* graph, Log* log, std::string tag)
      : Processor(id, graph), log(log), tag(std::move(tag)) {}
  void BeginFrame() override { log->push_back(tag + " begin"); }
  void ClearLists() override { log->push_back(tag + " clear"); }
  void CollectNode(Group* group) override { log->push_back(tag + " " + group->name); }
  void Draw() override { log->push_back(tag + " draw"); }
  Log* log;
  std::string tag;
};

class LoggingController : public Controller {
 public:
  LoggingController(Log* log, std::string tag) : log(log), tag(std::move(tag)) {}
  ~LoggingController() override { log->push_back("~" + tag); }
  void Evaluate(float time) override { log->push_back(tag + " " + std::to_string(int(time))); }
  Log* log;
  std::string tag;
};

// An object that notes its destruction and whether the state cache still existed.
class LoggingObject : public Base {
 public:
  LoggingObject(std::int32_t id, SceneGraph* graph, Log* log) : Base(id, graph), log(log) {}
  ~LoggingObject() override {
    log->push_back("~object " + std::to_string(id) + (graph->cache ? " cache" : " no cache"));
  }
  Log* log;
};

// The log outlives the graph, whose teardown may still write to it.
class SceneGraphTest : public SceneModelTest {
 protected:
  Log log;
};

TEST_F(SceneGraphTest, IdsCountFromZeroAndLookupsFindTheFirstMatch) {
  EXPECT_EQ(graph->NextId(), 0);
  EXPECT_EQ(graph->NextId(), 1);
  Base* first = graph->Create<Processor>(7);
  graph->Create<Processor>(7);
  Base* odd = graph->Create<Processor>(-1);
  EXPECT_EQ(graph->FindObject(7), first);
  EXPECT_EQ(graph->FindObject(8), nullptr);
  // -1 means "none" even when an object carries it.
  EXPECT_EQ(graph->FindObject(-1), nullptr);
  EXPECT_NE(odd, nullptr);
  EXPECT_EQ(first->graph, graph.get());
  EXPECT_EQ(first->cache, graph->cache.get());
}

TEST_F(SceneGraphTest, ActiveCameraIsChosenByExactName) {
  Camera* front = Node<Camera>("Front");
  Camera* side = Node<Camera>("Side");
  front->Link();
  side->Link();
  ASSERT_EQ(graph->activeCamera, front);
  graph->SetActiveCameraByName("Side");
  EXPECT_EQ(graph->activeCamera, side);
  EXPECT_FALSE(front->active);
  graph->SetActiveCameraByName("front");  // case matters
  graph->SetActiveCameraByName("Nowhere");
  graph->SetActiveCameraByName(nullptr);
  EXPECT_EQ(graph->activeCamera, side);
  EXPECT_TRUE(side->active);
}

TEST_F(SceneGraphTest, SetTimeDrivesEveryControllerInOrder) {
  graph->AddController(std::make_unique<LoggingController>(&log, "a"));
  graph->AddController(std::make_unique<LoggingController>(&log, "b"));
  graph->SetTime(1250.0f);
  EXPECT_TRUE(log == (Log{"a 1250", "b 1250"}));
}

TEST_F(SceneGraphTest, RenderRefreshesTheCameraAndWalksOnlyTheRootPerPipeline) {
  Camera* camera = Node<Camera>("camera");
  camera->transform.rotation = AxisRotation(1, 0, 0, -1.570795f);  // looking along +z
  Group* earlier = Node<Group>("earlier");
  earlier->transform.position = D3DXVECTOR3(0, 0, 10);
  Group* root = Node<Group>("root");
  root->transform.position = D3DXVECTOR3(0, 0, 10);
  Group* child = Node<Group>("child", root->id);
  for (auto& object : graph->objects) object->Link();
  graph->root = root;  // two top-level nodes: the last one read is the root
  root->Update(true);
  earlier->Update(true);
  graph->processors.push_back(graph->Create<LoggingProcessor>(graph->NextId(), &log, "p"));
  graph->processors.push_back(graph->Create<LoggingProcessor>(graph->NextId(), &log, "q"));
  graph->cache->glowPass = 1;
  D3DMATRIX stale{};
  device->SetTransform(D3DTS_VIEW, &stale);

  graph->Render();
  EXPECT_EQ(graph->cache->glowPass, 0);
  EXPECT_TRUE(log == (Log{"p begin", "q begin", "p clear", "p root", "p child", "p draw", "q clear",
                          "q root", "q child", "q draw"}));
  EXPECT_MATRIX_NEAR(DeviceTransform(D3DTS_VIEW), camera->view, 0.0f);
  EXPECT_NE(child, nullptr);
}

TEST_F(SceneGraphTest, SceneWithoutCameraDrawsNothingOfItself) {
  Group* root = Node<Group>("root");
  graph->root = root;
  graph->processors.push_back(graph->Create<LoggingProcessor>(graph->NextId(), &log, "p"));
  graph->Render();
  EXPECT_TRUE(log.empty());
}

TEST_F(SceneGraphTest, DestructionDeletesObjectsInOrderThenControllersThenTheCache) {
  graph->Create<LoggingObject>(graph->NextId(), &log);
  graph->AddController(std::make_unique<LoggingController>(&log, "controller"));
  graph->Create<LoggingObject>(graph->NextId(), &log);
  Camera* camera = Node<Camera>("camera");
  camera->Link();
  graph.reset();
  EXPECT_TRUE(log == (Log{"~object 0 cache", "~object 1 cache", "~controller"}));
}

// Preparation creates the real pipelines.
TEST_F(SceneGraphTest, PrepareLinksUpdatesAndAddsThePipelinesOnce) {
  Group* child = Node<Group>("child", 2);  // its parent is read later
  child->transform.position = D3DXVECTOR3(0, 1, 0);
  Light* light = Node<Light>("light", 2);
  light->deviceLight.Type = D3DLIGHT_POINT;
  light->deviceLight.Range = 10;
  Group* root = Node<Group>("root");
  root->transform.position = D3DXVECTOR3(5, 0, 0);
  Group* skybox = Node<Group>("skybox");
  skybox->transform.position = D3DXVECTOR3(0, 0, 9);
  graph->root = root;
  graph->skybox = skybox;
  const std::size_t registered = graph->objects.size();

  graph->Prepare();
  EXPECT_TRUE(graph->prepared);
  EXPECT_TRUE(root->children == (std::vector<Group*>{child, light}));
  EXPECT_FLOAT_EQ(child->worldMatrix._41, 5.0f);  // the first transform pass
  EXPECT_FLOAT_EQ(child->worldMatrix._42, 1.0f);
  EXPECT_FLOAT_EQ(skybox->worldMatrix._43, 9.0f);
  EXPECT_EQ(light->lightIndex, 0);  // lit by the first pass
  EXPECT_TRUE(graph->lights == (std::vector<Light*>{light}));
  ASSERT_EQ(graph->processors.size(), 2u);
  EXPECT_EQ(graph->processors[0], static_cast<Processor*>(graph->defaultProcessor));
  EXPECT_EQ(graph->objects.size(), registered + 2);
  EXPECT_EQ(graph->processors[1]->id, graph->processors[0]->id + 1);

  graph->Prepare();
  EXPECT_EQ(graph->processors.size(), 2u);
  EXPECT_EQ(graph->objects.size(), registered + 2);
  EXPECT_EQ(root->children.size(), 2u);  // not linked twice

  // A prepared scene without a camera still renders without drawing or crashing.
  graph->Render();
}

TEST_F(SceneGraphTest, ShadowsNeedBothNodeFlagsAndAShadowLight) {
  graph->cache->hasShadowFlag1 = 1;
  graph->cache->hasShadowLight = 1;
  graph->Prepare();
  EXPECT_EQ(graph->cache->shadowsEnabled, 0);

  SceneGraph other(device);
  other.cache->hasShadowFlag1 = 1;
  other.cache->hasShadowFlag2 = 1;
  other.cache->hasShadowLight = 1;
  other.Prepare();
  EXPECT_NE(other.cache->shadowsEnabled, 0);
}

}  // namespace
