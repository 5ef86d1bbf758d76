#pragma once
// Starting outside programs: found on PATH, run in a session of their own with no terminal and
// their output discarded, either waited for within a time limit or left to run on their own.

#include <chrono>
#include <string>
#include <vector>

namespace platform {

// The full path of an executable `name` in the folders of PATH; empty when there is none.
std::string FindOnPath(const std::string& name);

struct RunOutcome {
  bool Started = false;
  bool TimedOut = false;  // the time limit passed and the process group was killed
  int ExitCode = -1;      // the exit status when the program ended by itself, else -1
};

// Runs `argv` (argv[0] is the program's path) in a new session and process group, with standard
// input, output and error on /dev/null, and waits at most `limit`. When the time is up the
// whole process group is killed. Whatever the program left running in its group is killed when
// it ends, so no helper process outlives the call.
RunOutcome RunWithTimeLimit(const std::vector<std::string>& argv, std::chrono::milliseconds limit);

// Starts `argv` detached (a new session, its end not waited for or examined); true when it
// could be started.
bool StartDetached(const std::vector<std::string>& argv);

}  // namespace platform
