#include "output/AtomicFile.h"

#include "platform/WholeFile.h"

namespace output {

std::string CannotCreateMessage(const std::string& path, const std::string& reason) {
  return "Cannot create file \"" + path + "\". " + reason;
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const int error = platform::WriteFileAtomically(path, bytes);
  if (error != 0)
    throw SaveError(CannotCreateMessage(path, platform::WriteFailureReason(path, error)));
}

}  // namespace output
