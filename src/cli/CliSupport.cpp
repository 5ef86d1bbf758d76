#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/SourceConversion.h"
#include "cli/CliUserInterface.h"
#include "cli/Commands.h"

namespace cli {

std::string ReadInputFile(const std::string& path) {
  // A folder, a pipe or a device is refused before it is opened: reading them waits or never ends.
  if (const std::optional<app::SourceConversion> unusable = app::CheckSourceFile(path))
    throw InputError(unusable->Reason);
  std::ifstream in(path, std::ios::binary);
  if (!in) throw InputError("cannot open \"" + path + "\": " + std::strerror(errno));
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) throw InputError("cannot read \"" + path + "\"");
  return bytes.str();
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
  std::cerr << "vellumor-cli: " << message << ": " << ShortenedForTerminal(offending) << "\n";
}

}  // namespace cli
