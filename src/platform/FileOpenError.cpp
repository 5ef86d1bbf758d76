#include "platform/FileOpenError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace platform {
namespace {

[[noreturn]] void Fail(const std::string& path, int error) {
  throw FileOpenError("Cannot open file \"" + path + "\". " + std::strerror(error));
}

}  // namespace

std::string ReadFileToOpen(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) Fail(path, EISDIR);
  const std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) Fail(path, errno);
  std::string bytes;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, n);
  if (std::ferror(file.get())) Fail(path, errno ? errno : EIO);
  return bytes;
}

}  // namespace platform
