#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/Xml.h"

namespace {

// Runs vellumor-cli with the arguments under a windows-1251 system code page; stdout.
std::string RunCli(const std::string& arguments) {
  const std::string command =
      "VELLUMOR_CODEPAGE=1251 \"" VELLUMOR_BIN_DIR "/vellumor-cli\" " + arguments;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {};
  std::string out;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  pclose(pipe);
  return out;
}

TEST(CleanCommandTest, ReadsAPageInTheSetItDeclares) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("vellumor_clean_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "page.html").string();
  // "Привет" in UTF-8 under a UTF-8 declaration.
  testsupport::WriteFile(path,
                         "<html><head><meta charset=\"utf-8\"></head><body><p>"
                         "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82</p></body></html>");
  const std::string cleaned = RunCli("clean \"" + path + "\"");
  EXPECT_NE(cleaned.find("<p>\xCF\xF0\xE8\xE2\xE5\xF2</p>"), std::string::npos) << cleaned;
  std::filesystem::remove_all(dir);
}

}  // namespace
