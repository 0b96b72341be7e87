// append PLAYER ARCHIVE OUT: a copy of the player with the archive image and the
// 8-byte trailer behind it, keeping the player's permissions.
#include <cstring>
#include <filesystem>
#include <fstream>

#include "archive/CFLArchive.h"
#include "tools/cflpack/Commands.h"

namespace fs = std::filesystem;

namespace {

bool CopyInto(std::ofstream& out, const std::string& path, std::uint64_t& copied) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::vector<char> buffer(1 << 20);
  copied = 0;
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const std::streamsize got = in.gcount();
    if (got <= 0) break;
    out.write(buffer.data(), got);
    copied += static_cast<std::uint64_t>(got);
  }
  return in.eof() && out.good();
}

bool StartsWithMagic(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char magic[4] = {};
  return in.read(magic, 4) && std::memcmp(magic, "CFL3", 4) == 0;
}

int Append(const std::string& player, const std::string& archive, const std::string& outPath) {
  std::error_code error;
  const fs::perms permissions = fs::status(player, error).permissions();
  if (error || !fs::is_regular_file(player)) return Failure("cannot read player " + player);
  CFLArchive check;
  if (!StartsWithMagic(archive) || !check.Open(archive.c_str()))
    return Failure("not an archive image (it must start with CFL3): " + archive);
  // Write beside the target first, so OUT may also be the player itself.
  const std::string temporary = outPath + ".cflpack-tmp";
  std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
  if (!out) return Failure("cannot write " + outPath);
  std::uint64_t playerSize = 0, imageSize = 0;
  if (!CopyInto(out, player, playerSize)) return Failure("cannot read player " + player);
  if (!CopyInto(out, archive, imageSize)) return Failure("cannot read archive " + archive);
  if (imageSize + 8 > UINT32_MAX) return Failure("archive too large to append: " + archive);
  const auto distance = static_cast<std::uint32_t>(imageSize + 8);
  const char trailer[8] = {static_cast<char>(distance), static_cast<char>(distance >> 8),
                           static_cast<char>(distance >> 16), static_cast<char>(distance >> 24),
                           '3', 'C', 'F', 'L'};
  out.write(trailer, 8);
  out.close();
  if (!out) return Failure("cannot write " + outPath);
  fs::permissions(temporary, permissions, error);
  if (!error) fs::rename(temporary, outPath, error);
  if (error) return Failure("cannot write " + outPath + ": " + error.message());
  return 0;
}

}  // namespace

int AppendCommand(const Arguments& args) {
  if (args.size() != 3) return Usage();
  const int status = Append(args[0], args[1], args[2]);
  if (status != 0) {
    std::error_code ignored;
    fs::remove(args[2] + ".cflpack-tmp", ignored);
  }
  return status;
}
