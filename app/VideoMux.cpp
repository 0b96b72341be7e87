#include "app/VideoMux.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
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

// ffmpeg reads the input name as a pattern: a '%' of the folder's own is doubled.
std::string FramePattern(const std::string& directory) {
  std::string out;
  for (char c : directory) {
    out += c;
    if (c == '%') out += '%';
  }
  return out + "/frame-%06d.png";
}

std::vector<std::string> MuxArguments(const std::string& directory, FrameRate fps,
                                      const std::string& video, std::int64_t firstFrame) {
  // -n: a file of the same name is never overwritten (the run checked it was not there).
  return {"ffmpeg", "-nostdin", "-n", "-framerate", fps.text(),
          "-start_number", std::to_string(firstFrame), "-i", FramePattern(directory),
          "-i", directory + "/audio.wav",
          "-c:v", "libx264", "-pix_fmt", "yuv420p", "-vf", "pad=ceil(iw/2)*2:ceil(ih/2)*2",
          "-c:a", "aac", "-shortest", video};
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

std::string MuxCommandLine(const std::string& directory, FrameRate fps, const std::string& video,
                           std::int64_t firstFrame) {
  std::string line;
  for (const std::string& word : MuxArguments(directory, fps, video, firstFrame)) {
    if (word == "-nostdin") continue;
    if (!line.empty()) line += ' ';
    line += Quoted(word);
  }
  return line;
}

bool FfmpegOnPath() { return OnPath("ffmpeg"); }

MuxResult MuxShowVideo(const std::string& directory, FrameRate fps, const std::string& video,
                       std::int64_t firstFrame) {
  if (!OnPath("ffmpeg")) return MuxResult::NoFfmpeg;
  std::vector<std::string> words = MuxArguments(directory, fps, video, firstFrame);
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
    if (errno != EINTR) return MuxResult::Failed;  // no child to wait for: never spin
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? MuxResult::Done : MuxResult::Failed;
}
