#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>

#include "app/SourceConversion.h"
#include "cli/CliUserInterface.h"
#include "cli/Commands.h"
#include "platform/FileOpenError.h"
#include "platform/InputFile.h"

namespace cli {

std::string ReadInputFile(const std::string& path) {
  try {
    return platform::ReadInputFile(path, platform::kMaxSourceFileBytes);
  } catch (const platform::FileOpenError& e) {
    throw InputError(e.what());
  }
}

void WriteStandardOutput(std::string_view bytes) {
  std::cout.flush();
  // A reader that went away is a failed write to report, not a signal that ends the program.
  std::signal(SIGPIPE, SIG_IGN);
  while (!bytes.empty()) {
    const ssize_t n = write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int error = n < 0 ? errno : EIO;
      throw WriteError(std::string("cannot write to standard output: ") + std::strerror(error));
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
}

void CheckStandardOutput() {
  errno = 0;
  if (std::cout.flush()) return;
  const int error = errno;
  std::cout.clear();
  throw WriteError(std::string("cannot write to standard output") +
                   (error != 0 ? std::string(": ") + std::strerror(error) : std::string()));
}

void PrintTokenizerReport(std::string_view message, std::string_view offending) {
  std::cerr << "vellumor-cli: " << message << ": " << offending << "\n";
}

}  // namespace cli
