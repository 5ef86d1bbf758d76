#include "platform/ProgramFolder.h"

#include <system_error>

namespace platform {

std::filesystem::path ProgramFolder() {
  std::error_code error;
  const std::filesystem::path binary = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return binary.parent_path();
}

}  // namespace platform
