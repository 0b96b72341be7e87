// Scene files nested under a node ("loader", "filename", "animoffset",
// "animscale", "looping"), the skybox key, and nesting that must be refused.
#include "SceneLoaderFixture.h"

namespace {

using PSKSceneLoaderNestedTest = SceneLoaderTest;

std::string NestText(const std::string& file, const std::string& more = "") {
  return "loader = 1\nfilename = " + file + "\n" + more;
}

// The loaders of the graph, in registration order.
std::vector<PSKSceneLoader*> Loaders(SceneGraph& graph) {
  std::vector<PSKSceneLoader*> found;
  for (auto& object : graph.objects)
    if (auto* l = dynamic_cast<PSKSceneLoader*>(object.get())) found.push_back(l);
  return found;
}

Group* Named(SceneGraph& graph, const std::string& name) {
  for (auto& object : graph.objects)
    if (auto* g = dynamic_cast<Group*>(object.get()); g && g->name == name) return g;
  return nullptr;
}

TEST_F(PSKSceneLoaderNestedTest, NestedFileGetsItsOffsetScaleAndLoopingFromTheNode) {
  TempDir dir;
  scenefile::SceneWriter inner;
  inner.Add(GroupAt(0, -1, "inner top"));
  inner.Add(GroupAt(1, 0, "inner child"));
  ASSERT_TRUE(inner.Save(dir.file("inner.psk")));
  scenefile::SceneWriter outer;
  outer.Add(GroupAt(0, -1, "outer top"));
  outer.Add(GroupAt(1, 0, "holder",
                    NestText(dir.file("inner.psk"), "animoffset = 100\nanimscale = 0\nlooping = 0\n")));
  outer.Add(GroupAt(2, 0, "after"));
  ASSERT_TRUE(outer.Save(dir.file("outer.psk")));

  PSKSceneLoader* top = graph->Create<PSKSceneLoader>(graph->NextId());
  top->LoadFile(dir.file("outer.psk").c_str(), -1, 50, 2, true);

  std::vector<PSKSceneLoader*> loaders = Loaders(*graph);
  ASSERT_EQ(loaders.size(), 2u);
  PSKSceneLoader* nested = loaders[1];
  Group* holder = Named(*graph, "holder");
  ASSERT_NE(holder, nullptr);
  // animoffset 100 on top of 50; animscale 0 counts as 1, times the outer 2.
  EXPECT_EQ(nested->timeOffset, 150);
  EXPECT_EQ(nested->timeScale, 2);
  EXPECT_FALSE(nested->looping);
  EXPECT_EQ(nested->parentId, holder->id);
  EXPECT_EQ(Named(*graph, "inner top")->parent.id, holder->id);
  EXPECT_EQ(Named(*graph, "inner child")->parent.id, Named(*graph, "inner top")->id);
  // The outer top stays the root; the nested loader ran before the outer's next chunk.
  EXPECT_EQ(graph->root, Named(*graph, "outer top"));
  EXPECT_EQ(nested->id, holder->id + 1);
  EXPECT_LT(Named(*graph, "inner child")->id, Named(*graph, "after")->id);
  // The outer loader's own settings are back for the rest of its file.
  EXPECT_EQ(top->timeOffset, 50);
  EXPECT_EQ(top->timeScale, 2);
}

TEST_F(PSKSceneLoaderNestedTest, ScaleMultipliesAndAnyNonZeroLoopingLoops) {
  TempDir dir;
  scenefile::SceneWriter inner;
  inner.Add(GroupAt(0, -1, "x"));
  ASSERT_TRUE(inner.Save(dir.file("inner.psk")));
  scenefile::SceneWriter outer;
  // "Loader" with an empty value still asks for the file; keys are any case.
  outer.Add(GroupAt(0, -1, "holder",
                    "Loader\nFileName = " + dir.file("inner.psk") +
                        "\nANIMSCALE = 3\nlooping = 5\n"));
  Load(outer.Bytes(), 7, 0.5f, false);
  std::vector<PSKSceneLoader*> loaders = Loaders(*graph);
  ASSERT_EQ(loaders.size(), 2u);
  EXPECT_EQ(loaders[1]->timeScale, 1.5f);
  EXPECT_EQ(loaders[1]->timeOffset, 7);
  EXPECT_TRUE(loaders[1]->looping);
}

TEST_F(PSKSceneLoaderNestedTest, NestedFilesKeepIndicesOfTheirOwn) {
  TempDir dir;
  scenefile::SceneWriter inner;
  inner.Add(GroupAt(0, -1, "inner zero"));
  ASSERT_TRUE(inner.Save(dir.file("inner.psk")));
  scenefile::SceneWriter outer;
  outer.Add(GroupAt(0, -1, "outer zero", NestText(dir.file("inner.psk"))));
  outer.Add(GroupAt(1, 0, "outer one"));
  Load(outer);
  EXPECT_EQ(At<Group>(0)->name, "outer zero");
  EXPECT_EQ(At<Group>(0, Loaders(*graph)[1])->name, "inner zero");
}

TEST_F(PSKSceneLoaderNestedTest, SkyboxNodeLeavesItsParent) {
  scenefile::SceneWriter w;
  w.Add(GroupAt(0, -1, "world"));
  w.Add(GroupAt(1, 0, "sky", "# a comment\nSkyBox\n"));
  w.Add(GroupAt(2, 0, "plain", "  #skybox\n"));  // not a comment, but another key
  Load(w);
  EXPECT_EQ(graph->skybox, At<Group>(1));
  EXPECT_EQ(At<Group>(1)->parent.id, -1);
  EXPECT_EQ(At<Group>(2)->parent.id, At<Group>(0)->id);
  EXPECT_EQ(graph->root, At<Group>(0));
}

TEST_F(PSKSceneLoaderNestedTest, MissingNestedFileEndsTheShow) {
  scenefile::SceneWriter w;
  w.Add(GroupAt(0, -1, "holder", NestText("/nonexistent/inner.psk")));
  EXPECT_EXIT(Load(w), testing::ExitedWithCode(0),
              LiterallyText("Error: Couldn't open file: /nonexistent/inner.psk"));
}

TEST_F(PSKSceneLoaderNestedTest, FileThatNestsItselfIsRefused) {
  TempDir dir;
  const std::string self = dir.file("self.psk");
  scenefile::SceneWriter w;
  w.Add(GroupAt(0, -1, "holder", NestText(self)));
  ASSERT_TRUE(w.Save(self));
  EXPECT_EXIT(
      {
        graph->Create<PSKSceneLoader>(graph->NextId())->LoadFile(self.c_str());
      },
      testing::ExitedWithCode(0),
      // The death test runs again in a child with a temporary folder of its own.
      "Error: Damaged scene file [^ ]*/self\\.psk: node 'holder' loads [^ ]*/self\\.psk, which is "
      "already being loaded around it");
}

TEST_F(PSKSceneLoaderNestedTest, FileNestedFurtherUpTheChainIsRefused) {
  TempDir dir;
  const std::string a = dir.file("a.psk"), b = dir.file("b.psk"), c = dir.file("c.psk");
  scenefile::SceneWriter wa, wb, wc;
  wa.Add(GroupAt(0, -1, "in a", NestText(b)));
  wb.Add(GroupAt(0, -1, "in b", NestText(c)));
  wc.Add(GroupAt(0, -1, "in c", NestText(a)));
  ASSERT_TRUE(wa.Save(a) && wb.Save(b) && wc.Save(c));
  auto box = CatchFatal([&] { graph->Create<PSKSceneLoader>(graph->NextId())->LoadFile(a.c_str()); });
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, "Error");
  EXPECT_EQ(box->text, "Damaged scene file " + c + ": node 'in c' loads " + a +
                           ", which is already being loaded around it");
}

std::string ChainFile(const TempDir& dir, int i) {
  std::string name = "f";
  name += std::to_string(i);
  name += ".psk";
  return dir.file(name);
}

// A chain f0 -> f1 -> ... -> f(n-1) of distinct files.
std::string WriteChain(const TempDir& dir, int files) {
  for (int i = 0; i < files; ++i) {
    scenefile::SceneWriter w;
    std::string name = "n";
    name += std::to_string(i);
    w.Add(GroupAt(0, -1, name, i + 1 < files ? NestText(ChainFile(dir, i + 1)) : ""));
    EXPECT_TRUE(w.Save(ChainFile(dir, i)));
  }
  return ChainFile(dir, 0);
}

TEST_F(PSKSceneLoaderNestedTest, NestingIsBoundedAtThirtyTwoLevels) {
  TempDir dir;
  // 32 files nested under the top one load.
  const std::string fine = WriteChain(dir, 33);
  EXPECT_EQ(CatchFatal([&] { graph->Create<PSKSceneLoader>(graph->NextId())->LoadFile(fine.c_str()); }),
            std::nullopt);
  EXPECT_EQ(Loaders(*graph).size(), 33u);
  TempDir deeper;
  const std::string tooDeep = WriteChain(deeper, 34);
  graph = std::make_unique<SceneGraph>(device);
  auto box = CatchFatal(
      [&] { graph->Create<PSKSceneLoader>(graph->NextId())->LoadFile(tooDeep.c_str()); });
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, "Damaged scene file " + ChainFile(deeper, 32) + ": node 'n32' loads " +
                           ChainFile(deeper, 33) + " more than 32 scene files deep");
}

}  // namespace
