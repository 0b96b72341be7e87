#include <gtest/gtest.h>

#include "platform/flash/SwfHeader.h"
#include "support/SwfBytes.h"

namespace {

using swf_test::Bytes;
using swf_test::Frame;
using swf_test::Movie;

std::optional<SwfHeader> Read(const Bytes& b) { return ReadSwfHeader(b); }

TEST(SwfHeader, UncompressedAndZlibMoviesGiveTheSameFields) {
  Frame f;
  f.xMax = 11000;  // 550 by 400 pixels
  f.yMax = 8000;
  f.rate = 0x1880;  // 24.5 frames per second
  f.count = 300;
  for (char form : {'F', 'C'}) {
    SCOPED_TRACE(form);
    const Bytes movie = Movie(f, form, 9);
    const auto h = Read(movie);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->compression, form == 'F' ? SwfCompression::None : SwfCompression::Zlib);
    EXPECT_EQ(h->version, 9);
    EXPECT_TRUE(h->frameFieldsRead);
    EXPECT_EQ(h->widthTwips(), 11000);
    EXPECT_EQ(h->heightTwips(), 8000);
    EXPECT_FLOAT_EQ(h->framesPerSecond(), 24.5f);
    EXPECT_EQ(h->frameCount, 300);
    // 5 + 4 * 15 bits round up to 9 bytes of rectangle.
    EXPECT_EQ(h->headerLength, 8u + 9u + 4u);
    EXPECT_EQ(h->fileLength, 8u + 9u + 4u + 2u);
  }
}

TEST(SwfHeader, RectangleValuesAreSignedAndAnyWidth) {
  Frame negative;
  negative.bits = 16;
  negative.xMin = -200;
  negative.xMax = 300;
  negative.yMin = -32768;
  negative.yMax = 32767;
  auto h = Read(Movie(negative, 'C'));
  ASSERT_TRUE(h);
  EXPECT_EQ(h->xMin, -200);
  EXPECT_EQ(h->xMax, 300);
  EXPECT_EQ(h->yMin, -32768);
  EXPECT_EQ(h->yMax, 32767);

  Frame empty;  // zero bits: a one-byte rectangle of zeros
  empty.bits = 0;
  empty.xMax = empty.yMax = 0;
  h = Read(Movie(empty));
  ASSERT_TRUE(h);
  EXPECT_EQ(h->headerLength, 8u + 1u + 4u);
  EXPECT_EQ(h->widthTwips(), 0);

  Frame widest;  // 31 bits: the 17-byte rectangle, the longest there is
  widest.bits = 31;
  widest.xMin = -1073741824;
  widest.xMax = 1073741823;
  h = Read(Movie(widest, 'C'));
  ASSERT_TRUE(h);
  EXPECT_EQ(h->xMin, -1073741824);
  EXPECT_EQ(h->xMax, 1073741823);
  EXPECT_EQ(h->headerLength, 8u + 17u + 4u);
}

TEST(SwfHeader, LzmaMoviesAreAcceptedWithoutTheirFrameFields) {
  Bytes zws{'Z', 'W', 'S', 13};
  swf_test::PutU32(zws, 1000);  // uncompressed length
  swf_test::PutU32(zws, 3);     // packed length after the properties
  for (int b : {0x5D, 0x00, 0x00, 0x10, 0x00, 0x01, 0x02, 0x03}) zws.push_back(std::uint8_t(b));
  auto h = Read(zws);
  ASSERT_TRUE(h);
  EXPECT_EQ(h->compression, SwfCompression::Lzma);
  EXPECT_EQ(h->fileLength, 1000u);
  EXPECT_FALSE(h->frameFieldsRead);

  Bytes badProperties = zws;
  badProperties[12] = 225;  // lc/lp/pb beyond 9 * 5 * 5
  EXPECT_FALSE(Read(badProperties));
  Bytes packedBeyondFile = zws;
  packedBeyondFile[8] = 4;
  EXPECT_FALSE(Read(packedBeyondFile));
}

TEST(SwfHeader, FilesThatAreNotMoviesAreRefused) {
  const Bytes good = Movie();
  ASSERT_TRUE(Read(good));
  const Bytes goodZlib = Movie({}, 'C');
  ASSERT_TRUE(Read(goodZlib));

  auto with = [](Bytes b, std::size_t at, std::uint8_t value) {
    b[at] = value;
    return b;
  };
  auto cut = [](Bytes b, std::size_t size) {
    b.resize(size);
    return b;
  };
  Frame inverted;
  inverted.xMin = 500;
  inverted.xMax = 100;
  const Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

  struct Case {
    const char* what;
    Bytes bytes;
  } cases[] = {
      {"empty", {}},
      {"shorter than the fixed part", cut(good, 7)},
      {"a picture", gif},
      {"unknown signature", with(good, 0, 'X')},
      {"signature not ending in WS", with(good, 2, 'X')},
      {"lower-case signature", with(good, 0, 'f')},
      {"version 0", with(good, 3, 0)},
      {"length field below the fixed part", with(with(good, 4, 7), 5, 0)},
      {"length field one byte short of the header", with(good, 4, 20)},
      {"file shorter than its length field", cut(good, good.size() - 1)},
      {"inverted rectangle", Movie(inverted)},
      {"zlib stream damaged", with(goodZlib, 8, 0xFF)},
      {"zlib stream cut before the header ends", cut(with(goodZlib, 4, 200), 12)},
      {"zlib stream shorter than the length field", with(goodZlib, 4, 200)},
  };
  for (const Case& c : cases) EXPECT_FALSE(Read(c.bytes)) << c.what;
}

}  // namespace
