#include "support/RunProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& workingDir, const std::vector<std::string>& environment,
                         int timeoutSeconds) {
  ProcessResult result;
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return result;
  pid_t pid = fork();
  if (pid == 0) {
    dup2(pipeFds[1], 1);
    dup2(pipeFds[1], 2);
    close(pipeFds[0]);
    close(pipeFds[1]);
    if (!workingDir.empty() && chdir(workingDir.c_str()) != 0) _exit(127);
    for (const auto& assignment : environment) {
      // "NAME=" removes the variable rather than setting it empty.
      if (!assignment.empty() && assignment.back() == '=')
        unsetenv(assignment.substr(0, assignment.size() - 1).c_str());
      else
        putenv(const_cast<char*>(assignment.c_str()));
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(pipeFds[1]);
  fcntl(pipeFds[0], F_SETFL, O_NONBLOCK);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  int status = 0;
  bool exited = false;
  char buffer[4096];
  while (true) {
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) result.output.append(buffer, n);
    if (exited) break;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      exited = true;  // one more read for what is left in the pipe
      continue;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      result.output += "\n[killed after timeout]\n";
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  close(pipeFds[0]);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}
