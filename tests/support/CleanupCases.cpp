#include "support/CleanupCases.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "support/Xml.h"

namespace testsupport {

std::vector<CleanupCase> LoadCleanupCases() {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(VELLUMOR_TEST_DATA_DIR) / "cleanup";
  std::vector<CleanupCase> cases;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const fs::path& path = entry.path();
    if (path.extension() != ".html") continue;
    CleanupCase c;
    c.Name = path.stem().string();
    c.InputPath = path.string();
    c.Input = ReadFile(c.InputPath);
    c.Expected = ReadFile(fs::path(path).replace_extension(".expected").string());
    const fs::path errors = fs::path(path).replace_extension(".errors");
    if (fs::exists(errors)) {
      std::istringstream lines(ReadFile(errors.string()));
      for (std::string line; std::getline(lines, line);) {
        if (!line.empty()) c.Errors.push_back(line);
      }
    }
    cases.push_back(std::move(c));
  }
  std::sort(cases.begin(), cases.end(),
            [](const CleanupCase& a, const CleanupCase& b) { return a.Name < b.Name; });
  return cases;
}

}  // namespace testsupport
