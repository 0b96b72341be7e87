#include "tools/sceneimport/ImportCommand.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "tools/sceneimport/AssimpReader.h"
#include "tools/sceneimport/GltfReader.h"
#include "tools/sceneimport/SceneBuilder.h"

namespace sceneimport {
namespace fs = std::filesystem;
namespace {

const char* kUsage =
    "usage: sceneimport INPUT OUTPUT [--fps N] [--scale S] [--textures DIR] [--frame] [--report]\n";

bool ParseNumber(const char* text, float* value) {
  char* end = nullptr;
  double v = std::strtod(text, &end);
  if (!end || *end != '\0' || !std::isfinite(v)) return false;
  *value = static_cast<float>(v);
  return true;
}

bool IsGltf(const std::string& path) {
  std::string ext = fs::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == ".gltf" || ext == ".glb";
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

std::string TemporaryName(const std::string& path) {
  std::random_device device;
  return path + ".tmp-" + std::to_string(device() % 1000000);
}

}  // namespace

bool ParseImportOptions(int argc, const char* const* argv, ImportOptions* options, std::string* error) {
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](const char* name) -> const char* {
      if (i + 1 >= argc) {
        *error = std::string(name) + " needs a value";
        return nullptr;
      }
      return argv[++i];
    };
    if (arg == "--fps") {
      const char* v = value("--fps");
      if (!v) return false;
      if (!ParseNumber(v, &options->fps) || !(options->fps > 0) || options->fps > 1000) {
        *error = "--fps must be a number above 0 and at most 1000";
        return false;
      }
    } else if (arg == "--scale") {
      const char* v = value("--scale");
      if (!v) return false;
      if (!ParseNumber(v, &options->scale) || !(options->scale > 0)) {
        *error = "--scale must be a number above 0";
        return false;
      }
    } else if (arg == "--textures") {
      const char* v = value("--textures");
      if (!v) return false;
      options->textures = v;
    } else if (arg == "--frame") {
      options->frame = true;
    } else if (arg == "--report") {
      options->report = true;
    } else if (arg.rfind("--", 0) == 0) {
      *error = "unknown option " + arg;
      return false;
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != 2) {
    *error = "expected INPUT and OUTPUT";
    return false;
  }
  options->input = positional[0];
  options->output = positional[1];
  return true;
}

int RunImport(const ImportOptions& options, std::ostream& out, std::ostream& err, ImportReport* reportOut) {
  ImportReport localReport;
  ImportReport& report = reportOut ? *reportOut : localReport;
  auto fail = [&](const std::string& message) {
    err << "sceneimport: " << options.input << ": " << message << "\n";
    return 1;
  };
  std::error_code ec;
  if (!fs::is_regular_file(options.input, ec)) return fail("no such file");
  ImportScene scene;
  std::string error;
  bool read = IsGltf(options.input) ? ReadGltf(options.input, &scene, &report, &error)
                                    : ReadWithAssimp(options.input, &scene, &report, &error);
  if (!read) return fail(error);

  fs::path output = fs::absolute(options.output).lexically_normal();
  fs::path showFolder = output.parent_path();
  fs::path textureFolder = options.textures.empty() ? showFolder : fs::absolute(options.textures).lexically_normal();
  SceneBuilder builder(std::move(scene), options, showFolder.string(), textureFolder.string(), &report);
  if (!builder.Build(&error)) return fail(error);

  // Textures first; on any failure everything written so far is taken back.
  std::vector<std::string> written;
  auto undo = [&]() {
    for (const auto& path : written) fs::remove(path, ec);
  };
  if (!builder.TextureFiles().empty()) {
    fs::create_directories(textureFolder, ec);
    if (ec) return fail("cannot create the texture folder " + textureFolder.string());
  }
  for (const auto& file : builder.TextureFiles()) {
    if (!WriteFile(file.path, file.bytes)) {
      undo();
      fs::remove(file.path, ec);
      return fail("cannot write the texture " + file.path);
    }
    written.push_back(file.path);
  }
  std::string temporary = TemporaryName(output.string());
  if (!builder.Writer().Save(temporary)) {
    fs::remove(temporary, ec);
    undo();
    return fail("cannot write " + output.string());
  }
  fs::rename(temporary, output, ec);
  if (ec) {
    fs::remove(temporary, ec);
    undo();
    return fail("cannot write " + output.string());
  }
  if (options.report || report.HasWarnings()) report.Print(out);
  return 0;
}

int SceneImportMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  ImportOptions options;
  std::string error;
  if (!ParseImportOptions(argc, argv, &options, &error)) {
    err << "sceneimport: " << error << "\n" << kUsage;
    return 2;
  }
  try {
    return RunImport(options, out, err);
  } catch (const std::exception& e) {
    err << "sceneimport: " << options.input << ": " << e.what() << "\n";
    return 1;
  }
}

}  // namespace sceneimport
