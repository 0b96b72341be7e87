// cflpack as a user runs it: archives it writes list and extract back to the same
// files under the names loaders ask for, and bad input ends with a message and a
// non-zero status.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

ProcessResult Cflpack(const std::vector<std::string>& args) {
  return RunProcess(SHOW_CFLPACK_EXE, args);
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Text that compresses, and 16-bit samples that a delta makes compress better.
std::string SampleText() {
  std::string s;
  for (int i = 0; i < 2000; ++i) s += "line " + std::to_string(i * 7 % 113) + " of the show\n";
  return s;
}

std::string SampleWave() {
  std::string s;
  for (int i = 0; i < 20000; ++i) {
    const auto v = static_cast<std::uint16_t>(i * 37);
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
  }
  return s;
}

TEST(Cflpack, EveryFilterRoundTripsThroughListAndExtract) {
  for (const std::string filter : {"none", "zlib", "delta8", "delta16", "delta32", "delta8+zlib",
                                   "delta16+zlib", "delta32+zlib", "auto"}) {
    TempDir t;
    t.write("show/demo.psc", "waituntil 100\n");
    t.write("show/gfx/sub/text.txt", SampleText());
    t.write("show/wave.raw", SampleWave());
    t.write("show/empty", "");
    t.write("single.bin", "x");
    ProcessResult made = Cflpack(
        {"create", t.file("a.cfl"), "--filter", filter, t.file("show"), t.file("single.bin")});
    ASSERT_EQ(made.exitCode, 0) << filter << made.output;

    ProcessResult list = Cflpack({"list", t.file("a.cfl")});
    ASSERT_EQ(list.exitCode, 0) << list.output;
    for (const char* name :
         {" demo.psc\n", " gfx/sub/text.txt\n", " wave.raw\n", " empty\n", " single.bin\n"})
      EXPECT_NE(list.output.find(name), std::string::npos) << filter << ": " << name << list.output;
    if (filter == "auto") {
      EXPECT_NE(list.output.find("delta16+zlib  wave.raw"), std::string::npos) << list.output;
      EXPECT_NE(list.output.find("none          single.bin"), std::string::npos) << list.output;
    } else if (filter != "none") {
      EXPECT_NE(list.output.find(filter + std::string(13 - filter.size(), ' ') + " wave.raw"),
                std::string::npos)
          << list.output;
    }

    ProcessResult extracted = Cflpack({"extract", t.file("a.cfl"), t.file("out")});
    ASSERT_EQ(extracted.exitCode, 0) << extracted.output;
    EXPECT_EQ(Slurp(t.file("out/demo.psc")), "waituntil 100\n");
    EXPECT_EQ(Slurp(t.file("out/gfx/sub/text.txt")), SampleText()) << filter;
    EXPECT_EQ(Slurp(t.file("out/wave.raw")), SampleWave()) << filter;
    EXPECT_TRUE(fs::exists(t.file("out/empty")));
    EXPECT_EQ(Slurp(t.file("out/single.bin")), "x");
  }
}

TEST(Cflpack, AutoPicksSmallerBlocksThanStoring) {
  TempDir t;
  t.write("show/wave.raw", SampleWave());
  ASSERT_EQ(Cflpack({"create", t.file("none.cfl"), "--filter", "none", t.file("show")}).exitCode,
            0);
  ASSERT_EQ(Cflpack({"create", t.file("auto.cfl"), "--filter=auto", t.file("show")}).exitCode, 0);
  EXPECT_LT(fs::file_size(t.file("auto.cfl")) * 4, fs::file_size(t.file("none.cfl")));
}

TEST(Cflpack, AppendMakesARunnableFileThatStillListsItsArchive) {
  TempDir t;
  t.write("show/demo.psc", "waituntil 100\n");
  ASSERT_EQ(Cflpack({"create", t.file("a.cfl"), t.file("show")}).exitCode, 0);
  fs::copy_file("/bin/true", t.file("player"));
  ASSERT_EQ(Cflpack({"append", t.file("player"), t.file("a.cfl"), t.file("show-file")}).exitCode,
            0);
  EXPECT_NE(fs::status(t.file("show-file")).permissions() & fs::perms::owner_exec, fs::perms::none);
  EXPECT_EQ(RunProcess(t.file("show-file"), {}).exitCode, 0);
  const std::string bytes = Slurp(t.file("show-file"));
  EXPECT_EQ(bytes.substr(0, fs::file_size("/bin/true")), Slurp("/bin/true"));
  EXPECT_EQ(bytes.substr(bytes.size() - 4), "3CFL");
  ProcessResult list = Cflpack({"list", t.file("show-file")});
  EXPECT_EQ(list.exitCode, 0);
  EXPECT_NE(list.output.find(" demo.psc\n"), std::string::npos) << list.output;
}

TEST(Cflpack, BadInputGivesAMessageAndAFailureStatus) {
  TempDir t;
  t.write("plain.txt", "not an archive");
  t.write("show/demo.psc", "waituntil 100\n");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string message;
  };
  const Case cases[] = {
      {{"create", t.file("a.cfl"), t.file("missing")}, 1, "no such file or folder"},
      {{"create", t.file("a.cfl"), "--filter", "lzma", t.file("show")}, 1, "unknown filter: lzma"},
      {{"create", t.file("a.cfl")}, 2, "usage:"},
      {{"list", t.file("plain.txt")}, 1, "not a readable archive"},
      {{"list", t.file("missing.cfl")}, 1, "not a readable archive"},
      {{"extract", t.file("plain.txt"), t.file("out")}, 1, "not a readable archive"},
      {{"append", t.file("missing-player"), t.file("plain.txt"), t.file("o")},
       1,
       "cannot read player"},
      {{"append", t.file("plain.txt"), t.file("plain.txt"), t.file("o")},
       1,
       "not an archive image"},
      {{"frobnicate"}, 2, "usage:"},
  };
  for (const Case& c : cases) {
    ProcessResult r = Cflpack(c.args);
    EXPECT_EQ(r.exitCode, c.status) << c.args[0] << " " << r.output;
    EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
  }
  EXPECT_FALSE(fs::exists(t.file("a.cfl")));
  EXPECT_FALSE(fs::exists(t.file("o")));
}

TEST(Cflpack, CreateRefusesAnOutputThatIsAlsoAnInputAndKeepsIt) {
  TempDir t;
  t.write("a.txt", "precious words\n");
  t.write("show/b.txt", "more\n");
  fs::create_hard_link(t.file("a.txt"), t.file("link.txt"));
  const std::vector<std::vector<std::string>> calls = {
      {"create", t.file("a.txt"), t.file("a.txt")},
      {"create", t.file("a.txt"), t.file("show/../a.txt")},
      {"create", t.file("link.txt"), t.file("show"), t.file("a.txt")},
  };
  for (const auto& args : calls) {
    ProcessResult r = Cflpack(args);
    EXPECT_EQ(r.exitCode, 1) << args[2] << " " << r.output;
    EXPECT_NE(r.output.find("it is also the input"), std::string::npos) << r.output;
    EXPECT_EQ(Slurp(t.file("a.txt")), "precious words\n");
  }
}
}  // namespace
