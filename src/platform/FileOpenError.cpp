#include "platform/FileOpenError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string_view>

namespace platform {
namespace {

[[noreturn]] void Fail(const std::string& path, std::string_view why) {
  throw FileOpenError("Cannot open file \"" + path + "\". " + std::string(why));
}

[[noreturn]] void Fail(const std::string& path, int error) {
  Fail(path, std::strerror(error));
}

}  // namespace

std::string ReadFileToOpen(const std::string& path) {
  // Reading a FIFO or a device would wait for a writer or never end.
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path, ec);
  if (std::filesystem::is_directory(status)) Fail(path, EISDIR);
  if (!ec && !std::filesystem::is_regular_file(status)) Fail(path, "Not a regular file");
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
