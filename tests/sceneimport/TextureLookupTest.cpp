// Finding the pictures a model names where a show maker's files really are.
#include <gtest/gtest.h>

#include "sceneimport/ImportTestSupport.h"
#include "tools/sceneimport/TextureLookup.h"

namespace {

namespace fs = std::filesystem;
using sceneimport::FindTextureFile;

TEST(TextureLookup, FindsPicturesByNameBesideTheModelAndBelowIgnoringCase) {
  TempDir dir;
  std::string beside = dir.write("model/test.png", "a");
  std::string below = dir.write("model/maps/Wood.JPG", "b");
  std::string exact = dir.write("model/textures/Stone.png", "c");
  std::string folder = dir.file("model");
  EXPECT_EQ(FindTextureFile(folder, "test.png"), beside);
  EXPECT_EQ(FindTextureFile(folder, "TEST.PNG"), beside);
  // Paths of another machine: absolute, drive letters, backslashes.
  EXPECT_EQ(FindTextureFile(folder, "Q:/assets/models/test.png"), beside);
  EXPECT_EQ(FindTextureFile(folder, "C:\\Users\\me\\Desktop\\TEST.png"), beside);
  EXPECT_EQ(FindTextureFile(folder, "/home/someone/else/test.png"), beside);
  EXPECT_EQ(FindTextureFile(folder, "wood.jpg"), below);
  // The relative path as written, each part in any letter case, and from the root.
  EXPECT_EQ(FindTextureFile(folder, "TEXTURES/stone.PNG"), exact);
  EXPECT_EQ(FindTextureFile(folder, "\\textures\\stone.png"), exact);
  dir.write("other/shared.png", "d");
  EXPECT_EQ(FindTextureFile(folder, "..\\OTHER\\Shared.png"), dir.file("model/../other/shared.png"));
  EXPECT_EQ(FindTextureFile(folder, "E:\\projects\\Other\\shared.png"), dir.file("model/../other/shared.png"));
  EXPECT_EQ(FindTextureFile(folder, "missing.png"), "");
  EXPECT_EQ(FindTextureFile(folder, ""), "");
  // A folder of the same name is not a picture.
  dir.write("model/dir.png/x", "e");
  EXPECT_EQ(FindTextureFile(folder, "dir.png"), "");
}

TEST(TextureLookup, AModelNamingPicturesOfAnotherMachineGetsThemAndMissingOnesAreReported) {
  TempDir dir;
  std::vector<std::uint8_t> png = TinyPng(0xff00ff00, false);
  dir.write("Green.PNG", std::string(png.begin(), png.end()));
  std::string obj = dir.write("m.obj", "mtllib m.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\n"
                                       "usemtl found\nf 1/1 2/2 3/3\nusemtl lost\nf 3/3 2/2 1/1\n");
  dir.write("m.mtl", "newmtl found\nKd 1 1 1\nmap_Kd D:\\work\\art\\green.png\n"
                     "newmtl lost\nKd 1 1 1\nmap_Kd D:\\work\\art\\gone.png\n");
  fs::create_directories(dir.file("out"));
  ImportResult r = ImportFile(obj, dir.file("out/scene.psk"));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.report.counts.textures, 1u);
  ASSERT_EQ(r.file.textures.size(), 1u);
  EXPECT_TRUE(fs::exists(dir.file("out/" + r.file.textures.begin()->second)));
  auto missing = r.report.Warnings().find("texture file not found beside the model or in its folders, dropped");
  ASSERT_NE(missing, r.report.Warnings().end());
  EXPECT_EQ(missing->second, std::vector<std::string>{"D:\\work\\art\\gone.png"});
}

}  // namespace
