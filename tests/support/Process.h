#pragma once
// Runs one of the project's programs and collects what it wrote.

#include <string>
#include <vector>

namespace testsupport {

struct ProgramRun {
  int ExitCode = -1;  // -1 when the program did not exit normally
  std::string Out;
  std::string Err;
};

// Runs `program` (a file name in the binaries folder) with `args`; stdin is /dev/null.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args);

}  // namespace testsupport
