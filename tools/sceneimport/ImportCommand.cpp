#include "tools/sceneimport/ImportCommand.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "text/Text.h"
#include "tools/sceneimport/AssimpReader.h"
#include "tools/sceneimport/GltfReader.h"
#include "tools/sceneimport/ImportLimits.h"
#include "tools/sceneimport/SceneBuilder.h"

namespace sceneimport {
namespace fs = std::filesystem;
namespace {

const char* kUsage =
    "usage: sceneimport INPUT OUTPUT [--fps N] [--scale S] [--textures DIR] [--frame] [--camera NAME]\n"
    "                   [--light-scale F] [--report] [--help]\n";

const char* kHelp =
    "Turns a model (glTF, FBX, Collada, 3DS, OBJ and whatever else assimp reads) into a scene file\n"
    "for the player, with its textures beside it.\n"
    "  --fps N          keys and vertex frames per second of baked animation (default 30)\n"
    "  --scale S        multiplies every length (default 1)\n"
    "  --textures DIR   where the textures go (default: beside OUTPUT)\n"
    "  --frame          adds a camera that shows the whole model over its whole animation and\n"
    "                   makes it the one the scene starts with; adds a light when the model has none.\n"
    "                   The model's own cameras stay in the scene by name (setactivecamera).\n"
    "  --camera NAME    starts with the model's camera NAME instead of its first one\n"
    "  --light-scale F  multiplies the intensity of the model's lights (default 1)\n"
    "  --report         lists what was made and everything dropped or approximated\n"
    "An import runs in at most 2 GiB of memory and 120 seconds of processor time.\n"
    "Exit status: 0 written, 1 the model could not be imported, 2 a bad command line.\n";

bool ParseNumber(const char* text, float* value) {
  char* end = nullptr;
  double v = std::strtod(text, &end);
  if (!end || *end != '\0' || !std::isfinite(v)) return false;
  *value = static_cast<float>(v);
  return true;
}

bool IsGltf(const std::string& path) {
  const std::string ext = text::Lower(fs::path(path).extension().string());
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
    } else if (arg == "--camera") {
      const char* v = value("--camera");
      if (!v) return false;
      options->camera = v;
    } else if (arg == "--light-scale") {
      const char* v = value("--light-scale");
      if (!v) return false;
      if (!ParseNumber(v, &options->lightScale) || !(options->lightScale >= 0)) {
        *error = "--light-scale must be a number of at least 0";
        return false;
      }
    } else if (arg == "--help" || arg == "-h") {
      options->help = true;
      return true;
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
  if (options->frame && !options->camera.empty()) {
    *error = "--frame and --camera each choose the starting camera: give one of them";
    return false;
  }
  return true;
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return fs::equivalent(a, b, ec);
}

int RunImport(const ImportOptions& options, std::ostream& out, std::ostream& err, ImportReport* reportOut) {
  ImportReport localReport;
  ImportReport& report = reportOut ? *reportOut : localReport;
  auto fail = [&](const std::string& message) {
    err << "sceneimport: " << options.input << ": " << message << "\n";
    return 1;
  };
  std::error_code ec;
  if (fs::is_directory(options.input, ec)) return fail("is a folder, not a model file");
  if (!fs::exists(options.input, ec)) return fail("no such file");
  if (!fs::is_regular_file(options.input, ec)) return fail("is not a plain file");
  ImportScene scene;
  std::string error;
  // glTF 1.0 has another structure altogether, and skins come with their bones
  // through assimp; assimp reads both.
  bool read = IsGltf(options.input) && !IsGltfVersion1(options.input) && !GltfHasSkins(options.input)
                  ? ReadGltf(options.input, &scene, &report, &error)
                  : ReadWithAssimp(options.input, &scene, &report, &error);
  if (!read) return fail(error);

  fs::path output = fs::absolute(options.output).lexically_normal();
  fs::path showFolder = output.parent_path();
  fs::path textureFolder = options.textures.empty() ? showFolder : fs::absolute(options.textures).lexically_normal();
  SceneBuilder builder(std::move(scene), options, showFolder.string(), textureFolder.string(), &report);
  if (!builder.Build(&error)) return fail(error);
  if (report.counts.triangles == 0) {
    report.Print(err);
    return fail("nothing drawable: the model has no triangles the player can draw (see the warnings above)");
  }

  // Nothing replaces the model or a picture it is made from.
  for (const auto& file : builder.TextureFiles())
    if (SameFile(file.path, options.input)) return fail("a texture would be written over the model itself: " + file.path);
  if (!builder.TextureFiles().empty()) {
    fs::create_directories(textureFolder, ec);
    if (ec) return fail("cannot create the texture folder " + textureFolder.string());
  }
  // Every file goes to a temporary name first; only when all are written do they
  // take their names, so a failed import leaves nothing behind and replaces nothing.
  std::vector<std::pair<std::string, std::string>> staged;  // temporary, final
  auto undo = [&]() {
    for (const auto& [temporary, final] : staged) fs::remove(temporary, ec);
  };
  for (const auto& file : builder.TextureFiles()) {
    std::string temporary = TemporaryName(file.path);
    staged.emplace_back(temporary, file.path);
    if (!WriteFile(temporary, file.bytes)) {
      undo();
      return fail("cannot write the texture " + file.path);
    }
  }
  std::string temporary = TemporaryName(output.string());
  staged.emplace_back(temporary, output.string());
  if (!builder.Writer().Save(temporary)) {
    undo();
    return fail("cannot write " + output.string());
  }
  for (const auto& [from, to] : staged) {
    fs::rename(from, to, ec);
    if (ec) {
      undo();
      return fail("cannot write " + to);
    }
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
  if (options.help) {
    out << kUsage << kHelp;
    return 0;
  }
  // Writing the scene would replace the model it is made from; compared by
  // identity, so another spelling or a hard link of the same file counts.
  if (SameFile(options.input, options.output)) {
    err << "sceneimport: refusing to write " << options.output << ": it is the input model itself\n";
    return 2;
  }
  ApplyImportLimits(options.input);
  KeepFreedMemory();
  try {
    return RunImport(options, out, err);
  } catch (const std::bad_alloc&) {
    err << "sceneimport: " << options.input << ": " << OutOfMemoryMessage() << "\n";
    return 1;
  } catch (const std::exception& e) {
    err << "sceneimport: " << options.input << ": " << e.what() << "\n";
    return 1;
  }
}

}  // namespace sceneimport
