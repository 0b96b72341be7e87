#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "archive/CFLFilterChain.h"
#include "archive/CFLFilterRegistry.h"
#include "archive/CFLRH_Zlib.h"
#include "archive/CFLResourceFilter.h"
#include "tests/archive/ArchiveTestSupport.h"

using archive_test::Bytes;
using archive_test::PatternBytes;

namespace {

struct Coded {
  bool ok;
  Bytes bytes;
};

Coded Code(const CFLResourceFilter& f, const Bytes& in, bool encode) {
  std::unique_ptr<std::uint8_t[]> out;
  std::uint32_t length = 123;
  if (encode)
    f.Encode(in.data(), out, static_cast<std::uint32_t>(in.size()), length);
  else
    f.Decode(in.data(), out, static_cast<std::uint32_t>(in.size()), length);
  if (!out) {
    EXPECT_EQ(length, 0u);
    return {false, {}};
  }
  return {true, Bytes(out.get(), out.get() + length)};
}

const CFLResourceFilter& Filter(std::uint32_t id) {
  const CFLResourceFilter* f = CFLFindFilter(id);
  EXPECT_NE(f, nullptr);
  return *f;
}

Coded UnpackBytes(const Bytes& packed, std::uint32_t id) {
  std::uint32_t length = 99;
  auto out = Unpack(packed.data(), static_cast<std::uint32_t>(packed.size()), id, length);
  if (!out) {
    EXPECT_EQ(length, 0u);
    return {false, {}};
  }
  return {true, Bytes(out.get(), out.get() + length)};
}

Bytes PackBytes(const Bytes& data, std::uint32_t id) {
  std::uint32_t length = 0;
  auto out = Pack(data.data(), static_cast<std::uint32_t>(data.size()), id, length);
  EXPECT_NE(out, nullptr) << std::hex << id;
  return out ? Bytes(out.get(), out.get() + length) : Bytes{};
}

Bytes WithPrefix(std::uint32_t unpacked, const Bytes& stream) {
  Bytes b(stream.size() + 4);
  archive_test::PutU32(b, 0, unpacked);
  std::copy(stream.begin(), stream.end(), b.begin() + 4);
  return b;
}

Bytes ZlibStream(const Bytes& data) {
  uLongf length = compressBound(static_cast<uLong>(data.size()));
  Bytes out(length);
  EXPECT_EQ(compress(out.data(), &length, data.data(), static_cast<uLong>(data.size())), Z_OK);
  out.resize(length);
  return out;
}

const std::vector<std::uint32_t> kChains(CFLAllFilterChains().begin(), CFLAllFilterChains().end());
const std::vector<std::size_t> kEdgeSizes = {0,  1,  2,  3,  4,  5,  6,  7,   8,   9,
                                             15, 16, 17, 31, 32, 33, 34, 255, 4097};

}  // namespace

TEST(FilterRegistry, ListsTheFiveFiltersNewestFirst) {
  std::vector<std::string> names;
  std::vector<std::uint32_t> ids;
  for (const CFLResourceFilter* f = CFLFirstFilter(); f; f = f->next) {
    names.emplace_back(f->name);
    ids.push_back(f->id);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"ZLIB", "None", "Delta8", "Delta32", "Delta16"}));
  EXPECT_EQ(ids, (std::vector<std::uint32_t>{0x1, 0x0, 0x10000, 0x30000, 0x20000}));
  EXPECT_STREQ(Filter(0).description, "No compression");
  EXPECT_STREQ(Filter(0x10000).description, "8-bit delta encoding");
  EXPECT_STREQ(Filter(0x20000).description, "16-bit delta encoding");
  EXPECT_STREQ(Filter(0x30000).description, "32-bit delta encoding");
  EXPECT_NE(std::string(Filter(1).description).find("zlib"), std::string::npos);
  EXPECT_EQ(CFLFindFilter(0x40000), nullptr);
  EXPECT_EQ(CFLFindFilter(2), nullptr);
}

TEST(Filters, EveryFilterRoundTripsEdgeSizes) {
  for (const CFLResourceFilter* f = CFLFirstFilter(); f; f = f->next) {
    for (std::size_t n : kEdgeSizes) {
      const Bytes data = PatternBytes(n, static_cast<std::uint32_t>(n));
      const Coded encoded = Code(*f, data, true);
      ASSERT_TRUE(encoded.ok) << f->name << " " << n;
      const Coded decoded = Code(*f, encoded.bytes, false);
      ASSERT_TRUE(decoded.ok) << f->name << " " << n;
      EXPECT_EQ(decoded.bytes, data) << f->name << " " << n;
      if (f->id != 1) {
        EXPECT_EQ(encoded.bytes.size(), n) << f->name;
      }
    }
  }
}

// The chain decodes large blocks in place; that path must agree with Decode for
// every word size, the bytes after the last whole word included.
TEST(Filters, DecodingInPlaceAgreesWithDecode) {
  int inPlace = 0;
  for (const CFLResourceFilter* f = CFLFirstFilter(); f; f = f->next) {
    for (std::size_t n : kEdgeSizes) {
      const Bytes data = PatternBytes(n, static_cast<std::uint32_t>(3 * n + 1));
      Bytes work = data;
      if (!f->DecodeInPlace(work.data(), static_cast<std::uint32_t>(work.size()))) break;
      ++inPlace;
      EXPECT_EQ(work, Code(*f, data, false).bytes) << f->name << " " << n;
    }
  }
  EXPECT_EQ(inPlace, 3 * static_cast<int>(kEdgeSizes.size()));
}

TEST(Filters, Delta8DesignedExample) {
  const Bytes encoded = Code(Filter(0x10000), Bytes{10, 12, 11}, true).bytes;
  EXPECT_EQ(encoded, (Bytes{10, 2, 255}));
  EXPECT_EQ(Code(Filter(0x10000), encoded, false).bytes, (Bytes{10, 12, 11}));
}

TEST(Filters, Delta16WorksOnLittleEndianWordsAndCopiesTheOddByte) {
  // Words 0x0201, 0x0100: the difference wraps to 0xFEFF; the fifth byte stays.
  const Bytes in{0x01, 0x02, 0x00, 0x01, 0x7F};
  const Bytes encoded = Code(Filter(0x20000), in, true).bytes;
  EXPECT_EQ(encoded, (Bytes{0x01, 0x02, 0xFF, 0xFE, 0x7F}));
  EXPECT_EQ(Code(Filter(0x20000), encoded, false).bytes, in);
  EXPECT_EQ(Code(Filter(0x20000), Bytes{0xAB}, true).bytes, (Bytes{0xAB}));
  EXPECT_EQ(Code(Filter(0x20000), Bytes{0xAB}, false).bytes, (Bytes{0xAB}));
}

TEST(Filters, Delta32OnSevenBytesLeavesEverythingInPlace) {
  const Bytes in{1, 2, 3, 4, 5, 6, 7};
  EXPECT_EQ(Code(Filter(0x30000), in, true).bytes, in);
  EXPECT_EQ(Code(Filter(0x30000), in, false).bytes, in);
  // With a second word the difference is taken over all 32 bits.
  const Bytes two{0x00, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01, 9};
  EXPECT_EQ(Code(Filter(0x30000), two, true).bytes, (Bytes{0, 0, 0, 1, 1, 0, 0, 0, 9}));
}

TEST(FilterChain, EveryChainRoundTripsEdgeSizes) {
  for (std::uint32_t id : kChains) {
    for (std::size_t n : kEdgeSizes) {
      const Bytes data = PatternBytes(n, static_cast<std::uint32_t>(n + id));
      const Coded out = UnpackBytes(PackBytes(data, id), id);
      ASSERT_TRUE(out.ok) << std::hex << id << " " << std::dec << n;
      EXPECT_EQ(out.bytes, data) << std::hex << id << " " << std::dec << n;
    }
  }
}

TEST(FilterChain, DecompressesBeforeUndoingTheDelta) {
  const Bytes data = PatternBytes(1001);
  const Bytes delta = Code(Filter(0x30000), data, true).bytes;
  const Bytes packed = Code(Filter(0x1), delta, true).bytes;
  EXPECT_EQ(UnpackBytes(packed, 0x00030001).bytes, data);
  EXPECT_EQ(PackBytes(data, 0x00030001), packed);
}

TEST(FilterChain, UnknownFiltersFail) {
  const Bytes data = PatternBytes(64);
  EXPECT_FALSE(UnpackBytes(data, 0x00040000).ok);
  EXPECT_FALSE(UnpackBytes(PackBytes(data, 0x1), 0x00040001).ok);
  EXPECT_FALSE(UnpackBytes(data, 0x01000000).ok);
  EXPECT_FALSE(UnpackBytes(data, 0xFF000001).ok);
  EXPECT_FALSE(UnpackBytes(data, 0x00000002).ok);
  std::uint32_t length = 5;
  EXPECT_EQ(Pack(data.data(), 64, 0x00040000, length), nullptr);
  EXPECT_EQ(length, 0u);
}

TEST(FilterChain, CompressorFallsBackToItsLowByte) {
  const Bytes data = PatternBytes(300);
  EXPECT_EQ(UnpackBytes(data, 0x00000100).bytes, data);
  const Bytes zlib = PackBytes(data, 0x1);
  EXPECT_EQ(UnpackBytes(zlib, 0x0000AB01).bytes, data);
}

TEST(ZlibFilter, BlockHoldsLengthPrefixAndTheCompleteStream) {
  const Bytes data = PatternBytes(5000);
  const Bytes block = Code(Filter(1), data, true).bytes;
  ASSERT_GT(block.size(), 8u);
  EXPECT_EQ(archive_test::GetU32(block, 0), 5000u);
  const std::uint32_t adler = adler32(adler32(0, nullptr, 0), data.data(), 5000);
  const std::size_t end = block.size();
  const std::uint32_t stored = std::uint32_t(block[end - 4]) << 24 |
                               std::uint32_t(block[end - 3]) << 16 |
                               std::uint32_t(block[end - 2]) << 8 | block[end - 1];
  EXPECT_EQ(stored, adler);
}

TEST(ZlibFilter, StreamCutInsideItsCheckValueStillDecodes) {
  const Bytes data = PatternBytes(20000);
  const Bytes stream = ZlibStream(data);
  for (std::size_t cut = 1; cut <= 4; ++cut) {
    const Bytes shorter(stream.begin(), stream.end() - static_cast<std::ptrdiff_t>(cut));
    const Coded out = Code(Filter(1), WithPrefix(20000, shorter), false);
    ASSERT_TRUE(out.ok) << cut;
    EXPECT_EQ(out.bytes, data);
  }
  const Bytes intoData(stream.begin(), stream.end() - 6);
  EXPECT_FALSE(Code(Filter(1), WithPrefix(20000, intoData), false).ok);
}

TEST(ZlibFilter, DamagedCheckValueFails) {
  const Bytes data = PatternBytes(3000);
  Bytes stream = ZlibStream(data);
  stream.back() ^= 1;
  EXPECT_FALSE(Code(Filter(1), WithPrefix(3000, stream), false).ok);
}

TEST(ZlibFilter, AbsurdUnpackedLengthFailsWithoutTrying) {
  const Bytes stream = ZlibStream(PatternBytes(100));
  EXPECT_FALSE(Code(Filter(1), WithPrefix(0xFFFFFFFF, stream), false).ok);
  EXPECT_FALSE(Code(Filter(1), WithPrefix(CFLRH_Zlib::kMaxUnpacked + 1, stream), false).ok);
  // More than any deflate stream of this length could hold.
  EXPECT_FALSE(Code(Filter(1),
                    WithPrefix(static_cast<std::uint32_t>(stream.size() * 1032 + 1000), stream),
                    false)
                   .ok);
  EXPECT_FALSE(Code(Filter(1), Bytes{1, 0, 0}, false).ok);
  EXPECT_FALSE(Code(Filter(1), Bytes{}, false).ok);
}

TEST(ZlibFilter, PrefixShorterOrLongerThanTheData) {
  const Bytes data = PatternBytes(1000);
  const Bytes stream = ZlibStream(data);
  const Coded shorter = Code(Filter(1), WithPrefix(600, stream), false);
  ASSERT_TRUE(shorter.ok);
  EXPECT_EQ(shorter.bytes, Bytes(data.begin(), data.begin() + 600));
  const Coded longer = Code(Filter(1), WithPrefix(1500, stream), false);
  ASSERT_TRUE(longer.ok);
  EXPECT_EQ(longer.bytes, data);
}

// The fast decoder must decide exactly as zlib's one-call decompression with the
// designed acceptance rule would, for every cut of the stream and nearby capacities.
TEST(ZlibFilter, AgreesWithZlibOnCutStreamsAndCapacities) {
  const Bytes data = PatternBytes(7000, 3);
  const Bytes stream = ZlibStream(data);
  for (std::size_t cut = 0; cut <= 12; ++cut) {
    const Bytes part(stream.begin(), stream.end() - static_cast<std::ptrdiff_t>(cut));
    for (std::uint32_t capacity : {6999u, 7000u, 7001u, 9000u}) {
      Bytes reference(capacity);
      uLongf length = capacity;
      const int r =
          uncompress(reference.data(), &length, part.data(), static_cast<uLong>(part.size()));
      const bool accepted = r >= 0 || r == Z_BUF_ERROR;
      reference.resize(length);
      const Coded out = Code(Filter(1), WithPrefix(capacity, part), false);
      ASSERT_EQ(out.ok, accepted) << "cut " << cut << " capacity " << capacity;
      if (accepted) {
        EXPECT_EQ(out.bytes, reference) << "cut " << cut << " capacity " << capacity;
      }
    }
  }
}
