#include "platform/WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

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

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  // istream::read turns read errors into badbit; iterating the buffer directly would throw.
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text;
  char chunk[8192];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
    text.append(chunk, static_cast<size_t>(in.gcount()));
  if (in.bad()) return std::nullopt;
  return text;
}

int WriteFileAtomically(const std::string& path, std::string_view bytes, Durability durability) {
  std::filesystem::path target(path);
  std::error_code error;
  if (std::filesystem::is_symlink(target, error)) {
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(target, error);
    if (!error) target = resolved;
  }

  std::string tempPath;
  const int fd = CreateTemporaryBeside(target, tempPath);
  if (fd < 0) return LastError();

  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  int failure = 0;
  if (exists && ::fchmod(fd, existing.st_mode & 07777) != 0) failure = LastError();
  if (!failure && !WriteAll(fd, bytes)) failure = LastError();
  if (!failure && durability == Durability::Flushed && ::fsync(fd) != 0) failure = LastError();
  if (::close(fd) != 0 && !failure) failure = LastError();
  if (!failure && ::rename(tempPath.c_str(), target.c_str()) != 0) failure = LastError();
  if (failure) {
    ::unlink(tempPath.c_str());
    return failure;
  }
  return 0;
}

}  // namespace platform
