#include "platform/Subprocess.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <thread>
#include <utility>

extern char** environ;

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// posix_spawn attributes and file actions for a detached program of its own session, quiet.
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
    for (int signal : {SIGPIPE, SIGCHLD, SIGINT, SIGTERM, SIGHUP}) sigaddset(&defaults, signal);
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

void CloseFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

// Starts `argv` in a session of its own that dies with this process. `in` and `out` become its
// standard input and output (-1: /dev/null); its errors go to /dev/null. The child's pid, or -1
// when it could not be started (the program missing or not executable included).
pid_t SpawnTied(const std::vector<std::string>& argv, int in, int out,
                const std::vector<std::string>& environment) {
  if (argv.empty()) return -1;
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  // Our environment with the given entries in place of those of the same names.
  std::vector<char*> env;
  for (char** entry = environ; *entry; ++entry) {
    const std::string_view name(*entry, std::strcspn(*entry, "="));
    const bool replaced =
        std::any_of(environment.begin(), environment.end(), [&](const std::string& e) {
          return e.size() > name.size() && e[name.size()] == '=' &&
                 e.compare(0, name.size(), name) == 0;
        });
    if (!replaced) env.push_back(*entry);
  }
  for (const std::string& e : environment) env.push_back(const_cast<char*>(e.c_str()));
  env.push_back(nullptr);
  const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
  int failure[2];  // tells the parent why exec failed; closed by a successful exec
  if (null < 0 || pipe2(failure, O_CLOEXEC) != 0) {
    if (null >= 0) close(null);
    return -1;
  }
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid == 0) {
    // Only async-signal-safe calls from here on: the parent may have other threads.
    setsid();
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);  // the parent ended before the line above
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGCHLD})
      sigaction(signal, &defaults, nullptr);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    dup2(in >= 0 ? in : null, 0);
    dup2(out >= 0 ? out : null, 1);
    dup2(null, 2);
    const int report = fcntl(failure[1], F_DUPFD_CLOEXEC, 3);
    // Nothing else of ours (pipes of other children, files) reaches the program.
    syscall(SYS_close_range, 3, report - 1, 0);
    syscall(SYS_close_range, report + 1, UINT_MAX, 0);
    execve(args[0], args.data(), env.data());
    const int error = errno;
    (void)!write(report, &error, sizeof error);
    _exit(127);
  }
  close(null);
  close(failure[1]);
  if (pid < 0) {
    close(failure[0]);
    return -1;
  }
  int error = 0;
  ssize_t n;
  while ((n = read(failure[0], &error, sizeof error)) < 0 && errno == EINTR) {
  }
  close(failure[0]);
  if (n > 0) {
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    return -1;
  }
  return pid;
}

// A descriptor that becomes readable when `pid` ends, or -1 where the kernel has none.
int OpenPidFd(pid_t pid) {
#ifdef SYS_pidfd_open
  return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
#else
  (void)pid;
  return -1;
#endif
}

int MillisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return static_cast<int>(std::clamp<long long>(left, 0, INT_MAX));
}

// Waits until the child `pid` ends or `deadline` passes; true with its status when it ended.
bool WaitUntil(pid_t pid, Clock::time_point deadline, int& status) {
  int ended = OpenPidFd(pid);
  bool done = false;
  for (;;) {
    const pid_t got = waitpid(pid, &status, WNOHANG);
    if (got == pid || (got < 0 && errno != EINTR)) {
      if (got < 0) status = -1;
      done = true;
      break;
    }
    const int wait = MillisecondsUntil(deadline);
    if (wait == 0) break;
    if (ended >= 0) {
      pollfd polled{ended, POLLIN, 0};
      poll(&polled, 1, wait);
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(std::min(wait, 10)));
    }
  }
  if (ended >= 0) close(ended);
  return done;
}

void Reap(pid_t pid, int& status) {
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
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

RunOutcome RunWithTimeLimit(const std::vector<std::string>& argv, std::chrono::milliseconds limit,
                            const std::vector<std::string>& environment) {
  RunOutcome outcome;
  const auto deadline = Clock::now() + limit;
  const pid_t pid = SpawnTied(argv, -1, -1, environment);
  if (pid <= 0) return outcome;
  const InterruptCleanup cleanup = InterruptCleanup::ProcessGroup(pid);
  outcome.Started = true;
  int status = 0;
  const bool ended = WaitUntil(pid, deadline, status);
  // Helpers the program started in its group must not outlive it.
  kill(-pid, SIGKILL);
  if (!ended) {
    Reap(pid, status);
    outcome.TimedOut = true;
    return outcome;
  }
  if (status != -1 && WIFEXITED(status)) outcome.ExitCode = WEXITSTATUS(status);
  return outcome;
}

ChildProgram::ChildProgram(ChildProgram&& other) noexcept {
  *this = std::move(other);
}

ChildProgram& ChildProgram::operator=(ChildProgram&& other) noexcept {
  if (this == &other) return *this;
  Stop();
  pid_ = std::exchange(other.pid_, -1);
  in_ = std::exchange(other.in_, -1);
  out_ = std::exchange(other.out_, -1);
  pending_ = std::move(other.pending_);
  timedOut_ = other.timedOut_;
  exitCode_ = other.exitCode_;
  cleanup_ = std::move(other.cleanup_);
  return *this;
}

bool ChildProgram::Start(const std::vector<std::string>& argv, bool pipes,
                         const std::vector<std::string>& environment) {
  Stop();
  exitCode_ = -1;
  timedOut_ = false;
  int toChild[2] = {-1, -1};
  int fromChild[2] = {-1, -1};
  if (pipes && (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0)) {
    for (int fd : {toChild[0], toChild[1]})
      if (fd >= 0) close(fd);
    return false;
  }
  pid_ = SpawnTied(argv, toChild[0], fromChild[1], environment);
  for (int fd : {toChild[0], fromChild[1]})
    if (fd >= 0) close(fd);
  in_ = toChild[1];
  out_ = fromChild[0];
  if (pid_ <= 0) {
    pid_ = -1;
    CloseFd(in_);
    CloseFd(out_);
    return false;
  }
  cleanup_ = InterruptCleanup::ProcessGroup(pid_);
  return true;
}

bool ChildProgram::Write(std::string_view bytes) {
  if (in_ < 0) return false;
  while (!bytes.empty()) {
    // MSG_NOSIGNAL exists for sockets only: a closed pipe is told by EPIPE with SIGPIPE
    // blocked for this thread meanwhile.
    sigset_t pipeSignal, previous;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    const ssize_t n = write(in_, bytes.data(), bytes.size());
    const int error = errno;
    if (n < 0 && error == EPIPE) {
      const timespec now{0, 0};
      sigtimedwait(&pipeSignal, nullptr, &now);  // the pending SIGPIPE is taken away
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (n < 0 && error == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

std::optional<std::string> ChildProgram::ReadLine(Clock::time_point deadline) {
  timedOut_ = false;
  for (;;) {
    if (const size_t end = pending_.find('\n'); end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return line;
    }
    if (out_ < 0) return std::nullopt;
    pollfd polled{out_, POLLIN, 0};
    const int ready = poll(&polled, 1, MillisecondsUntil(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) {
      timedOut_ = true;
      return std::nullopt;
    }
    char buffer[4096];
    const ssize_t n = read(out_, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      CloseFd(out_);
      return std::nullopt;
    }
    pending_.append(buffer, static_cast<size_t>(n));
  }
}

bool ChildProgram::Ended() {
  if (pid_ <= 0) return true;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) != pid_) return false;
  if (WIFEXITED(status)) exitCode_ = WEXITSTATUS(status);
  kill(-pid_, SIGKILL);  // what it left running in its group
  pid_ = -1;
  cleanup_.Release();
  return true;
}

void ChildProgram::Stop() {
  CloseFd(in_);
  CloseFd(out_);
  pending_.clear();
  if (pid_ > 0) {
    kill(-pid_, SIGKILL);
    int status = 0;
    Reap(pid_, status);
  }
  pid_ = -1;
  cleanup_.Release();
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
