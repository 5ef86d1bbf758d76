#include "images/PictureFiles.h"

#include <cstdio>
#include <memory>

#include "images/DecodeError.h"

namespace images {

namespace {

using File = std::unique_ptr<FILE, int (*)(FILE*)>;

}  // namespace

std::string ReadPictureFile(const std::string& path) {
  File file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file) throw ImageError("cannot open the picture " + path);
  std::string bytes;
  char buffer[1 << 16];
  for (;;) {
    const size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
    bytes.append(buffer, n);
    if (n < sizeof buffer) break;
  }
  if (std::ferror(file.get())) throw ImageError("cannot read the picture " + path);
  return bytes;
}

void WritePictureFile(const std::string& path, std::string_view bytes) {
  File file(std::fopen(path.c_str(), "wb"), std::fclose);
  bool ok = file != nullptr;
  if (ok) ok = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  if (ok) ok = std::fclose(file.release()) == 0;
  if (!ok) throw ImageError("cannot write the picture " + path);
}

}  // namespace images
