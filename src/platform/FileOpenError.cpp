#include "platform/FileOpenError.h"

#include "platform/InputFile.h"

namespace platform {

std::string ReadFileToOpen(const std::string& path) {
  return ReadInputFile(path, kMaxSourceFileBytes);
}

}  // namespace platform
