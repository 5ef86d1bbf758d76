#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "cli/Commands.h"

namespace cli {

std::string ReadInputFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw InputError("cannot open \"" + path + "\": " + std::strerror(errno));
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) throw InputError("cannot read \"" + path + "\"");
  return bytes.str();
}

void PrintTokenizerReport(std::string_view message, std::string_view offending) {
  constexpr size_t kShown = 200;
  std::cerr << "vellumor-cli: " << message << ": " << offending.substr(0, kShown)
            << (offending.size() > kShown ? "..." : "") << "\n";
}

}  // namespace cli
