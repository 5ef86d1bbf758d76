#pragma once
// The cleanup cases of tests/data/cleanup/: NAME.html is the input, NAME.expected the exact
// output, and NAME.errors (optional) the tokenizer messages expected, one a line.

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

// Every case, sorted by name.
std::vector<CleanupCase> LoadCleanupCases();

}  // namespace testsupport
