// extract ARCHIVE [DIR]: writes every resource to DIR/name (DIR defaults to ".").
#include <filesystem>
#include <fstream>

#include "archive/CFLArchive.h"
#include "tools/cflpack/Commands.h"

namespace fs = std::filesystem;

namespace {

// A name is written only where it stays inside DIR.
bool SafeName(const std::string& name) {
  if (name.empty() || name.find('\0') != std::string::npos) return false;
  const fs::path path(name);
  if (path.is_absolute() || path.has_root_path()) return false;
  for (const fs::path& part : path)
    if (part == "..") return false;
  return !path.filename().empty();
}

bool Extract(const CFLArchive& archive, const std::string& name, const fs::path& dir) {
  if (!SafeName(name)) {
    Failure("not extracted, the name would leave the folder: " + name);
    return false;
  }
  std::uint32_t size = 0;
  auto data = archive.Read(name.c_str(), size);
  if (!data) {
    Failure("cannot unpack " + name);
    return false;
  }
  const fs::path target = dir / name;
  std::error_code error;
  fs::create_directories(target.parent_path(), error);
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.get()), size);
  out.close();
  if (!out) {
    Failure("cannot write " + target.string());
    return false;
  }
  return true;
}

}  // namespace

int ExtractCommand(const Arguments& args) {
  if (args.empty() || args.size() > 2) return Usage();
  CFLArchive archive;
  if (!archive.Open(args[0].c_str())) return Failure("not a readable archive: " + args[0]);
  const fs::path dir = args.size() == 2 ? fs::path(args[1]) : fs::path(".");
  bool allWritten = true;
  for (const CFLEntryInfo& e : archive.List()) allWritten = Extract(archive, e.name, dir) && allWritten;
  return allWritten ? 0 : 1;
}
