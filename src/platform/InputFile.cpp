#include "platform/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/FileOpenError.h"

namespace platform {
namespace {

// Why a file of this type is not read; nothing for a regular file.
std::optional<InputProblem> TypeProblem(mode_t mode) {
  if (S_ISREG(mode)) return std::nullopt;
  if (S_ISDIR(mode)) return InputProblem{EISDIR, "It is a folder, not a file."};
  const char* what = S_ISFIFO(mode)   ? "a named pipe (FIFO)"
                     : S_ISSOCK(mode) ? "a socket"
                     : S_ISCHR(mode)  ? "a character device"
                     : S_ISBLK(mode)  ? "a block device"
                                      : "a special file";
  return InputProblem{EINVAL, std::string("It is ") + what + ", not a regular file."};
}

InputProblem TooLarge(uint64_t size, uint64_t maxBytes) {
  std::string have = DescribeSize(size), limit = DescribeSize(maxBytes);
  // Just over the limit, the rounded figures are the same: the bytes tell them apart.
  if (have == limit) {
    have = std::to_string(size) + " bytes";
    limit = std::to_string(maxBytes) + " bytes";
  }
  return {EFBIG, "The file is too large: " + have + ", more than the limit of " + limit + "."};
}

InputProblem FromErrno(int error) {
  if (error == 0) error = EIO;
  return {error, std::strerror(error)};
}

std::optional<InputProblem> CheckStatus(const struct stat& info, uint64_t maxBytes) {
  if (std::optional<InputProblem> problem = TypeProblem(info.st_mode)) return problem;
  const auto size = static_cast<uint64_t>(info.st_size);
  if (size > maxBytes) return TooLarge(size, maxBytes);
  return std::nullopt;
}

// Opens a regular file within the limit: the descriptor, or -1 with `problem` set. The type is
// looked at before the file is opened (opening a device may have effects of its own) and again on
// the open descriptor, in case the name was replaced in between; the open never waits (a FIFO
// put in place meanwhile would otherwise wait for a writer).
int OpenChecked(const std::string& path, uint64_t maxBytes, uint64_t& size, InputProblem& problem) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    problem = FromErrno(errno);
    return -1;
  }
  if (std::optional<InputProblem> refused = CheckStatus(info, maxBytes)) {
    problem = std::move(*refused);
    return -1;
  }
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    problem = FromErrno(errno);
    return -1;
  }
  std::optional<InputProblem> refused;
  if (::fstat(fd, &info) != 0) {
    refused = FromErrno(errno);
  } else {
    refused = CheckStatus(info, maxBytes);
  }
  if (refused) {
    ::close(fd);
    problem = std::move(*refused);
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  size = static_cast<uint64_t>(info.st_size);
  return fd;
}

}  // namespace

std::string CannotOpenMessage(const std::string& path, const std::string& reason) {
  return "Cannot open file \"" + path + "\". " + reason;
}

std::string DescribeSize(uint64_t bytes) {
  static constexpr const char* kUnits[] = {"KiB", "MiB", "GiB", "TiB"};
  if (bytes < 1024) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
  double value = static_cast<double>(bytes) / 1024;
  size_t unit = 0;
  while (value >= 1024 && unit + 1 < std::size(kUnits)) {
    value /= 1024;
    ++unit;
  }
  char text[32];
  // Whole numbers without decimals; others with one, never rounded up to the limit's figure.
  const double tenths = static_cast<double>(static_cast<uint64_t>(value * 10)) / 10;
  if (tenths == static_cast<double>(static_cast<uint64_t>(tenths)))
    std::snprintf(text, sizeof text, "%.0f %s", tenths, kUnits[unit]);
  else
    std::snprintf(text, sizeof text, "%.1f %s", tenths, kUnits[unit]);
  return text;
}

InputFile::InputFile(const std::string& path, uint64_t maxBytes)
    : path_(path), maxBytes_(maxBytes) {
  InputProblem problem;
  fd_ = OpenChecked(path, maxBytes, size_, problem);
  if (fd_ < 0) throw FileOpenError(CannotOpenMessage(path, problem.Reason), problem.Error);
}

InputFile::~InputFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::string InputFile::ReadAt(uint64_t offset, size_t count) const {
  std::string bytes(count, '\0');
  bytes.resize(ReadInto(bytes.data(), count, offset));
  return bytes;
}

std::string InputFile::ReadAll() const {
  std::string bytes(static_cast<size_t>(size_), '\0');
  bytes.resize(ReadInto(bytes.data(), bytes.size(), 0));
  // A file that grew since it was opened is read on, up to its limit.
  char more[65536];
  for (;;) {
    const size_t n = ReadInto(more, sizeof more, bytes.size());
    if (n == 0) break;
    if (bytes.size() + n > maxBytes_) {
      const InputProblem problem = TooLarge(bytes.size() + n, maxBytes_);
      throw FileOpenError(CannotOpenMessage(path_, problem.Reason), problem.Error);
    }
    bytes.append(more, n);
  }
  return bytes;
}

size_t InputFile::ReadInto(char* buffer, size_t count, uint64_t offset) const {
  size_t have = 0;
  while (have < count) {
    const ssize_t n = ::pread(fd_, buffer + have, count - have, static_cast<off_t>(offset + have));
    if (n < 0) {
      if (errno == EINTR) continue;
      const InputProblem problem = FromErrno(errno);
      throw FileOpenError(CannotOpenMessage(path_, problem.Reason), problem.Error);
    }
    if (n == 0) break;
    have += static_cast<size_t>(n);
  }
  return have;
}

std::optional<InputProblem> CheckInputFile(const std::string& path, uint64_t maxBytes) {
  InputProblem problem;
  uint64_t size = 0;
  const int fd = OpenChecked(path, maxBytes, size, problem);
  if (fd < 0) return problem;
  ::close(fd);
  return std::nullopt;
}

std::string ReadInputFile(const std::string& path, uint64_t maxBytes) {
  return InputFile(path, maxBytes).ReadAll();
}

}  // namespace platform
