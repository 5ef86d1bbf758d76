#pragma once
// The cleanup cases of tests/data/cleanup/: NAME.html is the input, NAME.expected the exact
// output, and NAME.errors (optional) the tokenizer messages expected, one a line.

#include <ostream>
#include <string>
#include <vector>

namespace testsupport {

struct CleanupCase {
  std::string Name;
  std::string InputPath;
  std::string Input;
  std::string Expected;
  std::vector<std::string> Errors;
};

// Test names and failure messages show the case by its name.
inline void PrintTo(const CleanupCase& c, std::ostream* os) {
  *os << c.Name;
}

// Every case, sorted by name.
std::vector<CleanupCase> LoadCleanupCases();

}  // namespace testsupport
