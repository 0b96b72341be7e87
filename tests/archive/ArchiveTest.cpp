#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "archive/CFLArchive.h"
#include "archive/CFLFilterChain.h"
#include "tests/archive/ArchiveTestSupport.h"

using namespace archive_test;

namespace {

Bytes ReadBytes(const CFLArchive& archive, const char* name) {
  std::uint32_t size = 0;
  auto data = archive.Read(name, size);
  if (!data) return {};
  return Bytes(data.get(), data.get() + size);
}

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class ArchiveTest : public ::testing::Test {
 protected:
  ScratchDir dir;
  const Bytes script = ToBytes("waituntil 100\n");
  const Bytes picture = PatternBytes(3001, 7);
  const Bytes samples = PatternBytes(4096, 9);
  Bytes Image() {
    return BuildImage({{"demo.psc", script, cfl_filter::kNone},
                       {"gfx/picture.png", picture, cfl_filter::kZlib},
                       {"music.raw", samples, cfl_filter::kDelta16 | cfl_filter::kZlib}});
  }
  void ExpectShowResources(const CFLArchive& archive) {
    EXPECT_EQ(ReadBytes(archive, "demo.psc"), script);
    EXPECT_EQ(ReadBytes(archive, "gfx/picture.png"), picture);
    EXPECT_EQ(ReadBytes(archive, "music.raw"), samples);
    EXPECT_EQ(archive.GetSize("gfx/picture.png"), 3001u);
  }
};

}  // namespace

TEST(ArchiveHash, DesignedValues) {
  EXPECT_EQ(CFLArchive::Hash("abc", 3), 0x0C418463);
  EXPECT_EQ(CFLArchive::Hash("", 0), 0);
  // High bytes count as 0..255 and the right shift copies the sign bit.
  std::int32_t h = 0;
  const char name[] = "\xff\x80zzzzzz";
  for (std::size_t i = 0; i < 8; ++i) {
    const auto hu = static_cast<std::uint32_t>(h);
    const std::uint32_t sign = (h < 0) ? 0xFFE00000u : 0u;
    h = static_cast<std::int32_t>(static_cast<unsigned char>(name[i]) ^ ((hu << 21) + ((hu >> 11) | sign)));
  }
  EXPECT_EQ(CFLArchive::Hash(name, 8), h);
}

TEST_F(ArchiveTest, StandaloneImageOpensAtPositionZero) {
  WriteFile(dir / "show.cfl", Image());
  CFLArchive archive;
  ASSERT_TRUE(archive.Open((dir / "show.cfl").c_str()));
  ExpectShowResources(archive);
  EXPECT_TRUE(archive.Exists("demo.psc"));
  EXPECT_FALSE(archive.Exists("missing"));
  std::uint32_t size = 77;
  EXPECT_EQ(archive.Read("missing", size), nullptr);
  EXPECT_EQ(size, 0u);
  EXPECT_EQ(archive.GetSize("missing"), 0u);
  EXPECT_EQ(archive.ReadWhole("missing"), nullptr);
}

TEST_F(ArchiveTest, ImageBehindTrailerOpensFromPositionZeroOfTheHostFile) {
  const Bytes image = Image();
  const Bytes host = PatternBytes(12345, 4);
  WriteFile(dir / "player", Concat(Concat(host, image), Trailer(static_cast<std::uint32_t>(image.size()))));
  CFLArchive archive;
  ASSERT_TRUE(archive.Open((dir / "player").c_str()));
  ExpectShowResources(archive);
  // Given the image's own position, the leading magic is found there.
  CFLArchive direct;
  ASSERT_TRUE(direct.Open((dir / "player").c_str(), 12345));
  ExpectShowResources(direct);
}

TEST_F(ArchiveTest, FilesWithoutAnImageDoNotOpen) {
  CFLArchive archive;
  EXPECT_FALSE(archive.Open((dir / "nothing-here").c_str()));
  EXPECT_FALSE(archive.Open(dir.path().c_str()));
  EXPECT_FALSE(archive.Open(nullptr));
  WriteFile(dir / "plain", PatternBytes(500));
  EXPECT_FALSE(archive.Open((dir / "plain").c_str()));
  WriteFile(dir / "tiny", ToBytes("3CFL"));
  EXPECT_FALSE(archive.Open((dir / "tiny").c_str()));

  const Bytes image = Image();
  const Bytes host = PatternBytes(100);
  Bytes offByOne = Concat(Concat(host, image), Trailer(static_cast<std::uint32_t>(image.size()) + 1));
  WriteFile(dir / "off", offByOne);
  EXPECT_FALSE(archive.Open((dir / "off").c_str()));
  Bytes beyond = Concat(Concat(host, image), Trailer(0xFFFFFF00u));
  WriteFile(dir / "beyond", beyond);
  EXPECT_FALSE(archive.Open((dir / "beyond").c_str()));
  EXPECT_FALSE(archive.Exists("demo.psc"));
}

TEST_F(ArchiveTest, DirectorySizeOfZeroOrLessGivesNoEntries) {
  for (std::uint32_t size : {0u, 0x80000000u, 0xFFFFFFFFu}) {
    Bytes image = Image();
    PutU32(image, 8, size);
    WriteFile(dir / "empty.cfl", image);
    CFLArchive archive;
    EXPECT_TRUE(archive.Open((dir / "empty.cfl").c_str()));
    EXPECT_FALSE(archive.Exists("demo.psc"));
    EXPECT_TRUE(archive.List().empty());
  }
}

TEST_F(ArchiveTest, LaterImageOverridesAndKeepsOtherNames) {
  WriteFile(dir / "a.cfl", BuildImage({{"shared", ToBytes("first image"), cfl_filter::kZlib},
                                       {"only-a", ToBytes("from a"), cfl_filter::kNone}}));
  const Bytes second = PatternBytes(999, 5);
  WriteFile(dir / "b.cfl", BuildImage({{"shared", second, cfl_filter::kDelta8 | cfl_filter::kZlib}}));
  CFLArchive archive;
  ASSERT_TRUE(archive.Open((dir / "a.cfl").c_str()));
  ASSERT_TRUE(archive.Open((dir / "b.cfl").c_str()));
  EXPECT_EQ(ReadBytes(archive, "shared"), second);
  EXPECT_EQ(archive.GetSize("shared"), 999u);
  EXPECT_EQ(ReadBytes(archive, "only-a"), ToBytes("from a"));
  const auto list = archive.List();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1].name, "shared");
  EXPECT_EQ(list[1].filterId, 0x00010001u);
}

TEST_F(ArchiveTest, LaterEntryOfOneDirectoryWins) {
  WriteFile(dir / "twice.cfl", BuildImage({{"x", ToBytes("old"), cfl_filter::kNone},
                                           {"x", ToBytes("newer!"), cfl_filter::kZlib}}));
  CFLArchive archive;
  ASSERT_TRUE(archive.Open((dir / "twice.cfl").c_str()));
  EXPECT_EQ(ReadBytes(archive, "x"), ToBytes("newer!"));
  EXPECT_EQ(archive.List().size(), 1u);
}

TEST_F(ArchiveTest, NamesAreExactByteStrings) {
  WriteFile(dir / "names.cfl", BuildImage({{"Data/a.png", ToBytes("1"), cfl_filter::kNone},
                                           {"data/a.png", ToBytes("2"), cfl_filter::kNone},
                                           {"data\\a.png", ToBytes("3"), cfl_filter::kNone},
                                           {"", ToBytes("4"), cfl_filter::kNone}}));
  CFLArchive archive;
  ASSERT_TRUE(archive.Open((dir / "names.cfl").c_str()));
  EXPECT_EQ(ReadBytes(archive, "Data/a.png"), ToBytes("1"));
  EXPECT_EQ(ReadBytes(archive, "data/a.png"), ToBytes("2"));
  EXPECT_EQ(ReadBytes(archive, "data\\a.png"), ToBytes("3"));
  EXPECT_EQ(ReadBytes(archive, ""), ToBytes("4"));
  EXPECT_FALSE(archive.Exists("DATA/A.PNG"));
  EXPECT_FALSE(archive.Exists("data/a.png "));
}

TEST_F(ArchiveTest, ReadIntoCopiesAtMostTheCapacity) {
  WriteFile(dir / "show.cfl", Image());
  CFLArchive archive;
  ASSERT_TRUE(archive.Open((dir / "show.cfl").c_str()));
  Bytes small(100, 0xEE);
  EXPECT_EQ(archive.ReadInto("gfx/picture.png", small.data(), 40), 40);
  EXPECT_TRUE(std::equal(small.begin(), small.begin() + 40, picture.begin()));
  EXPECT_EQ(small[40], 0xEE);
  Bytes large(5000, 0xEE);
  EXPECT_EQ(archive.ReadInto("gfx/picture.png", large.data(), 5000), 3001);
  EXPECT_TRUE(std::equal(picture.begin(), picture.end(), large.begin()));
  EXPECT_EQ(large[3001], 0xEE);
  EXPECT_EQ(archive.ReadInto("gfx/picture.png", large.data(), 0), 0);
  EXPECT_EQ(archive.ReadInto("gfx/picture.png", large.data(), -1), 0);
  EXPECT_EQ(archive.ReadInto("missing", large.data(), 5000), 0);
}

TEST_F(ArchiveTest, FailedOpenLeavesTheArchiveAsItWas) {
  WriteFile(dir / "show.cfl", Image());
  Bytes broken = Image();
  PutU32(broken, 4, 0x7FFFFFF0);
  WriteFile(dir / "broken.cfl", broken);
  CFLArchive archive;
  ASSERT_TRUE(archive.Open((dir / "show.cfl").c_str()));
  EXPECT_FALSE(archive.Open((dir / "broken.cfl").c_str()));
  ExpectShowResources(archive);
}

TEST_F(ArchiveTest, ReadsReopenTheFileEachTime) {
  const std::string path = dir / "show.cfl";
  WriteFile(path, Image());
  CFLArchive archive;
  ASSERT_TRUE(archive.Open(path.c_str()));
  std::filesystem::remove(path);
  EXPECT_EQ(archive.ReadWhole("demo.psc"), nullptr);
  EXPECT_TRUE(archive.Exists("demo.psc"));
  WriteFile(path, Image());
  EXPECT_EQ(ReadBytes(archive, "demo.psc"), script);
}

TEST_F(ArchiveTest, RelativePathStillReadsAfterTheFolderChanges) {
  WriteFile(dir / "show.cfl", Image());
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  CFLArchive archive;
  const bool opened = archive.Open("show.cfl");
  std::filesystem::current_path("/");
  const Bytes read = ReadBytes(archive, "demo.psc");
  std::filesystem::current_path(previous);
  ASSERT_TRUE(opened);
  EXPECT_EQ(read, script);
}

TEST_F(ArchiveTest, ResourceShorterThanItsDirectorySizeIsNotReturned) {
  // The directory promises 50 bytes but the stored block holds 10.
  Bytes image = BuildImage({{"short", PatternBytes(10), cfl_filter::kNone}}, cfl_filter::kNone);
  const std::uint32_t directory = GetU32(image, 4);
  PutU32(image, directory + 8, 50);
  WriteFile(dir / "short.cfl", image);
  CFLArchive archive;
  ASSERT_TRUE(archive.Open((dir / "short.cfl").c_str()));
  EXPECT_EQ(archive.GetSize("short"), 50u);
  EXPECT_EQ(archive.ReadWhole("short"), nullptr);
  Bytes out(64);
  EXPECT_EQ(archive.ReadInto("short", out.data(), 64), 0);
}

TEST(ProgramArchive, RegistersAndClears) {
  EXPECT_EQ(ProgramArchive(), nullptr);
  CFLArchive archive;
  SetProgramArchive(&archive);
  EXPECT_EQ(ProgramArchive(), &archive);
  SetProgramArchive(nullptr);
  EXPECT_EQ(ProgramArchive(), nullptr);
}
