#include "platform/Paths.h"

#include <sys/stat.h>

#include <cerrno>

namespace platform {

std::string_view FileNameOf(std::string_view path) {
  size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view FileExtensionOf(std::string_view path) {
  std::string_view name = FileNameOf(path);
  size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

std::string_view FileStemOf(std::string_view path) {
  std::string_view name = FileNameOf(path);
  return name.substr(0, name.size() - FileExtensionOf(name).size());
}

std::string ChangeFileExtension(std::string_view path, std::string_view extension) {
  std::string result(path.substr(0, path.size() - FileExtensionOf(path).size()));
  result.append(extension);
  return result;
}

bool IsExistingFile(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return false;
  if (S_ISDIR(info.st_mode)) {
    errno = EISDIR;
    return false;
  }
  return true;
}

}  // namespace platform
