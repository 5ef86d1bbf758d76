#pragma once
// Reading a file a command was asked to open: a failure is an error the command does not handle
// itself and the program shows with its message.

#include <stdexcept>
#include <string>

namespace platform {

class FileOpenError : public std::runtime_error {
 public:
  explicit FileOpenError(const std::string& message, int error = 0)
      : std::runtime_error(message), error_(error) {}
  // The errno value of the failure (EFBIG for a file over its limit, EINVAL for a pipe, socket
  // or device); 0 when unknown.
  int Error() const { return error_; }

 private:
  int error_;
};

// The bytes of a source or FB2 file at `path`, read through InputFile with the source limit;
// FileOpenError "Cannot open file \"<path>\". <reason>" when it is missing, a folder, a pipe, a
// socket or a device, larger than the limit, or unreadable.
std::string ReadFileToOpen(const std::string& path);

}  // namespace platform
