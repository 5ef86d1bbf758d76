#pragma once
// A private temporary folder for files that live only while they are being used (scaled and
// converted pictures, table pictures). It is made on first use, readable by the user alone, and
// removed with everything in it when the object goes.

#include <string>
#include <string_view>

namespace platform {

class ScratchFolder {
 public:
  ScratchFolder() = default;
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder's path with a trailing "/"; the folder is created on the first call.
  // Throws std::system_error when it cannot be made.
  const std::string& Path();
  // The path of a file called `name` inside the folder.
  std::string FilePath(std::string_view name);
  // True once the folder exists.
  bool Created() const { return !path_.empty(); }

 private:
  std::string path_;
};

}  // namespace platform
