// Damaged archives must give false, 0 or no buffer, never a crash or a read out
// of bounds; the sanitizer build turns any stray access into a failure.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>

#include "archive/CFLArchive.h"
#include "archive/CFLFilterChain.h"
#include "tests/archive/ArchiveTestSupport.h"

using namespace archive_test;

namespace {

const char* const kNames[] = {"demo.psc", "scene.psk", "tune.mp3"};

Bytes SmallImage() {
  return BuildImage({{"demo.psc", ToBytes("waituntil 100\n"), cfl_filter::kNone},
                     {"scene.psk", PatternBytes(300, 2), cfl_filter::kZlib},
                     {"tune.mp3", PatternBytes(257, 3), cfl_filter::kDelta16 | cfl_filter::kZlib}});
}

// Opens the bytes as an archive and reads every name it lists plus the usual
// ones; each returned buffer is touched up to the entry's size.
struct Outcome {
  bool opened = false;
  int buffers = 0;
};

Outcome Exercise(const ScratchDir& dir, const Bytes& bytes) {
  const std::string path = dir / "damaged.cfl";
  WriteFile(path, bytes);
  Outcome outcome;
  CFLArchive archive;
  outcome.opened = archive.Open(path.c_str());
  std::set<std::string> names(std::begin(kNames), std::end(kNames));
  for (const CFLEntryInfo& e : archive.List()) names.insert(e.name);
  for (const std::string& name : names) {
    std::uint32_t size = 0;
    auto data = archive.Read(name.c_str(), size);
    if (data) {
      ++outcome.buffers;
      volatile std::uint8_t sink = 0;
      for (std::uint32_t i = 0; i < size; ++i) sink = sink + data[i];
    }
    std::uint8_t small[16];
    const std::int32_t copied = archive.ReadInto(name.c_str(), small, sizeof small);
    EXPECT_LE(copied, 16);
    EXPECT_GE(copied, 0);
  }
  return outcome;
}

}  // namespace

TEST(DamagedArchive, EveryTruncationOfAStandaloneImageFailsToOpen) {
  ScratchDir dir;
  const Bytes image = SmallImage();
  for (std::size_t length = 0; length < image.size(); ++length) {
    const Outcome o = Exercise(dir, Bytes(image.begin(), image.begin() + length));
    EXPECT_FALSE(o.opened) << length;
  }
  EXPECT_TRUE(Exercise(dir, image).opened);
}

TEST(DamagedArchive, EveryTruncationOfAnAppendedImageFailsToOpen) {
  ScratchDir dir;
  const Bytes image = SmallImage();
  Bytes file = PatternBytes(64, 11);
  file.insert(file.end(), image.begin(), image.end());
  const Bytes trailer = Trailer(static_cast<std::uint32_t>(image.size()));
  file.insert(file.end(), trailer.begin(), trailer.end());
  for (std::size_t length = 0; length < file.size(); ++length)
    EXPECT_FALSE(Exercise(dir, Bytes(file.begin(), file.begin() + length)).opened) << length;
  const Outcome whole = Exercise(dir, file);
  EXPECT_TRUE(whole.opened);
  EXPECT_EQ(whole.buffers, 3);
}

TEST(DamagedArchive, CorruptedOffsetsAndLengthsFailCleanly) {
  ScratchDir dir;
  const Bytes image = SmallImage();
  const std::uint32_t directory = GetU32(image, 4);
  const std::uint32_t firstBlock = 12;
  struct Damage {
    std::size_t at;
    std::uint32_t value;
    bool opens;
  };
  const Damage damages[] = {
      {4, 0xFFFFFFF0u, false},                                  // directory offset past the end
      {4, directory + 1, false},                                // directory offset off by one
      {directory + 4, 0xFFFFFFFFu, false},                      // directory packed length huge
      {directory + 4, static_cast<std::uint32_t>(image.size()), false},
      {directory, 0x00050000u, false},                          // unknown directory filter
      {8, 0x7FFFFFFFu, true},                                   // directory size beyond the data
      {firstBlock, 0xFFFFFFFFu, true},                          // resource packed length huge
      {firstBlock, static_cast<std::uint32_t>(image.size() - firstBlock - 3), true},
  };
  for (const Damage& d : damages) {
    Bytes damaged = image;
    PutU32(damaged, d.at, d.value);
    const Outcome o = Exercise(dir, damaged);
    EXPECT_EQ(o.opened, d.opens) << d.at;
    if (d.at == firstBlock) {
      EXPECT_EQ(o.buffers, 2) << "only the damaged block fails";
    }
  }
}

TEST(DamagedArchive, CorruptedDirectoryEntriesStayInBounds) {
  ScratchDir dir;
  // A stored directory, so its entries can be edited in place.
  const Bytes image = BuildImage({{"a", PatternBytes(40), cfl_filter::kNone},
                                  {"bb", PatternBytes(50), cfl_filter::kZlib}},
                                 cfl_filter::kNone);
  const std::uint32_t entries = GetU32(image, 4) + 8;
  const std::size_t second = entries + 14 + 1;
  {
    Bytes d = image;  // second entry's name runs past the directory: parse ends before it
    d[second + 12] = 0xFF;
    const Outcome o = Exercise(dir, d);
    EXPECT_TRUE(o.opened);
    EXPECT_EQ(o.buffers, 1);
  }
  {
    Bytes d = image;  // first entry points past the end of the file
    PutU32(d, entries + 4, 0xFFFFFFF0u);
    EXPECT_EQ(Exercise(dir, d).buffers, 1);
  }
  {
    Bytes d = image;  // second entry claims an unpacked size its block cannot fill
    PutU32(d, second, 0xFFFFFFFFu);
    EXPECT_EQ(Exercise(dir, d).buffers, 1);
  }
  {
    Bytes d = image;  // directory size cuts the second entry short
    PutU32(d, 8, 14 + 1 + 10);
    const Outcome o = Exercise(dir, d);
    EXPECT_TRUE(o.opened);
    EXPECT_EQ(o.buffers, 1);
  }
}

TEST(DamagedArchive, EveryBitFlipIsSurvived) {
  ScratchDir dir;
  const Bytes image = SmallImage();
  for (std::size_t i = 0; i < image.size(); ++i) {
    for (int bit : {0, 7}) {
      Bytes d = image;
      d[i] ^= static_cast<std::uint8_t>(1 << bit);
      Exercise(dir, d);
    }
  }
}

TEST(DamagedArchive, RandomBytesAreSurvived) {
  ScratchDir dir;
  std::mt19937 random(20240601);
  for (int round = 0; round < 300; ++round) {
    Bytes d(random() % 200);
    for (auto& b : d) b = static_cast<std::uint8_t>(random());
    if (d.size() >= 12 && round % 3 == 0) std::memcpy(d.data(), "CFL3", 4);
    if (d.size() >= 8 && round % 3 == 1) {
      std::memcpy(d.data() + d.size() - 4, "3CFL", 4);
      PutU32(d, d.size() - 8, static_cast<std::uint32_t>(random() % (d.size() + 1)));
    }
    Exercise(dir, d);
  }
}
