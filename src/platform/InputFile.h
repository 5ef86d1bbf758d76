#pragma once
// The one way the program opens a file it was asked to read, for every command and every window:
// sources, FB2 files, list files, settings and pictures.
//
// Only regular files are read. A folder, a named pipe (FIFO), a socket or a device is refused
// with a reason that says which it is: reading a pipe waits for a writer that may never come, and
// a device such as a link to /dev/zero never ends. A file larger than its limit is refused from
// its size alone, before anything is read:
//   kMaxSourceFileBytes   1 GiB    HTML sources, FB2 files, batch lists, settings files
//   kMaxPictureFileBytes  256 MiB  pictures (scaled, converted or embedded)
// A file that grows past its limit while it is read is refused too.

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

inline constexpr uint64_t kMaxSourceFileBytes = uint64_t{1} << 30;
inline constexpr uint64_t kMaxPictureFileBytes = uint64_t{256} << 20;

// Why a file cannot be read: an errno value (ENOENT, EISDIR, EFBIG for a file over the limit,
// EINVAL for a pipe, socket or device, ...) and the reason in words for the user.
struct InputProblem {
  int Error = 0;
  std::string Reason;
};

// An open regular file, read from the start; closed when it goes.
class InputFile {
 public:
  // Opens `path` for reading; throws FileOpenError ("Cannot open file \"<path>\". <reason>")
  // when it is missing, unreadable, not a regular file or larger than `maxBytes`.
  InputFile(const std::string& path, uint64_t maxBytes);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  const std::string& Path() const { return path_; }
  // The size the file had when it was opened.
  uint64_t Size() const { return size_; }

  // Up to `count` bytes from `offset` (fewer at the end of the file); throws FileOpenError on a
  // read error. Does not move the position ReadRest reads from.
  std::string ReadAt(uint64_t offset, size_t count) const;
  // Fills `buffer` from `offset` until it is full or the file ends; the number of bytes read.
  // Throws FileOpenError on a read error.
  size_t ReadInto(char* buffer, size_t count, uint64_t offset) const;
  // Everything from the start to the end of the file; throws FileOpenError on a read error or
  // when the file has grown past the limit.
  std::string ReadAll() const;

 private:
  std::string path_;
  uint64_t maxBytes_;
  uint64_t size_ = 0;
  int fd_ = -1;
};

// Opens and checks the file without reading it: nothing when InputFile would open it, else why
// not.
std::optional<InputProblem> CheckInputFile(const std::string& path, uint64_t maxBytes);

// The whole file; throws FileOpenError as InputFile does.
std::string ReadInputFile(const std::string& path, uint64_t maxBytes);

// "Cannot open file \"<path>\". <reason>", the message of every refused input.
std::string CannotOpenMessage(const std::string& path, const std::string& reason);

// "1 GiB", "256 MiB", "1.5 KiB", "12 bytes": a size for messages.
std::string DescribeSize(uint64_t bytes);

}  // namespace platform
