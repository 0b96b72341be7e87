#include "app/VideoMux.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

extern char** environ;

namespace {

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::string dirs(path);
  std::size_t start = 0;
  while (start <= dirs.size()) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string dir = dirs.substr(start, end - start);
    std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

std::vector<std::string> MuxArguments(const std::string& directory, int fps) {
  return {"ffmpeg", "-nostdin", "-y", "-framerate", std::to_string(fps),
          "-i", directory + "/frame-%06d.png", "-i", directory + "/audio.wav",
          "-c:v", "libx264", "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest",
          directory + "/show.mp4"};
}

std::string Quoted(const std::string& word) {
  if (word.find_first_of(" \t'\"$\\;&|<>()*?") == std::string::npos) return word;
  std::string out = "'";
  for (char c : word) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  out += '\'';
  return out;
}

}  // namespace

std::string MuxCommandLine(const std::string& directory, int fps) {
  std::string line;
  for (const std::string& word : MuxArguments(directory, fps)) {
    if (word == "-nostdin") continue;
    if (!line.empty()) line += ' ';
    line += Quoted(word);
  }
  return line;
}

MuxResult MuxShowVideo(const std::string& directory, int fps) {
  if (!OnPath("ffmpeg")) return MuxResult::NoFfmpeg;
  std::vector<std::string> words = MuxArguments(directory, fps);
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  int spawned = posix_spawnp(&pid, "ffmpeg", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return MuxResult::Failed;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? MuxResult::Done : MuxResult::Failed;
}
