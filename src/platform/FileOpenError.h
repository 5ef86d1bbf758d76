#pragma once
// Reading a file a command was asked to open: a failure is an error the command does not handle
// itself and the program shows with its message.

#include <stdexcept>
#include <string>

namespace platform {

class FileOpenError : public std::runtime_error {
 public:
  explicit FileOpenError(const std::string& message) : std::runtime_error(message) {}
};

// The bytes of the file at `path`; FileOpenError "Cannot open file \"<path>\". <reason>" when it
// is missing, a folder, not a regular file (a FIFO or a device) or unreadable.
std::string ReadFileToOpen(const std::string& path);

}  // namespace platform
