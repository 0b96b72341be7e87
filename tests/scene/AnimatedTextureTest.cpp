#include <gtest/gtest.h>

#include <string>

#include "scene/AnimatedTexture.h"
#include "scene/loading/KeyframeFloatController.h"
#include "scene/SceneModelFixture.h"
#include "support/TempDir.h"

namespace {

// A 2x2 uncompressed 32-bit TGA of one colour (loads as A8R8G8B8).
std::string Tga(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  std::string file(18, '\0');
  file[2] = 2;  // uncompressed true colour
  file[12] = 2;
  file[14] = 2;
  file[16] = 32;
  file[17] = 8;  // eight alpha bits
  for (int i = 0; i < 4; ++i)
    for (std::uint8_t c : {b, g, r, std::uint8_t{255}}) file.push_back(static_cast<char>(c));
  return file;
}

class AnimatedTextureTest : public SceneModelTest {
 protected:
  static std::string Frame(int i) { return std::string("frame") + std::to_string(i) + ".tga"; }
  void SetUp() override {
    SceneModelTest::SetUp();
    for (int i = 0; i < 3; ++i)
      dir.write(Frame(i), Tga(static_cast<std::uint8_t>(80 * i), 0, 0));
    dir.write("own.tga", Tga(0, 0, 255));
  }
  AnimatedTexture* Load(const std::string& description, float scale = 1, float offset = 0) {
    auto* texture = graph->Create<AnimatedTexture>(graph->NextId());
    texture->name = dir.file("own.tga");
    texture->LoadDescription(reinterpret_cast<const std::uint8_t*>(description.data()),
                             description.size(), scale, offset);
    return texture;
  }
  std::string ThreeImages() const {
    std::string text = "images=3\n";
    for (int i = 0; i < 3; ++i)
      text += std::string("i") + std::to_string(i) + "=" + dir.file(Frame(i)) + "\n";
    return text;
  }
  int Shown(AnimatedTexture* t) {
    for (std::size_t i = 0; i < t->images.size(); ++i)
      if (t->texture == t->images[i]) return static_cast<int>(i);
    return -1;
  }

  TempDir dir;
};

TEST_F(AnimatedTextureTest, ImagesComeThroughTheCacheAndTheFirstIsShown) {
  AnimatedTexture* t = Load(ThreeImages());
  ASSERT_EQ(t->images.size(), 3u);
  EXPECT_NE(t->images[0], t->images[1]);
  EXPECT_EQ(Shown(t), 0);
  EXPECT_TRUE(t->HasAlpha());
  // A second animated texture over the same files shares the cached pictures.
  AnimatedTexture* again = Load(ThreeImages());
  EXPECT_EQ(again->images, t->images);
}

TEST_F(AnimatedTextureTest, ActiveImageTruncatesThenWraps) {
  AnimatedTexture* t = Load(ThreeImages());
  const std::pair<float, int> cases[] = {{0.99f, 0}, {1.0f, 1}, {5.9f, 2},  {3.0f, 0},
                                          {-0.5f, 0}, {-1.0f, 2}, {-4.2f, 2}, {-3.0f, 0},
                                          {1e20f, 1}, {-1e20f, 1}};
  for (const auto& [value, image] : cases) {
    t->activeImage = value;
    t->Update(false);
    EXPECT_EQ(Shown(t), image) << value;
    EXPECT_EQ(t->activeIndex, image) << value;
  }
}

TEST_F(AnimatedTextureTest, WithoutImagesItShowsItsOwnFile) {
  AnimatedTexture* t = Load("speed = 3\n");
  ASSERT_EQ(t->images.size(), 1u);
  EXPECT_EQ(t->texture, graph->cache->LookupTexture(dir.file("own.tga")));
  t->activeImage = 7;
  t->Update(false);
  EXPECT_EQ(t->activeIndex, 0);
}

TEST_F(AnimatedTextureTest, DescriptionAnimationsDriveItsControlFields) {
  AnimatedTexture* t = Load(ThreeImages() +
                                "animations=2\n"
                                "a0.field=Active Image\na0.keyframes=2\na0.kf0=0 0\na0.kf1=100 3\n"
                                "a1.field=Tex U Scale\na1.keyframes=1\na1.kf0=0 2\n",
                            10, 1000);  // keys at 1000 and 2000 ms
  ASSERT_EQ(graph->controllers.size(), 2u);
  graph->SetTime(1700);  // 2.1 images in
  EXPECT_EQ(Shown(t), 2);
  EXPECT_EQ(t->uScale, 2.0f);
  graph->SetTime(2500);  // 3 images: back at the first
  EXPECT_EQ(Shown(t), 0);
  EXPECT_EQ(t->GetControlField("Tex U Offset"), &t->uOffset);
  EXPECT_EQ(t->GetControlField("Tex V Offset"), &t->vOffset);
  EXPECT_EQ(t->GetControlField("Tex V Scale"), &t->vScale);
}

TEST_F(AnimatedTextureTest, AnUnknownFieldIsReportedAndTheShowGoesOn) {
  OsSetMessageBoxHandler([](const OsMessageBoxRecord&) { return IDOK; });  // not fatal
  OsClearShownMessageBoxes();
  AnimatedTexture* t = Load(ThreeImages() +
                            "animations=1\na0.field=active image\na0.keyframes=1\na0.kf0=0 2\n");
  ASSERT_EQ(OsShownMessageBoxes().size(), 1u);
  EXPECT_EQ(OsShownMessageBoxes()[0].text, "Invalid control field in AnimatedTexture");
  EXPECT_EQ(OsShownMessageBoxes()[0].caption, "Error");
  auto* c = dynamic_cast<KeyframeFloatController*>(graph->controllers.at(0).get());
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->field, nullptr);
  graph->SetTime(50);  // writes nothing
  EXPECT_EQ(Shown(t), 0);
}

TEST_F(AnimatedTextureTest, AnImageWithoutAFileNameEndsTheShow) {
  EXPECT_SCENE_FATAL(Load(std::string("images=2147483647\ni0=") + dir.file(Frame(0)) + "\n"),
                     "lists 2147483647 images but names no file for i1");
}

}  // namespace
