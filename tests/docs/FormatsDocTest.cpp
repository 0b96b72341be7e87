// docs/formats.md against the code it describes: the script commands against the
// parser's table, the scene chunk types against the shared scene-file vocabulary
// and against what the loader accepts, and the
// archive filter ids against the filter chains (with the byte layouts the
// document gives for them). A change on either side without the other fails here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "archive/CFLArchiveWriter.h"
#include "archive/CFLFilterChain.h"
#include "platform/os/oshost.h"
#include "scene/SceneGraph.h"
#include "scene/loading/PSKSceneLoader.h"
#include "scene/loading/SceneFileFormat.h"
#include "script/ScriptLoader.h"
#include "support/DeviceReferences.h"

namespace {

std::string ReadDocument(const std::string& name) {
  std::ifstream in(std::string(SHOW_SOURCE_DIR) + "/docs/" + name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" `");
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(" `") - first + 1);
}

// The cells of the rows of the first table after the line holding `anchor`,
// without its header and separator rows, backticks and blanks trimmed.
std::vector<std::vector<std::string>> TableAfter(const std::string& document,
                                                 const std::string& anchor) {
  std::vector<std::vector<std::string>> rows;
  const auto at = document.find(anchor);
  if (at == std::string::npos) return rows;
  std::istringstream lines(document.substr(at));
  std::string line;
  bool inTable = false;
  while (std::getline(lines, line)) {
    if (line.rfind('|', 0) != 0) {
      if (inTable) break;
      continue;
    }
    inTable = true;
    std::vector<std::string> cells;
    std::istringstream pieces(line.substr(1));
    std::string cell;
    while (std::getline(pieces, cell, '|')) cells.push_back(Trim(cell));
    rows.push_back(cells);
  }
  if (rows.size() >= 2) rows.erase(rows.begin(), rows.begin() + 2);
  return rows;
}

std::vector<std::string> FirstColumn(const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::string> column;
  for (const auto& row : rows) column.push_back(row.empty() ? "" : row[0]);
  return column;
}

TEST(FormatsDocument, ListsEveryScriptCommandTheParserKnowsAndNoOther) {
  std::vector<std::string> documented =
      FirstColumn(TableAfter(ReadDocument("formats.md"), "The command table"));
  std::sort(documented.begin(), documented.end());
  EXPECT_EQ(documented, ScriptCommandNames());
}

// Whether `code` is a chunk type of the shared vocabulary. The switch has no
// default, so a type added there and not here stops the build (-Wswitch).
bool InVocabulary(std::uint16_t code) {
  using scenefile::ChunkType;
  switch (static_cast<ChunkType>(code)) {
    case ChunkType::Ambient:
    case ChunkType::Group:
    case ChunkType::Mesh:
    case ChunkType::Camera:
    case ChunkType::Light:
    case ChunkType::VertexBuffer:
    case ChunkType::IndexBuffer:
    case ChunkType::Material:
    case ChunkType::Texture:
    case ChunkType::PRSController:
    case ChunkType::VertexController:
    case ChunkType::SampleFloatController:
    case ChunkType::Sprite:
      return true;
  }
  return false;
}

std::set<std::uint16_t> DocumentedChunkTypes() {
  std::set<std::uint16_t> documented;
  for (const std::string& cell :
       FirstColumn(TableAfter(ReadDocument("formats.md"), "The chunk table")))
    documented.insert(static_cast<std::uint16_t>(std::stoul(cell)));
  return documented;
}

TEST(FormatsDocument, ChunkTableIsTheSharedSceneFileVocabulary) {
  std::set<std::uint16_t> vocabulary;
  for (std::uint32_t code = 0; code <= 0xFFFF; ++code)
    if (InVocabulary(static_cast<std::uint16_t>(code)))
      vocabulary.insert(static_cast<std::uint16_t>(code));
  ASSERT_FALSE(vocabulary.empty());
  EXPECT_EQ(DocumentedChunkTypes(), vocabulary);
}

// What the loader does with a chunk of `type` and an empty payload: every type it
// knows reads a field first and finds the payload too short; others are unknown.
class ChunkTypes : public ::testing::Test {
 protected:
  void SetUp() override {
    OsSetHeadless(true);
    OsSetMessageBoxHandler([](const OsMessageBoxRecord& box) -> int { throw box; });
  }
  void TearDown() override {
    OsSetMessageBoxHandler(nullptr);
    OsClearShownMessageBoxes();
  }

  bool Known(std::uint16_t type) {
    const std::uint8_t chunk[12] = {static_cast<std::uint8_t>(type),
                                    static_cast<std::uint8_t>(type >> 8), 1, 0, 0, 0, 0, 0,
                                    0, 0, 0, 0};
    SceneGraph graph(device.get());
    try {
      graph.Create<PSKSceneLoader>(graph.NextId())->LoadMemory(chunk, sizeof chunk, -1, 0, 1, true);
    } catch (const OsMessageBoxRecord& box) {
      EXPECT_EQ(box.caption, "Error");
      return box.text != "Unknown chunk in file!";
    }
    ADD_FAILURE() << "an empty chunk of type " << type << " loaded";
    return true;
  }

  RecordedDevice device;
};

TEST_F(ChunkTypes, DocumentListsEveryChunkTypeTheLoaderReadsAndNoOther) {
  const std::set<std::uint16_t> documented = DocumentedChunkTypes();
  ASSERT_FALSE(documented.empty());

  std::set<std::uint16_t> read;
  for (std::uint32_t type = 0; type <= 40; ++type)
    if (Known(static_cast<std::uint16_t>(type))) read.insert(static_cast<std::uint16_t>(type));
  for (std::uint16_t type : {0x100, 0x7FFF, 0xFFFF})
    if (Known(type)) read.insert(type);
  EXPECT_EQ(documented, read);
}

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<std::uint8_t> bytes;
  for (int v : values) bytes.push_back(static_cast<std::uint8_t>(v));
  return bytes;
}

std::vector<std::uint8_t> Packed(const std::vector<std::uint8_t>& data, std::uint32_t id) {
  std::uint32_t length = 0;
  std::unique_ptr<std::uint8_t[]> packed =
      Pack(data.data(), static_cast<std::uint32_t>(data.size()), id, length);
  if (!packed) return {};
  return std::vector<std::uint8_t>(packed.get(), packed.get() + length);
}

TEST(FormatsDocument, FilterIdsAreTheChainsTheArchiveWritesAndUnpack) {
  std::vector<std::uint32_t> documented;
  for (const auto& row : TableAfter(ReadDocument("formats.md"), "The filter table")) {
    ASSERT_FALSE(row.empty());
    documented.push_back(static_cast<std::uint32_t>(std::stoul(row[0], nullptr, 16)));
  }
  const auto chains = CFLAllFilterChains();
  EXPECT_EQ(documented, std::vector<std::uint32_t>(chains.begin(), chains.end()));

  // Every documented id packs and unpacks; five bytes leave a tail after the words.
  const std::vector<std::uint8_t> data = Bytes({1, 2, 250, 4, 9});
  for (std::uint32_t id : documented) {
    const std::vector<std::uint8_t> packed = Packed(data, id);
    ASSERT_FALSE(packed.empty()) << std::hex << id;
    std::uint32_t length = 0;
    std::unique_ptr<std::uint8_t[]> unpacked =
        Unpack(packed.data(), static_cast<std::uint32_t>(packed.size()), id, length);
    ASSERT_TRUE(unpacked) << std::hex << id;
    EXPECT_EQ(std::vector<std::uint8_t>(unpacked.get(), unpacked.get() + length), data)
        << std::hex << id;
  }
}

TEST(FormatsDocument, FilterLayoutsAreTheOnesDescribed) {
  // Stored bytes are the resource.
  EXPECT_EQ(Packed(Bytes({7, 8, 9}), 0x00000000), Bytes({7, 8, 9}));
  // Deltas: differences of little-endian words, wrapping; the tail unchanged.
  EXPECT_EQ(Packed(Bytes({5, 3, 200}), 0x00010000), Bytes({5, 254, 197}));
  EXPECT_EQ(Packed(Bytes({1, 0, 0, 1, 9}), 0x00020000), Bytes({1, 0, 255, 0, 9}));
  EXPECT_EQ(Packed(Bytes({2, 0, 0, 0, 1, 0, 0, 0}), 0x00030000),
            Bytes({2, 0, 0, 0, 255, 255, 255, 255}));
  // zlib: the unpacked length, then an RFC 1950 stream (deflate, 32 KiB window).
  const std::vector<std::uint8_t> zlib = Packed(Bytes({1, 2, 3, 4, 5, 6}), 0x00000001);
  ASSERT_GE(zlib.size(), 6u);
  EXPECT_EQ(std::vector<std::uint8_t>(zlib.begin(), zlib.begin() + 4), Bytes({6, 0, 0, 0}));
  EXPECT_EQ(zlib[4], 0x78);
  EXPECT_EQ((zlib[4] * 256 + zlib[5]) % 31, 0);
  // Bits 24-31 name an outer transform that does not exist: such blocks do not unpack.
  const std::vector<std::uint8_t> stored = Bytes({1, 2, 3});
  EXPECT_FALSE(Unpack(stored.data(), 3, 0x01000000));
}

}  // namespace
