#include <cerrno>
#include <cstdio>
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

void WriteOutputFile(const std::string& path, std::string_view bytes) {
  const std::string temp = path + ".vellumor-tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) throw InputError("cannot create \"" + path + "\": " + std::strerror(errno));
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::remove(temp.c_str());
      throw InputError("cannot write \"" + path + "\"");
    }
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    const int error = errno;
    std::remove(temp.c_str());
    throw InputError("cannot write \"" + path + "\": " + std::strerror(error));
  }
}

void PrintTokenizerReport(std::string_view message, std::string_view offending) {
  constexpr size_t kShown = 200;
  std::cerr << "vellumor-cli: " << message << ": " << offending.substr(0, kShown)
            << (offending.size() > kShown ? "..." : "") << "\n";
}

}  // namespace cli
