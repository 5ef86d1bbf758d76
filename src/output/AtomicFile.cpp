#include "output/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>

namespace output {
namespace {

std::string Reason(int error) {
  return std::strerror(error);
}

// The file a path finally names: symbolic links followed as far as they resolve.
std::string ResolveTarget(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) return path;
  return resolved;
}

// Creates a fresh file beside `target`; returns its descriptor and fills `tempPath`.
int CreateTempBeside(const std::string& target, std::string& tempPath) {
  size_t slash = target.rfind('/');
  std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  std::random_device seed;
  std::mt19937 random(seed());
  constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string suffix;
    for (int i = 0; i < 8; ++i) suffix.push_back(kDigits[random() % 36]);
    tempPath = folder + "." + name + "." + suffix + ".tmp";
    int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

}  // namespace

std::string CannotCreateMessage(const std::string& path, const std::string& reason) {
  return "Cannot create file \"" + path + "\". " + reason;
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  std::string target = ResolveTarget(path);
  struct stat existing {};
  bool hadFile = stat(target.c_str(), &existing) == 0;
  if (hadFile && S_ISDIR(existing.st_mode))
    throw SaveError(CannotCreateMessage(path, Reason(EISDIR)));

  std::string tempPath;
  int fd = CreateTempBeside(target, tempPath);
  if (fd < 0) throw SaveError(CannotCreateMessage(path, Reason(errno)));

  bool ok = WriteAll(fd, bytes);
  if (ok && hadFile) ok = fchmod(fd, existing.st_mode & 07777) == 0;
  if (ok) ok = fsync(fd) == 0;
  int error = errno;
  if (close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && rename(tempPath.c_str(), target.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    unlink(tempPath.c_str());
    throw SaveError(CannotCreateMessage(path, Reason(error)));
  }
}

}  // namespace output
