#include "tools/sceneimport/TextureLookup.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "text/Text.h"

namespace sceneimport {
namespace {

namespace fs = std::filesystem;
using text::Lower;

// Folders below the model searched, and entries looked at in all, at most: a model
// in a large tree must not make the import crawl the disk.
constexpr int kMaxDepth = 3;
constexpr int kMaxEntries = 20000;

bool IsFile(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

// The entry `name` in `folder`, exactly or ignoring letter case; files only when `file`.
fs::path Entry(const fs::path& folder, const std::string& name, bool file) {
  std::error_code ec;
  auto fits = [&](const fs::path& p) { return file ? IsFile(p) : fs::exists(p, ec); };
  if (fits(folder / name)) return folder / name;
  std::string wanted = Lower(name);
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (Lower(it->path().filename().string()) == wanted && fits(it->path())) return it->path();
  return {};
}

fs::path InFolder(const fs::path& folder, const std::string& name) { return Entry(folder, name, true); }

fs::path Below(const fs::path& folder, const std::string& name, int depth, int* budget) {
  if (depth > kMaxDepth) return {};
  std::error_code ec;
  std::vector<fs::path> folders;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end && --*budget > 0; it.increment(ec))
    if (it->is_directory(ec) && !it->is_symlink(ec)) folders.push_back(it->path());
  std::sort(folders.begin(), folders.end());
  for (const auto& sub : folders) {
    fs::path found = InFolder(sub, name);
    if (!found.empty()) return found;
  }
  for (const auto& sub : folders) {
    fs::path found = Below(sub, name, depth + 1, budget);
    if (!found.empty()) return found;
  }
  return {};
}

}  // namespace

std::string FindTextureFile(const std::string& modelFolder, const std::string& reference) {
  std::string local = reference;
  std::replace(local.begin(), local.end(), '\\', '/');
  if (local.empty()) return {};
  fs::path folder = modelFolder.empty() ? fs::path(".") : fs::path(modelFolder);
  fs::path given(local);
  fs::path asWritten = given.is_absolute() ? given : folder / given;
  if (IsFile(asWritten)) return asWritten.string();
  // The same path with the letter case of each part ignored; a path from the root
  // of another machine ("\..\textures\a.jpg") is tried from the model's folder.
  {
    fs::path at = folder;
    for (const auto& part : given.relative_path()) {
      at = part == "." || part == ".." ? at / part : Entry(at, part.string(), false);
      if (at.empty()) break;
    }
    if (!at.empty() && IsFile(at)) return at.string();
  }
  // The last folder of a path from another machine ("D:\art\maps\a.jpg") may be a
  // folder beside the model's own ("../maps/a.jpg").
  if (given.has_parent_path() && given.parent_path().has_filename()) {
    fs::path sibling = Entry(folder / "..", given.parent_path().filename().string(), false);
    if (!sibling.empty()) {
      fs::path found = InFolder(sibling, given.filename().string());
      if (!found.empty()) return found.string();
    }
  }
  std::string name = given.filename().string();
  // A Windows drive path read on Linux keeps the drive in its one "file name".
  std::size_t colon = name.find(':');
  if (colon != std::string::npos) name = name.substr(colon + 1);
  if (name.empty()) return {};
  fs::path beside = InFolder(folder, name);
  if (!beside.empty()) return beside.string();
  int budget = kMaxEntries;
  fs::path below = Below(folder, name, 1, &budget);
  return below.empty() ? std::string() : below.string();
}

}  // namespace sceneimport
