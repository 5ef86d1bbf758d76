#include "platform/ScratchFolder.h"

#include <stdlib.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace platform {

ScratchFolder::~ScratchFolder() {
  if (path_.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

const std::string& ScratchFolder::Path() {
  if (!path_.empty()) return path_;
  std::error_code ec;
  std::filesystem::path base = std::filesystem::temp_directory_path(ec);
  if (ec) base = "/tmp";
  std::string pattern = (base / "vellumor-XXXXXX").string();
  // mkdtemp makes the folder with mode 0700 under a name nobody else can have taken.
  if (!mkdtemp(pattern.data())) {
    throw std::system_error(errno, std::generic_category(), "cannot make a temporary folder");
  }
  path_ = pattern + "/";
  return path_;
}

std::string ScratchFolder::FilePath(std::string_view name) {
  std::string out = Path();
  out += name;
  return out;
}

}  // namespace platform
