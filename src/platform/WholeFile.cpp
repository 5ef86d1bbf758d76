#include "platform/WholeFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>

#include "platform/FileOpenError.h"
#include "platform/Interrupts.h"

namespace platform {
namespace {

// Opens a new, uniquely named file beside `target`; -1 with errno set when none can be made.
int CreateTemporaryBeside(const std::filesystem::path& target, std::string& tempPath) {
  std::random_device seed;
  std::mt19937_64 random(static_cast<uint64_t>(seed()) << 32 | seed());
  const std::filesystem::path folder = target.parent_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%016llx", static_cast<unsigned long long>(random()));
    const std::filesystem::path name = "." + target.filename().string() + suffix + ".tmp";
    tempPath = (folder.empty() ? name : folder / name).string();
    const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// errno, never 0: a failed step always reports a reason.
int LastError() {
  return errno ? errno : EIO;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// A pipe whose reader goes away raises SIGPIPE, which would end the program; while this lives
// the write fails with EPIPE instead, and a SIGPIPE it caused is taken back.
class SigpipeHeld {
 public:
  SigpipeHeld() {
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    wasPending_ = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipe_, &saved_);
  }
  ~SigpipeHeld() {
    if (!wasPending_) {
      const timespec none{};
      while (sigtimedwait(&pipe_, nullptr, &none) == -1 && errno == EINTR) {
      }
    }
    pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
  }
  SigpipeHeld(const SigpipeHeld&) = delete;
  SigpipeHeld& operator=(const SigpipeHeld&) = delete;

 private:
  sigset_t pipe_{}, saved_{};
  bool wasPending_ = false;
};

enum class Target { Replace, WriteThrough, Refuse };

Target TargetKind(mode_t mode) {
  if (S_ISREG(mode)) return Target::Replace;
  if (S_ISCHR(mode) || S_ISFIFO(mode)) return Target::WriteThrough;
  return Target::Refuse;
}

int RefusalError(mode_t mode) {
  return S_ISDIR(mode) ? EISDIR : EINVAL;
}

// Writes into an existing device or pipe as it is. -1 when the name turned out to be a regular
// file after all (replaced meanwhile): the caller then replaces it as one.
int WriteThrough(const std::string& path, std::string_view bytes) {
  int fd;
  do {
    // A pipe without a reader fails with ENXIO here instead of waiting for one.
    fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return LastError();
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    const int error = LastError();
    ::close(fd);
    return error;
  }
  if (TargetKind(info.st_mode) != Target::WriteThrough) {
    ::close(fd);
    return S_ISREG(info.st_mode) ? -1 : RefusalError(info.st_mode);
  }
  // Once open, a pipe takes the bytes at its reader's pace.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  int failure = 0;
  {
    const SigpipeHeld held;
    if (!WriteAll(fd, bytes)) failure = LastError();
  }
  if (::close(fd) != 0 && !failure && errno != EINTR) failure = LastError();
  return failure;
}

int Replace(const std::string& path, std::string_view bytes, Durability durability) {
  std::filesystem::path target(path);
  std::error_code error;
  if (std::filesystem::is_symlink(target, error)) {
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(target, error);
    if (!error) target = resolved;
  }

  std::string tempPath;
  const int fd = CreateTemporaryBeside(target, tempPath);
  if (fd < 0) return LastError();
  // An interrupt while the bytes go out removes the hidden temporary; once renamed it is the
  // target and is forgotten.
  InterruptCleanup removeOnInterrupt = InterruptCleanup::File(tempPath);

  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  int failure = 0;
  if (exists && ::fchmod(fd, existing.st_mode & 07777) != 0) failure = LastError();
  if (!failure && !WriteAll(fd, bytes)) failure = LastError();
  if (!failure && durability == Durability::Flushed && ::fsync(fd) != 0) failure = LastError();
  if (::close(fd) != 0 && !failure) failure = LastError();
  if (!failure && ::rename(tempPath.c_str(), target.c_str()) != 0) failure = LastError();
  removeOnInterrupt.Release();
  if (failure) {
    ::unlink(tempPath.c_str());
    return failure;
  }
  return 0;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path, uint64_t maxBytes) {
  try {
    return ReadInputFile(path, maxBytes);
  } catch (const FileOpenError& e) {
    errno = e.Error() != 0 ? e.Error() : EIO;
    return std::nullopt;
  }
}

int WriteFileAtomically(const std::string& path, std::string_view bytes, Durability durability) {
  // The target as it is now, links followed: a device or a pipe is written into, never replaced.
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) {
    switch (TargetKind(info.st_mode)) {
      case Target::Refuse:
        return RefusalError(info.st_mode);
      case Target::WriteThrough:
        if (const int result = WriteThrough(path, bytes); result >= 0) return result;
        break;
      case Target::Replace:
        break;
    }
  }
  return Replace(path, bytes, durability);
}

std::string WriteFailureReason(const std::string& path, int error) {
  struct stat info {};
  const bool exists = ::stat(path.c_str(), &info) == 0;
  if (exists && S_ISFIFO(info.st_mode) && error == ENXIO)
    return "No program is reading from the named pipe (FIFO).";
  if (exists && error == EINVAL) {
    if (S_ISSOCK(info.st_mode)) return "It is a socket; nothing is written to it.";
    if (S_ISBLK(info.st_mode)) return "It is a block device; nothing is written to it.";
  }
  return std::strerror(error);
}

}  // namespace platform
