#include "platform/Subprocess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <thread>

extern char** environ;

namespace platform {
namespace {

// posix_spawn attributes and file actions for a program of its own session, quiet.
class SpawnSetup {
 public:
  SpawnSetup() {
    posix_spawnattr_init(&attr_);
    posix_spawn_file_actions_init(&actions_);
    posix_spawnattr_setflags(&attr_,
                             POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attr_, &none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGCHLD);
    posix_spawnattr_setsigdefault(&attr_, &defaults);
    for (int fd = 0; fd <= 2; ++fd) {
      posix_spawn_file_actions_addopen(&actions_, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY,
                                       0);
    }
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attr_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  // The child's pid, or -1.
  pid_t Spawn(const std::vector<std::string>& argv) {
    if (argv.empty()) return -1;
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, args[0], &actions_, &attr_, args.data(), environ) != 0) return -1;
    return pid;
  }

 private:
  posix_spawnattr_t attr_;
  posix_spawn_file_actions_t actions_;
};

bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string FindOnPath(const std::string& name) {
  if (name.empty()) return {};
  if (name.find('/') != std::string::npos) return IsExecutableFile(name) ? name : std::string();
  const char* path = std::getenv("PATH");
  std::string_view folders = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
  while (true) {
    const size_t colon = folders.find(':');
    const std::string_view folder = folders.substr(0, colon);
    std::string candidate(folder.empty() ? std::string_view(".") : folder);
    candidate += '/';
    candidate += name;
    if (IsExecutableFile(candidate)) return candidate;
    if (colon == std::string_view::npos) return {};
    folders.remove_prefix(colon + 1);
  }
}

RunOutcome RunWithTimeLimit(const std::vector<std::string>& argv, std::chrono::milliseconds limit) {
  RunOutcome outcome;
  SpawnSetup setup;
  const pid_t pid = setup.Spawn(argv);
  if (pid <= 0) return outcome;
  outcome.Started = true;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  auto pause = std::chrono::milliseconds(5);
  int status = 0;
  for (;;) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) {
      status = -1;
      break;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(-pid, SIGKILL);
      while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      outcome.TimedOut = true;
      return outcome;
    }
    std::this_thread::sleep_for(pause);
    if (pause < std::chrono::milliseconds(50)) pause *= 2;
  }
  // Helpers the program started in its group must not outlive it.
  kill(-pid, SIGKILL);
  if (status != -1 && WIFEXITED(status)) outcome.ExitCode = WEXITSTATUS(status);
  return outcome;
}

bool StartDetached(const std::vector<std::string>& argv) {
  if (argv.empty()) return false;
  // A shell of its own session starts the program in the background and ends at once; the
  // program is then adopted by init and never waits as a zombie of ours. The arguments reach it
  // as positional parameters, never as shell text.
  std::vector<std::string> args = {"/bin/sh", "-c", "\"$0\" \"$@\" &"};
  args.insert(args.end(), argv.begin(), argv.end());
  SpawnSetup setup;
  const pid_t pid = setup.Spawn(args);
  if (pid <= 0) return false;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace platform
