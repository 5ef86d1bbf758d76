#pragma once
// Files that are not what a path usually names, made by the tests in their own temporary
// folders (never the machine's /dev): named pipes, sockets, device nodes, links to them, and
// sparse files that claim gigabytes while taking no room. Device nodes need root, as the tests
// are run; a case that cannot be made is reported and skipped.

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

namespace hostile {

inline bool MakeFifo(const std::string& path) {
  return ::mkfifo(path.c_str(), 0644) == 0;
}

// Character devices by their numbers: 1,3 discards (null), 1,5 reads zeros without end, 1,7
// refuses every write (full). Block device 240,0 is of the experimental range: no driver stands
// behind it, so nothing could be harmed through it.
inline bool MakeCharDevice(const std::string& path, unsigned major, unsigned minor) {
  return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(major, minor)) == 0;
}
inline bool MakeBlockDevice(const std::string& path) {
  return ::mknod(path.c_str(), S_IFBLK | 0600, makedev(240, 0)) == 0;
}

// A socket file: bound, then closed (the name stays).
inline bool MakeSocket(const std::string& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::strcpy(address.sun_path, path.c_str());
  const bool ok = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return ok;
}

// `start` written at the beginning, then a hole up to `size` bytes.
inline void MakeSparse(const std::string& path, const std::string& start, uint64_t size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return;
  if (::write(fd, start.data(), start.size()) < 0) {
  }
  if (::ftruncate(fd, static_cast<off_t>(size)) != 0) {
  }
  ::close(fd);
}

// The highest resident memory of the process so far, in bytes.
inline uint64_t PeakMemory() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<uint64_t>(usage.ru_maxrss) * 1024;
}

inline std::filesystem::file_type TypeOf(const std::string& path) {
  std::error_code ec;
  return std::filesystem::status(path, ec).type();
}

// Reads everything written into a named pipe, in a thread of its own, until the writer closes
// (or nothing comes for ten seconds), or leaves once `stopAfter` bytes came. The pipe is open for
// reading once the constructor returns.
class FifoReader {
 public:
  explicit FifoReader(const std::string& path, size_t stopAfter = SIZE_MAX) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    thread_ = std::thread([this, stopAfter] {
      if (fd_ < 0) return;
      char buffer[65536];
      // Until a writer has come, the pipe reports no hang-up: poll waits for one.
      for (;;) {
        pollfd wanted{fd_, POLLIN, 0};
        if (::poll(&wanted, 1, 10000) <= 0) break;
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n > 0) {
          text_.append(buffer, static_cast<size_t>(n));
          if (text_.size() >= stopAfter) break;
        } else if (n == 0 || errno != EAGAIN) {
          break;
        }
      }
      ::close(fd_);
    });
  }
  ~FifoReader() {
    if (thread_.joinable()) thread_.join();
  }
  // What came through; waits for the writer to close.
  std::string Take() {
    thread_.join();
    return text_;
  }

 private:
  int fd_ = -1;
  std::string text_;
  std::thread thread_;
};

}  // namespace hostile
