// create OUT [--filter F] PATH...: stores files under the names loaders ask for.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "archive/BinaryFileReader.h"
#include "archive/CFLArchiveWriter.h"
#include "tools/cflpack/Commands.h"
#include "tools/cflpack/FilterNames.h"

namespace fs = std::filesystem;

namespace {

struct Input {
  std::string name;  // name in the archive
  fs::path source;
};

struct CreateOptions {
  std::string out;
  std::vector<std::string> paths;
  std::string filter = "zlib";
};

bool ParseOptions(const Arguments& args, CreateOptions& options) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--filter") {
      if (++i == args.size()) return false;
      options.filter = args[i];
    } else if (a.rfind("--filter=", 0) == 0) {
      options.filter = a.substr(9);
    } else if (options.out.empty()) {
      options.out = a;
    } else {
      options.paths.push_back(a);
    }
  }
  return !options.out.empty() && !options.paths.empty();
}

bool SameFile(const fs::path& a, const fs::path& b) {
  std::error_code error;
  return fs::equivalent(a, b, error);
}

// The files a PATH names, with their archive names, sorted by name.
bool Collect(const std::string& path, const fs::path& out, std::vector<Input>& inputs) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (fs::is_regular_file(status)) {
    inputs.push_back({fs::path(path).filename().string(), path});
    return true;
  }
  if (!fs::is_directory(status)) {
    Failure("no such file or folder: " + path);
    return false;
  }
  std::vector<Input> found;
  fs::recursive_directory_iterator it(path, fs::directory_options::follow_directory_symlink, error);
  for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (!it->is_regular_file(error) || SameFile(it->path(), out)) continue;
    found.push_back({it->path().lexically_relative(path).generic_string(), it->path()});
  }
  if (error) {
    Failure("cannot read folder " + path + ": " + error.message());
    return false;
  }
  std::sort(found.begin(), found.end(),
            [](const Input& a, const Input& b) { return a.name < b.name; });
  inputs.insert(inputs.end(), found.begin(), found.end());
  return true;
}

// Later inputs of the same name replace earlier ones, as a reader would.
void DropRepeatedNames(std::vector<Input>& inputs) {
  std::vector<Input> kept;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    const bool repeatedLater =
        std::any_of(inputs.begin() + static_cast<std::ptrdiff_t>(i) + 1, inputs.end(),
                    [&](const Input& later) { return later.name == inputs[i].name; });
    if (repeatedLater) {
      std::fprintf(stderr, "cflpack: warning: %s given twice; the later file is stored\n",
                   inputs[i].name.c_str());
    } else {
      kept.push_back(inputs[i]);
    }
  }
  inputs.swap(kept);
}

int Write(const CreateOptions& options, const std::vector<Input>& inputs,
          const std::vector<std::uint32_t>& chains) {
  std::ofstream out(options.out, std::ios::binary | std::ios::trunc);
  if (!out) return Failure("cannot write " + options.out);
  CFLArchiveWriter writer(out);
  for (const Input& input : inputs) {
    BinaryFileReader file(input.source.c_str());
    if (!file.IsOpen()) return Failure("cannot read " + input.source.string());
    if (file.Size() > static_cast<std::int64_t>(UINT32_MAX))
      return Failure("file too large to store: " + input.source.string());
    std::uint64_t length = 0;
    auto data = file.ReadAll(length);
    if (!data || length != static_cast<std::uint64_t>(file.Size()))
      return Failure("cannot read " + input.source.string());
    if (!writer.Add(input.name, data.get(), static_cast<std::uint32_t>(length), chains))
      return Failure(input.name + ": " + writer.Error());
  }
  if (!writer.Finish(CFLAllFilterChains())) return Failure(writer.Error());
  out.close();
  if (!out) return Failure("cannot write " + options.out);
  std::printf("%s: %zu files, %llu bytes\n", options.out.c_str(), inputs.size(),
              static_cast<unsigned long long>(writer.Size()));
  return 0;
}

}  // namespace

int CreateCommand(const Arguments& args) {
  CreateOptions options;
  if (!ParseOptions(args, options)) return Usage();
  const std::vector<std::uint32_t> chains = FilterChainsForOption(options.filter);
  if (chains.empty()) return Failure("unknown filter: " + options.filter);

  std::vector<Input> inputs;
  for (const std::string& path : options.paths)
    if (!Collect(path, options.out, inputs)) return 1;
  DropRepeatedNames(inputs);
  // Truncating OUT would empty an input first; compared by identity, so another
  // spelling or a link of the same file counts.
  for (const Input& input : inputs) {
    if (SameFile(input.source, options.out))
      return Failure("refusing to write " + options.out + ": it is also the input " +
                     input.source.string());
  }
  for (const Input& input : inputs) {
    if (input.name.size() > 0xFFFF)
      return Failure("name longer than 65535 bytes cannot be stored: " + input.name.substr(0, 60) +
                     "...");
  }
  const int status = Write(options, inputs, chains);
  if (status != 0) {
    std::error_code ignored;
    fs::remove(options.out, ignored);
  }
  return status;
}
